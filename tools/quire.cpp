// quire: a command-line window on quirecommon.
#include <cstdio>
#include <string>

#include "quire/version.h"
#include "tools/Commands.h"
#include "tools/Output.h"
#include "tools/ToolPlatform.h"

namespace {

using quire_tool::kGoOn;

struct Command {
  const char* name;
  int (*run)(int, char**);
  const char* summary;
};

const Command kCommands[] = {
    {"encoding", quire_tool::runEncoding, "the multibyte encoding chosen now, and why"},
    {"inspect", quire_tool::runInspect, "both forms of a text and its lengths"},
    {"recode", quire_tool::runRecode, "convert text between encodings as it streams"},
    {"error", quire_tool::runError, "an error code with its messages"},
    {"copy", quire_tool::runCopy, "copy a file through the stream parameters"},
};

// The value of a long option without a short form: beyond every letter.
constexpr int kVersion = 256;

std::string usage() {
  std::string text = "usage: quire COMMAND [ARGS...]\n       quire --version\n\ncommands:\n";
  for (const Command& c : kCommands) {
    char line[100];
    std::snprintf(line, sizeof line, "  %-10s %s\n", c.name, c.summary);
    text += line;
  }
  return text + "\n'quire COMMAND --help' tells more. Exit status: 0 done, 1 the job or its\n"
                "output failed, 2 a wrong command line.\n";
}

int dispatch(int argc, char** argv) {
  // The program's own options: messages about them name no command.
  static char program[] = "";
  argv[0] = program;
  static const option kOptions[] = {{"version", no_argument, nullptr, kVersion}, {}};
  bool version = false;
  quire_tool::Args operands;
  const auto take = [&version](int, const char*) {
    version = true;
    return kGoOn;
  };
  // "+": the options end at the command, which reads its own.
  const int status = quire_tool::readCommandLine(argc, argv, usage(), "+", kOptions, take, &operands);
  if (status != kGoOn) return status;
  const bool help = !version && !operands.empty() && operands[0] == "help";
  if (version || help) {
    const std::size_t words = help ? 1 : 0;
    if (operands.size() > words)
      return quire_tool::usageError("", "unexpected argument '" + operands[words] + "'");
    if (version)
      std::printf("quire (quirecommon) %s\n", QUIRE_VERSION_STRING);
    else
      std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (operands.empty()) return quire_tool::usageError("", "missing command");
  for (const Command& c : kCommands) {
    if (operands[0] == c.name) {
      const int count = static_cast<int>(operands.size());
      return c.run(count, argv + argc - count);
    }
  }
  return quire_tool::usageError("", "unknown command '" + operands[0] + "'");
}

}  // namespace

int main(int argc, char** argv) {
  quire_tool::prepareProcess();
  quire_tool::startOutput();
  return quire_tool::finishOutput(dispatch(argc, argv));
}
