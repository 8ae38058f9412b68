#include "quire/VelException.h"

#include "errors/ErrorMessageTable.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace Quire {

VelException::VelException(int code) : errorCode(code) {
  const ErrorMessageEntry* row = findErrorMessage(code);
  errorMessage = row != nullptr ? row->message : kDefaultErrorMessage;
  errorMessageJP = row != nullptr ? row->messageJP : kDefaultErrorMessageJP;
}

VelException::VelException(int code, VelParamString& text)
    : errorCode(code), errorMessage(text), errorMessageJP(text) {}

VelException::VelException(const VelException& other)
    : errorCode(other.errorCode),
      errorMessage(other.errorMessage),
      errorMessageJP(other.errorMessageJP) {}

VelException::~VelException() = default;

VelException& VelException::operator=(const VelException& other) {
  if (this != &other) {
    // Both messages or neither: when the Japanese one cannot be copied, the
    // English one goes back into the room that it already has, which cannot fail.
    const VelParamString oldMessage(errorMessage);
    errorMessage = other.errorMessage;
    try {
      errorMessageJP = other.errorMessageJP;
    } catch (...) {
      errorMessage = oldMessage;
      throw;
    }
    errorCode = other.errorCode;
  }
  return *this;
}

int VelException::getErrorCode() const { return errorCode; }

VelParamString& VelException::getErrorMessage() const { return errorMessage; }

VelParamString& VelException::getErrorMessageJP() {
  // The held bytes are taken to be the catalogue's encoding on every call;
  // nothing records what an earlier call turned them into.
  reencodeToCurrent(errorMessageJP, kDefaultMbcsEncoding);
  return errorMessageJP;
}

}  // namespace Quire
