#ifndef QUIRE_VELEXCEPTION_H_
#define QUIRE_VELEXCEPTION_H_

#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// An error code with an English and a Japanese message. The Japanese message
// keeps the catalogue's WINDOWS31J bytes until getErrorMessageJP() converts it
// into the multibyte encoding that the environment names at that call.
// One object is not to be used from two threads at once: getErrorMessageJP()
// rewrites the message, and the accessors hand out references to members.
class QUIRE_EXPORT VelException {
 public:
  VelException(int code);
  // Both messages become copies of text; the catalogue is not consulted.
  VelException(int code, VelParamString& text);
  VelException(const VelException& other);
  ~VelException();
  VelException& operator=(const VelException& other);

  int getErrorCode() const;
  // The message itself, changeable through the reference.
  VelParamString& getErrorMessage() const;
  // Reads the Japanese message's narrow form as WINDOWS31J, converts it in
  // place into the encoding chosen now and returns it. Every call converts
  // again, so after a first call under another encoding the bytes it reads
  // are no longer WINDOWS31J; bytes assigned through the reference are.
  VelParamString& getErrorMessageJP();

 private:
  int errorCode;
  mutable VelParamString errorMessage;
  VelParamString errorMessageJP;
};

}  // namespace Quire

#endif  // QUIRE_VELEXCEPTION_H_
