// quire: a command-line window on quirecommon.
#include <cstdio>
#include <cstring>

#include "tools/Commands.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const quire_tool::Args&);
  const char* summary;
};

const Command kCommands[] = {
    {"encoding", quire_tool::runEncoding, "the multibyte encoding chosen now, and why"},
    {"inspect", quire_tool::runInspect, "both forms of a text and its lengths"},
    {"recode", quire_tool::runRecode, "convert standard input between encodings"},
    {"error", quire_tool::runError, "an error code with its messages"},
    {"copy", quire_tool::runCopy, "copy a file through the stream parameters"},
};

void printUsage(std::FILE* out) {
  std::fputs("usage: quire COMMAND [ARGS...]\n\ncommands:\n", out);
  for (const Command& c : kCommands) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fputs("\n'quire COMMAND --help' tells more.\n", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return quire_tool::usageError("", "missing command");
  const char* name = argv[1];
  if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
      std::strcmp(name, "help") == 0) {
    printUsage(stdout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (std::strcmp(name, c.name) == 0) return c.run(quire_tool::Args(argv + 2, argv + argc));
  }
  return quire_tool::usageError("", std::string("unknown command '") + name + "'");
}
