// quire: a command-line window on quirecommon.
#include <cstdio>
#include <cstring>

#include "tools/Commands.h"
#include "tools/Output.h"
#include "tools/ToolPlatform.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const quire_tool::Args&);
  const char* summary;
};

const Command kCommands[] = {
    {"encoding", quire_tool::runEncoding, "the multibyte encoding chosen now, and why"},
    {"inspect", quire_tool::runInspect, "both forms of a text and its lengths"},
    {"recode", quire_tool::runRecode, "convert text between encodings as it streams"},
    {"error", quire_tool::runError, "an error code with its messages"},
    {"copy", quire_tool::runCopy, "copy a file through the stream parameters"},
};

void printUsage() {
  std::fputs("usage: quire COMMAND [ARGS...]\n       quire --version\n\ncommands:\n", stdout);
  for (const Command& c : kCommands) std::printf("  %-10s %s\n", c.name, c.summary);
  std::fputs("\n'quire COMMAND --help' tells more. Exit status: 0 done, 1 the job or its\n"
             "output failed, 2 a wrong command line.\n",
             stdout);
}

int dispatch(int argc, char** argv) {
  if (argc < 2) return quire_tool::usageError("", "missing command");
  const char* name = argv[1];
  if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
      std::strcmp(name, "help") == 0) {
    printUsage();
    return 0;
  }
  if (std::strcmp(name, "--version") == 0) {
    std::printf("quire (quirecommon) %s\n", QUIRE_VERSION);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (std::strcmp(name, c.name) == 0) return c.run(quire_tool::Args(argv + 2, argv + argc));
  }
  return quire_tool::usageError("", std::string("unknown command '") + name + "'");
}

}  // namespace

int main(int argc, char** argv) {
  quire_tool::prepareProcess();
  quire_tool::startOutput();
  return quire_tool::finishOutput(dispatch(argc, argv));
}
