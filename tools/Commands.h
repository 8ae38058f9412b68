#ifndef QUIRE_TOOLS_COMMANDS_H_
#define QUIRE_TOOLS_COMMANDS_H_

#include <getopt.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace quire_tool {

using Args = std::vector<std::string>;

// Each takes its command line with its own name first and returns the
// process's exit status: 0 done, 1 the job failed, 2 the command line was
// wrong.
int runEncoding(int argc, char** argv);
int runInspect(int argc, char** argv);
int runRecode(int argc, char** argv);
int runError(int argc, char** argv);
int runCopy(int argc, char** argv);

// Prints "quire: MESSAGE" and a hint to standard error; returns 2.
int usageError(const std::string& command, const std::string& message);

// What readCommandLine returns when the command goes on.
constexpr int kGoOn = -1;

// Reads a command line as getopt_long does: bundled short options, long ones
// with "=VALUE" or the next argument, options among the operands unless
// shortOptions starts with "+", and "--" ending them. Every command also
// takes -h and --help, which print usage. take gets each option's value
// (getopt_long's val) and argument and returns kGoOn or an exit status.
// Returns kGoOn with the operands in *operands, or the exit status.
int readCommandLine(int argc, char** argv, const std::string& usage, const char* shortOptions,
                    const option* longOptions, const std::function<int(int, const char*)>& take,
                    Args* operands);
// readCommandLine and expectOperands for a command without options of its own.
int readOperands(int argc, char** argv, const std::string& usage,
                 std::initializer_list<const char*> names, Args* operands);
// kGoOn when operands are exactly the named ones, else a usage error that
// names the first one missing or the first one too many.
int expectOperands(const char* command, const Args& operands,
                   std::initializer_list<const char*> names);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_COMMANDS_H_
