#include "errors/ErrorMessageTable.h"

#include <cstddef>
#include <iterator>

#include "quire/VelErrorCode.h"

namespace Quire {

// Constant data throughout, so the catalogue is complete before any code of
// the library runs; the rows are those of the list, in its order.
constexpr ErrorMessageEntry errorMessageTable[] = {
#define QUIRE_ERROR_CODE(name, value)
#define QUIRE_ERROR_ROW(name, value, message, messageJP) {value, message, messageJP},
#include "errors/ErrorCodes.def"
#undef QUIRE_ERROR_ROW
#undef QUIRE_ERROR_CODE
    // The terminator, where the lookup stops.
    {0, "", ""},
};

namespace {

// The lookup stops at the first row whose code is 0: it has to be the last
// row, with empty texts, and no other row may have that code.
constexpr bool endsWithTerminatorOnly() {
  constexpr std::size_t rows = std::size(errorMessageTable);
  for (std::size_t i = 0; i + 1 < rows; ++i) {
    if (errorMessageTable[i].code == 0) return false;
  }
  const ErrorMessageEntry& last = errorMessageTable[rows - 1];
  return last.code == 0 && last.message[0] == '\0' && last.messageJP[0] == '\0';
}
static_assert(endsWithTerminatorOnly(), "errorMessageTable must end with its only 0 row");

}  // namespace

const char kDefaultErrorMessage[] = "Other errors";
// その他のエラーです
const char kDefaultErrorMessageJP[] =
    "\x82\xbb\x82\xcc\x91\xbc\x82\xcc\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7";

const ErrorMessageEntry* findErrorMessage(int code) {
  for (const ErrorMessageEntry* row = errorMessageTable; row->code != VelErrorCode::QUIRE_NO_ERROR(); ++row) {
    if (row->code == code) return row;
  }
  return nullptr;
}

}  // namespace Quire
