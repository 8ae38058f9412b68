#include "quire/VelErrorCode.h"

namespace Quire {

VelErrorCode& VelErrorCode::operator=(const VelErrorCode&) { return *this; }

int VelErrorCode::QUIRE_NO_ERROR() { return 0; }
int VelErrorCode::MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER() { return 132; }
int VelErrorCode::CPDF_OUTLINE_EDIT_EXCEPTION_ERROR() { return 161; }
int VelErrorCode::OTHER_ERRORS() { return 190; }
int VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS() { return 200; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT() { return 201; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT() { return 202; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION() { return 203; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT() { return 204; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS() { return 205; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD() { return 206; }
int VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD() { return 207; }
int VelErrorCode::THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED() { return 1000; }
int VelErrorCode::INVALID_PDF() { return 1001; }
int VelErrorCode::CANNOT_READ_PDF() { return 1002; }
int VelErrorCode::CANNOT_WRITE_PDF() { return 1003; }
int VelErrorCode::CANNOT_CLOSE_PDF() { return 1004; }
int VelErrorCode::CANNOT_OPEN_PDF() { return 1005; }
int VelErrorCode::INVALID_PARAMETER_VALUE() { return 1006; }
int VelErrorCode::THIS_FILTER_IS_NOT_SUPPORTED() { return 2000; }
int VelErrorCode::INVALID_FILTER() { return 2001; }
int VelErrorCode::CANNOT_DECIPHER() { return 3000; }
int VelErrorCode::INVALID_USER_PASSWORD() { return 3001; }
int VelErrorCode::INVALID_OWNER_PASSWORD() { return 3002; }
// 3100 plus the PDF user access permission bit that forbids the operation
// when it is clear: print (4), copy or extract (16).
int VelErrorCode::PRINTING_IS_NOT_ALLOWED() { return 3104; }
int VelErrorCode::COPYING_IS_NOT_ALLOWED() { return 3116; }
int VelErrorCode::CANNOT_OPEN_CMAP_FILE() { return 4000; }
int VelErrorCode::CANNOT_CLOSE_CMAP_FILE() { return 4001; }
int VelErrorCode::CANNOT_WRITE_CMAP_FILE() { return 4002; }
int VelErrorCode::CANNOT_READ_CMAP_FILE() { return 4003; }
int VelErrorCode::FONT_PROCESSING_ERROR() { return 4100; }
int VelErrorCode::NOT_ENOUGH_MEMORY() { return 5000; }
int VelErrorCode::INVALID_PASSWORD() { return 5002; }
int VelErrorCode::INVALID_CMAP_FILE() { return 5004; }
int VelErrorCode::INVALID_PAGE_NUMBER() { return 5006; }
int VelErrorCode::IMAGE_PROCESSING_ERROR() { return 5100; }
int VelErrorCode::SIGNATURE_PROCESSING_ERROR() { return 6000; }
int VelErrorCode::INVALID_CERTIFICATE_ERROR() { return 6001; }
int VelErrorCode::INVALID_SIGNATURE_FIELD_NAME() { return 6002; }
int VelErrorCode::CERTIFICATE_DEENCRYPT_ERROR() { return 6003; }
int VelErrorCode::GET_NULL() { return 7000; }

}  // namespace Quire
