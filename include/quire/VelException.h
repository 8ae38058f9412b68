#ifndef QUIRE_VELEXCEPTION_H_
#define QUIRE_VELEXCEPTION_H_

#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// An error code with an English and a Japanese message. The Japanese message
// keeps the catalogue's WINDOWS31J bytes until getErrorMessageJP() converts it
// into the multibyte encoding that the environment names at that call.
class QUIRE_EXPORT VelException {
 public:
  explicit VelException(int code);
  // Both messages become copies of text; the catalogue is not consulted.
  VelException(int code, VelParamString& text);
  VelException(const VelException& other);
  ~VelException();
  VelException& operator=(const VelException& other);

  int getErrorCode() const;
  // The message itself, changeable through the reference.
  VelParamString& getErrorMessage() const;
  // Converts the Japanese message in place and returns it.
  VelParamString& getErrorMessageJP();

 private:
  int errorCode;
  mutable VelParamString errorMessage;
  VelParamString errorMessageJP;
  // Which encoding the narrow form of errorMessageJP is in, so that a second
  // conversion starts from the right bytes.
  const char* errorMessageJPEncoding;
};

}  // namespace Quire

#endif  // QUIRE_VELEXCEPTION_H_
