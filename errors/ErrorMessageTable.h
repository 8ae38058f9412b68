#ifndef QUIRE_ERRORS_ERRORMESSAGETABLE_H_
#define QUIRE_ERRORS_ERRORMESSAGETABLE_H_

namespace Quire {

// One row of the bilingual catalogue: English in ASCII, Japanese in
// WINDOWS31J, both zero-terminated and zero-filled behind the text.
struct ErrorMessageEntry {
  int code;
  char message[261];
  char messageJP[261];
};

// The rows in catalogue order, ended by a row whose code is QUIRE_NO_ERROR
// and whose texts are empty; no row count is kept.
extern const ErrorMessageEntry errorMessageTable[];

// The first row for code, or null when it has none. The terminator test
// comes first, so that 0 itself never matches a row.
const ErrorMessageEntry* findErrorMessage(int code);

// The texts for a code without a row. They equal the OTHER_ERRORS row but are
// kept apart so that a change to that row cannot change the fallback.
extern const char kDefaultErrorMessage[];
extern const char kDefaultErrorMessageJP[];  // WINDOWS31J

}  // namespace Quire

#endif  // QUIRE_ERRORS_ERRORMESSAGETABLE_H_
