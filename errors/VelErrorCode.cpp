#include "quire/VelErrorCode.h"

namespace Quire {

VelErrorCode& VelErrorCode::operator=(const VelErrorCode&) { return *this; }

// A code that the list names but the header does not declare fails here.
#define QUIRE_ERROR_CODE(name, value) \
  int VelErrorCode::name() { return value; }
#define QUIRE_ERROR_ROW(name, value, message, messageJP) QUIRE_ERROR_CODE(name, value)
#include "errors/ErrorCodes.def"
#undef QUIRE_ERROR_ROW
#undef QUIRE_ERROR_CODE

}  // namespace Quire
