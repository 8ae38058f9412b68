#ifndef QUIRE_TESTS_TOOL_TOOLPROCESS_H_
#define QUIRE_TESTS_TOOL_TOOLPROCESS_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace quire_test {

// How the tool's standard streams are set up. Standard input, output and
// error are pipes to the test unless said otherwise here.
struct ToolOptions {
  std::string outputFile;      // standard output opened on this path instead
  bool closedOutput = false;   // standard output closed
  bool brokenOutput = false;   // a pipe whose reading end is already closed
  long long fileSizeLimit = -1;  // RLIMIT_FSIZE, with SIGXFSZ ignored
};

struct ToolResult {
  int exitStatus = -1;  // -1 when a signal ended the tool
  int signal = 0;
  std::string out;
  std::string err;
  long peakKilobytes = 0;  // the tool's peak resident memory
};

// The built quire tool, running.
class ToolProcess {
 public:
  explicit ToolProcess(const std::vector<std::string>& args, const ToolOptions& options = {});
  // Kills the tool if it still runs.
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  pid_t pid() const { return pid_; }
  void writeInput(const std::string& bytes);
  // Reads standard output until it has count bytes or ends; gives up after
  // half a minute, so that a tool that holds its output back fails a test
  // instead of hanging it.
  std::string readOutput(std::size_t count);
  // Writes input, closes standard input, reads both outputs to their ends
  // and waits for the tool.
  ToolResult finish(const std::string& input = "");

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int error_ = -1;
};

ToolResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                   const ToolOptions& options = {});

// "quire: cannot write standard output: " and the reason of error.
std::string outputFailure(int error);

}  // namespace quire_test

#endif  // QUIRE_TESTS_TOOL_TOOLPROCESS_H_
