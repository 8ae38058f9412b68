#ifndef QUIRE_TESTS_TOOL_TOOLPROCESS_H_
#define QUIRE_TESTS_TOOL_TOOLPROCESS_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace quire_test {

// Where the tool's standard output goes instead of a pipe to the test, and
// its file-size limit (RLIMIT_FSIZE, with SIGXFSZ ignored).
struct ToolOptions {
  std::string outputFile;
  bool closedOutput = false;
  bool brokenOutput = false;  // a pipe whose reading end is already closed
  long long fileSizeLimit = -1;
};

struct ToolResult {
  int exitStatus = -1;  // -1 when a signal ended the tool
  int signal = 0;
  std::string out, err;
  long peakKilobytes = 0;
};

// The built quire tool, running; killed if it still runs at the end.
class ToolProcess {
 public:
  explicit ToolProcess(const std::vector<std::string>& args, const ToolOptions& options = {});
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  pid_t pid() const { return pid_; }
  // Writes input and returns once standard output has given count bytes
  // more, or ended, or half a minute has passed (output held back fails a
  // test instead of hanging it).
  std::string exchange(const std::string& input, std::size_t count);
  // Writes input, closes standard input, reads both outputs to their ends
  // and waits for the tool.
  ToolResult finish(const std::string& input = "");

 private:
  void pump(const std::string& input, bool thenClose, std::size_t count);

  pid_t pid_ = -1;
  int fds_[3] = {-1, -1, -1};  // the test's ends of standard input, output and error
  ToolResult result_;
};

ToolResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                   const ToolOptions& options = {});

}  // namespace quire_test

#endif  // QUIRE_TESTS_TOOL_TOOLPROCESS_H_
