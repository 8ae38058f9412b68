#include "quire/VelException.h"

#include "errors/ErrorMessageTable.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace Quire {

VelException::VelException(int code)
    : errorCode(code), errorMessageJPEncoding(kDefaultMbcsEncoding) {
  const ErrorMessageEntry* row = findErrorMessage(code);
  errorMessage = row != nullptr ? row->message : kDefaultErrorMessage;
  errorMessageJP = row != nullptr ? row->messageJP : kDefaultErrorMessageJP;
}

// A caller's text is taken to be WINDOWS31J, like the catalogue's, when
// getErrorMessageJP() first converts it.
VelException::VelException(int code, VelParamString& text)
    : errorCode(code),
      errorMessage(text),
      errorMessageJP(text),
      errorMessageJPEncoding(kDefaultMbcsEncoding) {}

VelException::VelException(const VelException& other)
    : errorCode(other.errorCode),
      errorMessage(other.errorMessage),
      errorMessageJP(other.errorMessageJP),
      errorMessageJPEncoding(other.errorMessageJPEncoding) {}

VelException::~VelException() = default;

VelException& VelException::operator=(const VelException& other) {
  if (this != &other) {
    errorCode = other.errorCode;
    errorMessage = other.errorMessage;
    errorMessageJP = other.errorMessageJP;
    // The encoding travels with the bytes it describes.
    errorMessageJPEncoding = other.errorMessageJPEncoding;
  }
  return *this;
}

int VelException::getErrorCode() const { return errorCode; }

VelParamString& VelException::getErrorMessage() const { return errorMessage; }

VelParamString& VelException::getErrorMessageJP() {
  // Decoding from the encoding the bytes are really in, not always WINDOWS31J,
  // lets a repeated call, or one after the environment changed, read them right.
  errorMessageJPEncoding = reencodeToCurrent(errorMessageJP, errorMessageJPEncoding);
  return errorMessageJP;
}

}  // namespace Quire
