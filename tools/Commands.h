#ifndef QUIRE_TOOLS_COMMANDS_H_
#define QUIRE_TOOLS_COMMANDS_H_

#include <string>
#include <vector>

namespace quire_tool {

using Args = std::vector<std::string>;

// Each returns the process's exit status: 0 done, 1 the job failed, 2 the
// command line was wrong.
int runEncoding(const Args& args);
int runInspect(const Args& args);
int runRecode(const Args& args);
int runError(const Args& args);
int runCopy(const Args& args);

// Prints "quire: MESSAGE" and a hint to standard error; returns 2.
int usageError(const std::string& command, const std::string& message);
// True when args asks for help; then the usage text is already printed.
bool wantsHelp(const Args& args, const char* usage);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_COMMANDS_H_
