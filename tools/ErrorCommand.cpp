#include <algorithm>
#include <cerrno>
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
    "the whole catalogue as a table.\n";

struct CodeName {
  int code;
  const char* name;
};

// Taken from the functions themselves so that no name can drift from its value.
#define QUIRE_CODE(name) {Quire::VelErrorCode::name(), #name}
const CodeName kCodeNames[] = {
    QUIRE_CODE(QUIRE_NO_ERROR),
    QUIRE_CODE(MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER),
    QUIRE_CODE(CPDF_OUTLINE_EDIT_EXCEPTION_ERROR),
    QUIRE_CODE(OTHER_ERRORS),
    QUIRE_CODE(JAVA_INTERFACE_OTHER_INTERNAL_ERRORS),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD),
    QUIRE_CODE(THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED),
    QUIRE_CODE(INVALID_PDF),
    QUIRE_CODE(CANNOT_READ_PDF),
    QUIRE_CODE(CANNOT_WRITE_PDF),
    QUIRE_CODE(CANNOT_CLOSE_PDF),
    QUIRE_CODE(CANNOT_OPEN_PDF),
    QUIRE_CODE(INVALID_PARAMETER_VALUE),
    QUIRE_CODE(THIS_FILTER_IS_NOT_SUPPORTED),
    QUIRE_CODE(INVALID_FILTER),
    QUIRE_CODE(CANNOT_DECIPHER),
    QUIRE_CODE(INVALID_USER_PASSWORD),
    QUIRE_CODE(INVALID_OWNER_PASSWORD),
    QUIRE_CODE(PRINTING_IS_NOT_ALLOWED),
    QUIRE_CODE(COPYING_IS_NOT_ALLOWED),
    QUIRE_CODE(CANNOT_OPEN_CMAP_FILE),
    QUIRE_CODE(CANNOT_CLOSE_CMAP_FILE),
    QUIRE_CODE(CANNOT_WRITE_CMAP_FILE),
    QUIRE_CODE(CANNOT_READ_CMAP_FILE),
    QUIRE_CODE(FONT_PROCESSING_ERROR),
    QUIRE_CODE(NOT_ENOUGH_MEMORY),
    QUIRE_CODE(INVALID_PASSWORD),
    QUIRE_CODE(INVALID_CMAP_FILE),
    QUIRE_CODE(INVALID_PAGE_NUMBER),
    QUIRE_CODE(IMAGE_PROCESSING_ERROR),
    QUIRE_CODE(SIGNATURE_PROCESSING_ERROR),
    QUIRE_CODE(INVALID_CERTIFICATE_ERROR),
    QUIRE_CODE(INVALID_SIGNATURE_FIELD_NAME),
    QUIRE_CODE(CERTIFICATE_DEENCRYPT_ERROR),
    QUIRE_CODE(GET_NULL),
};
#undef QUIRE_CODE

const char kDefaultLabel[] = "(any other code)";

// Null for a number that is no error code.
const char* codeName(int code) {
  for (const CodeName& c : kCodeNames) {
    if (c.code == code) return c.name;
  }
  return nullptr;
}

// The whole argument as a decimal int.
bool parseCode(const std::string& text, int* code) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
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

void printAll() {
  int nameWidth = static_cast<int>(std::strlen(kDefaultLabel));
  int messageWidth = 0;
  for (const Quire::ErrorMessageEntry* row = Quire::errorMessageTable; row->code != 0; ++row) {
    nameWidth = std::max(nameWidth, static_cast<int>(std::strlen(codeName(row->code))));
    messageWidth = std::max(messageWidth, static_cast<int>(std::strlen(row->message)));
  }
  const auto printRow = [&](const std::string& code, const char* name, int value) {
    Quire::VelException exception(value);
    std::printf("%5s  %-*s  %-*s  %s\n", code.c_str(), nameWidth, name, messageWidth,
                exception.getErrorMessage().c_str(), exception.getErrorMessageJP().c_str());
  };
  std::printf("%5s  %-*s  %-*s  %s\n", "CODE", nameWidth, "NAME", messageWidth, "ENGLISH",
              "JAPANESE");
  for (const Quire::ErrorMessageEntry* row = Quire::errorMessageTable; row->code != 0; ++row)
    printRow(std::to_string(row->code), codeName(row->code), row->code);
  printRow("", kDefaultLabel, Quire::VelErrorCode::QUIRE_NO_ERROR());
}

}  // namespace

int runError(const Args& args) {
  if (wantsHelp(args, kUsage)) return 0;
  if (args.empty()) return usageError("error", "missing CODE");
  if (args.size() > 1) return usageError("error", "unexpected argument '" + args[1] + "'");
  int code;
  if (args[0] == "--all")
    printAll();
  else if (parseCode(args[0], &code))
    printOne(code);
  else
    return usageError("error", "CODE must be a whole number that fits an int, not '" + args[0] + "'");
  return 0;
}

}  // namespace quire_tool
