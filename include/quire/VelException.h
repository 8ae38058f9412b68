#ifndef QUIRE_VELEXCEPTION_H_
#define QUIRE_VELEXCEPTION_H_

#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

/// An error code with an English and a Japanese message.
///
/// Built from a code, it takes both messages from the library's bilingual
/// catalogue (a code without a row of its own gets "Other errors"); built
/// from a code and a text, it carries that text in both places. The
/// Japanese message keeps the catalogue's WINDOWS31J bytes until
/// getErrorMessageJP() converts it into the encoding chosen at that call.
/// Nothing in this library throws it.
///
/// Threads: construction reads only constant data and is safe anywhere; one
/// object must not be used from two threads at once, since
/// getErrorMessageJP() rewrites the message and the accessors hand out
/// references to the members.
class QUIRE_EXPORT VelException {
 public:
  /// Looks \p code up in the catalogue; stores \p code whether or not it has
  /// a row.
  /// \param code an error code of VelErrorCode, or any other value.
  VelException(int code);
  /// Both messages become copies of \p text as it stands; the catalogue is
  /// not consulted.
  /// \param code the error code, stored as given.
  /// \param text the message, only read.
  VelException(int code, VelParamString& text);
  /// Copies the code and both messages as they stand.
  /// \param other the exception to copy.
  VelException(const VelException& other);
  ~VelException();
  /// Copies the code and both messages as they stand; self-assignment
  /// changes nothing.
  /// \param other the exception to copy.
  /// \return this object.
  VelException& operator=(const VelException& other);

  /// \return the code given to the constructor.
  int getErrorCode() const;
  /// \return the English message itself, not a copy: a change through the
  ///         reference is what later calls return.
  VelParamString& getErrorMessage() const;
  /// Reads the Japanese message's narrow form as WINDOWS31J, converts it in
  /// place into the multibyte encoding chosen now, and returns it. Every call
  /// converts again and nothing is recorded, so after a first call under
  /// another encoding a second call reads that call's bytes as WINDOWS31J:
  /// convert once, or keep a copy. Bytes assigned through the reference are
  /// read as WINDOWS31J by the next call. A conversion that cannot be set up
  /// leaves the message empty.
  /// \return the Japanese message itself, the same object on every call.
  VelParamString& getErrorMessageJP();

 private:
  int errorCode;
  mutable VelParamString errorMessage;
  VelParamString errorMessageJP;
};

}  // namespace Quire

#endif  // QUIRE_VELEXCEPTION_H_
