#ifndef QUIRE_VELERRORCODE_H_
#define QUIRE_VELERRORCODE_H_

#include "quire/export.h"

namespace Quire {

/// The toolkit's error codes, each the result of a static function rather
/// than a constant, so that the values stay out of callers' binaries and can
/// be had at any time, static initialisation included. Every value, with the
/// messages that VelException gives for it, is in the catalogue that
/// `quire error --all` prints (see the Error catalogue page).
///
/// Threads: every function returns a constant and may be called anywhere.
class QUIRE_EXPORT VelErrorCode {
 public:
  /// Does nothing: the class has no data.
  /// \param other not read.
  /// \return this object.
  VelErrorCode& operator=(const VelErrorCode& other);

  /// \name Error codes
  //@{
  /// The error code that the function is named after; the @ref errors page
  /// lists every value with its messages.
  /// \return the code.
  static int QUIRE_NO_ERROR();
  static int MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER();
  static int CPDF_OUTLINE_EDIT_EXCEPTION_ERROR();
  static int OTHER_ERRORS();
  static int JAVA_INTERFACE_OTHER_INTERNAL_ERRORS();
  static int JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT();
  static int JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT();
  static int JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION();
  static int JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT();
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS();
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD();
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD();
  static int THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED();
  static int INVALID_PDF();
  static int CANNOT_READ_PDF();
  static int CANNOT_WRITE_PDF();
  static int CANNOT_CLOSE_PDF();
  static int CANNOT_OPEN_PDF();
  static int INVALID_PARAMETER_VALUE();
  static int THIS_FILTER_IS_NOT_SUPPORTED();
  static int INVALID_FILTER();
  static int CANNOT_DECIPHER();
  static int INVALID_USER_PASSWORD();
  static int INVALID_OWNER_PASSWORD();
  static int PRINTING_IS_NOT_ALLOWED();
  static int COPYING_IS_NOT_ALLOWED();
  static int CANNOT_OPEN_CMAP_FILE();
  static int CANNOT_CLOSE_CMAP_FILE();
  static int CANNOT_WRITE_CMAP_FILE();
  static int CANNOT_READ_CMAP_FILE();
  static int FONT_PROCESSING_ERROR();
  static int NOT_ENOUGH_MEMORY();
  static int INVALID_PASSWORD();
  static int INVALID_CMAP_FILE();
  static int INVALID_PAGE_NUMBER();
  static int IMAGE_PROCESSING_ERROR();
  static int SIGNATURE_PROCESSING_ERROR();
  static int INVALID_CERTIFICATE_ERROR();
  static int INVALID_SIGNATURE_FIELD_NAME();
  static int CERTIFICATE_DEENCRYPT_ERROR();
  static int GET_NULL();
  //@}
};

}  // namespace Quire

#endif  // QUIRE_VELERRORCODE_H_
