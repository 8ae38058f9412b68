#include <cstdio>

#include "tools/Commands.h"

namespace quire_tool {

int usageError(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "quire: %s (try 'quire %s--help')\n", message.c_str(),
               command.empty() ? "" : (command + " ").c_str());
  return 2;
}

bool wantsHelp(const Args& args, const char* usage) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::fputs(usage, stdout);
      return true;
    }
  }
  return false;
}

}  // namespace quire_tool
