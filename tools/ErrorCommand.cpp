#include <algorithm>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "errors/ErrorMessageTable.h"
#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tools/Commands.h"

namespace quire_tool {
namespace {

const char kUsage[] =
    "usage: quire error CODE\n"
    "       quire error --all\n\n"
    "Prints CODE, the name of its code function, its English message and its\n"
    "Japanese message in the current multibyte encoding, one per line. A code\n"
    "without a catalogue row of its own gets the default messages. --all prints\n"
    "every code with its messages as a table. A negative CODE follows '--'\n"
    "(quire error -- -1).\n";

struct CodeName {
  int code;
  const char* name;
};

const CodeName kCodeNames[] = {
#define QUIRE_ERROR_CODE(name, value) {value, #name},
#define QUIRE_ERROR_ROW(name, value, message, messageJP) QUIRE_ERROR_CODE(name, value)
#include "errors/ErrorCodes.def"
#undef QUIRE_ERROR_ROW
#undef QUIRE_ERROR_CODE
};

const char kDefaultLabel[] = "(any other code)";
// The value of --all, which has no short form: beyond every letter.
constexpr int kAll = 256;

// Null for a number that is no error code.
const char* codeName(int code) {
  for (const CodeName& c : kCodeNames) {
    if (c.code == code) return c.name;
  }
  return nullptr;
}

// The whole argument as a decimal int, with no space that strtol would skip.
bool parseCode(const std::string& text, int* code) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) || *end != '\0' ||
      errno == ERANGE || value < INT_MIN || value > INT_MAX)
    return false;
  *code = static_cast<int>(value);
  return true;
}

void printOne(int code) {
  // The messages come from the exception itself, so the Japanese one is
  // converted exactly as a caller of the library would see it.
  Quire::VelException exception(code);
  const char* name = codeName(code);
  std::printf("%d\n%s\n%s\n%s\n", code, name != nullptr ? name : "-",
              exception.getErrorMessage().c_str(), exception.getErrorMessageJP().c_str());
  if (name == nullptr)
    std::printf("(%d is not an error code: these are the default messages)\n", code);
  else if (Quire::findErrorMessage(code) == nullptr)
    std::printf("(%s has no row of its own: these are the default messages)\n", name);
}

// Every code in value order, which is also the catalogue's order; a code
// without a row shows the default texts that it gets.
void printAll() {
  int nameWidth = static_cast<int>(std::strlen(kDefaultLabel));
  int messageWidth = 0;
  for (const CodeName& c : kCodeNames) {
    nameWidth = std::max(nameWidth, static_cast<int>(std::strlen(c.name)));
    const Quire::ErrorMessageEntry* row = Quire::findErrorMessage(c.code);
    messageWidth = std::max(messageWidth, static_cast<int>(std::strlen(
                                              row != nullptr ? row->message : Quire::kDefaultErrorMessage)));
  }
  const auto printRow = [&](const std::string& code, const char* name, int value) {
    Quire::VelException exception(value);
    std::printf("%5s  %-*s  %-*s  %s\n", code.c_str(), nameWidth, name, messageWidth,
                exception.getErrorMessage().c_str(), exception.getErrorMessageJP().c_str());
  };
  std::printf("%5s  %-*s  %-*s  %s\n", "CODE", nameWidth, "NAME", messageWidth, "ENGLISH",
              "JAPANESE");
  for (const CodeName& c : kCodeNames) printRow(std::to_string(c.code), c.name, c.code);
  printRow("", kDefaultLabel, -1);
}

}  // namespace

int runError(int argc, char** argv) {
  static const option kOptions[] = {{"all", no_argument, nullptr, kAll}, {}};
  bool all = false;
  const auto take = [&all](int, const char*) {
    all = true;
    return kGoOn;
  };
  Args operands;
  int status = readCommandLine(argc, argv, kUsage, "", kOptions, take, &operands);
  if (status == kGoOn) status = all ? expectOperands("error", operands, {})
                                    : expectOperands("error", operands, {"CODE"});
  if (status != kGoOn) return status;
  int code;
  if (all)
    printAll();
  else if (parseCode(operands[0], &code))
    printOne(code);
  else
    return usageError("error", "CODE must be a whole number that fits an int, not '" + operands[0] + "'");
  return 0;
}

}  // namespace quire_tool
