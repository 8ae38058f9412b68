#include <cstdio>
#include <string>
#include <vector>

#include "tools/Commands.h"

namespace quire_tool {
namespace {

// What getopt_long refused: a short option of a bundle, or the whole argument
// that holds a long one (a short letter that is known can only come from its
// long form, given a value that it does not take).
std::string refusedOption(const std::string& letters, char** argv) {
  if (optopt > 0 && optopt < 256 && letters.find(static_cast<char>(optopt)) == std::string::npos)
    return std::string("-") + static_cast<char>(optopt);
  return argv[optind - 1];
}

}  // namespace

int usageError(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "quire: %s (try 'quire %s--help')\n", message.c_str(),
               command.empty() ? "" : (command + " ").c_str());
  return 2;
}

int readCommandLine(int argc, char** argv, const std::string& usage, const char* shortOptions,
                    const option* longOptions, const std::function<int(int, const char*)>& take,
                    Args* operands) {
  const bool inOrder = shortOptions[0] == '+';
  // ':' tells a missing value apart from an unknown option.
  const std::string letters = std::string(inOrder ? "+:" : ":") + (shortOptions + inOrder) + "h";
  std::vector<option> options;
  for (const option* o = longOptions; o != nullptr && o->name != nullptr; ++o) options.push_back(*o);
  options.push_back({"help", no_argument, nullptr, 'h'});
  options.push_back({nullptr, 0, nullptr, 0});
  opterr = 0;  // the messages are ours
  optind = 0;  // a fresh start, also after the options before the command
  for (int c; (c = getopt_long(argc, argv, letters.c_str(), options.data(), nullptr)) != -1;) {
    int status;
    if (c == 'h') {
      std::fputs(usage.c_str(), stdout);
      status = 0;
    } else if (c == ':') {
      status = usageError(argv[0], "missing value after '" + std::string(argv[optind - 1]) + "'");
    } else if (c == '?') {
      status = usageError(argv[0], "unknown option '" + refusedOption(letters, argv) + "'");
    } else {
      status = take(c, optarg);
    }
    if (status != kGoOn) return status;
  }
  operands->assign(argv + optind, argv + argc);
  return kGoOn;
}

int readOperands(int argc, char** argv, const std::string& usage,
                 std::initializer_list<const char*> names, Args* operands) {
  const int status = readCommandLine(argc, argv, usage, "", nullptr, nullptr, operands);
  return status == kGoOn ? expectOperands(argv[0], *operands, names) : status;
}

int expectOperands(const char* command, const Args& operands,
                   std::initializer_list<const char*> names) {
  if (operands.size() < names.size())
    return usageError(command, std::string("missing ") + names.begin()[operands.size()]);
  if (operands.size() > names.size())
    return usageError(command, "unexpected argument '" + operands[names.size()] + "'");
  return kGoOn;
}

}  // namespace quire_tool
