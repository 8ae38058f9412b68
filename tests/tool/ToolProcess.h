#ifndef QUIRE_TESTS_TOOL_TOOLPROCESS_H_
#define QUIRE_TESTS_TOOL_TOOLPROCESS_H_

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace quire_test {

struct ToolOptions {
  // Where standard output goes instead of a file read back at the end.
  std::string outputFile;
  bool closedOutput = false;
  bool brokenOutput = false;  // a pipe whose reading end is already closed
  long long fileSizeLimit = -1;  // RLIMIT_FSIZE, with SIGXFSZ ignored
  // Called while the tool runs, instead of writing the input, with the
  // tool, its standard input (a pipe) and the file of its standard output.
  std::function<void(pid_t tool, int input, const std::string& output)> meanwhile;
};

struct ToolResult {
  int exitStatus = -1;  // -1 when a signal ended the tool
  int signal = 0;
  std::string out, err;
  long peakKilobytes = 0;
};

// Runs the built quire tool to its end, with input written into its
// standard input.
ToolResult runTool(const std::vector<std::string>& args, const std::string& input = "",
                   const ToolOptions& options = {});

}  // namespace quire_test

#endif  // QUIRE_TESTS_TOOL_TOOLPROCESS_H_
