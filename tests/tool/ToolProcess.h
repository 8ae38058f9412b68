#ifndef QUIRE_TESTS_TOOL_TOOLPROCESS_H_
#define QUIRE_TESTS_TOOL_TOOLPROCESS_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace quire_test {

// Where the tool's standard output goes instead of a file read back, and
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

// Runs the built quire tool to its end, with input as its standard input.
ToolResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                   const ToolOptions& options = {});

// The built quire tool, running with pipes for standard input and output;
// killed if it still runs at the end.
class ToolProcess {
 public:
  explicit ToolProcess(const std::vector<std::string>& args);
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  pid_t pid() const { return pid_; }
  void write(const std::string& bytes);
  // The next count bytes of standard output, or fewer at its end or after
  // half a minute, so that output held back fails a test instead of hanging it.
  std::string read(std::size_t count);
  // Closes standard input, reads standard output to its end, waits.
  ToolResult finish();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

}  // namespace quire_test

#endif  // QUIRE_TESTS_TOOL_TOOLPROCESS_H_
