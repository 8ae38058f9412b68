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
  /// Each returns its code; the @ref errors page lists every value with its
  /// messages.
  ///@{
  static int QUIRE_NO_ERROR();  ///< \return the code.
  static int MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER();  ///< \return the code.
  static int CPDF_OUTLINE_EDIT_EXCEPTION_ERROR();  ///< \return the code.
  static int OTHER_ERRORS();  ///< \return the code.
  static int JAVA_INTERFACE_OTHER_INTERNAL_ERRORS();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD();  ///< \return the code.
  static int JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD();  ///< \return the code.
  static int THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED();  ///< \return the code.
  static int INVALID_PDF();  ///< \return the code.
  static int CANNOT_READ_PDF();  ///< \return the code.
  static int CANNOT_WRITE_PDF();  ///< \return the code.
  static int CANNOT_CLOSE_PDF();  ///< \return the code.
  static int CANNOT_OPEN_PDF();  ///< \return the code.
  static int INVALID_PARAMETER_VALUE();  ///< \return the code.
  static int THIS_FILTER_IS_NOT_SUPPORTED();  ///< \return the code.
  static int INVALID_FILTER();  ///< \return the code.
  static int CANNOT_DECIPHER();  ///< \return the code.
  static int INVALID_USER_PASSWORD();  ///< \return the code.
  static int INVALID_OWNER_PASSWORD();  ///< \return the code.
  static int PRINTING_IS_NOT_ALLOWED();  ///< \return the code.
  static int COPYING_IS_NOT_ALLOWED();  ///< \return the code.
  static int CANNOT_OPEN_CMAP_FILE();  ///< \return the code.
  static int CANNOT_CLOSE_CMAP_FILE();  ///< \return the code.
  static int CANNOT_WRITE_CMAP_FILE();  ///< \return the code.
  static int CANNOT_READ_CMAP_FILE();  ///< \return the code.
  static int FONT_PROCESSING_ERROR();  ///< \return the code.
  static int NOT_ENOUGH_MEMORY();  ///< \return the code.
  static int INVALID_PASSWORD();  ///< \return the code.
  static int INVALID_CMAP_FILE();  ///< \return the code.
  static int INVALID_PAGE_NUMBER();  ///< \return the code.
  static int IMAGE_PROCESSING_ERROR();  ///< \return the code.
  static int SIGNATURE_PROCESSING_ERROR();  ///< \return the code.
  static int INVALID_CERTIFICATE_ERROR();  ///< \return the code.
  static int INVALID_SIGNATURE_FIELD_NAME();  ///< \return the code.
  static int CERTIFICATE_DEENCRYPT_ERROR();  ///< \return the code.
  static int GET_NULL();  ///< \return the code.
  ///@}
};

}  // namespace Quire

#endif  // QUIRE_VELERRORCODE_H_
