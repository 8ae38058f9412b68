#ifndef QUIRE_TEXT_ENCODINGCHOICE_H_
#define QUIRE_TEXT_ENCODINGCHOICE_H_

#include "platform/conv/Encodings.h"

namespace Quire {

// Encoding names as the conversion component knows them.
inline constexpr const char* kUcs2Encoding = convlib::kUcs2Name;
inline constexpr const char* kDefaultMbcsEncoding = convlib::kEncodings[convlib::kWindows31J].name;

// The multibyte encoding that the environment names now: VEL30_MBCS_ENCODING
// when it is set (even empty), else the first segment of LANG between full
// stops that names one, else WINDOWS31J. Read anew on every call; the result
// is a static text.
const char* getMBCSEncoding();

// Which variable decided the last answer of getMBCSEncoding, for tools.
enum class EncodingSource { kVel30Variable, kLangVariable, kDefault };
const char* getMBCSEncoding(EncodingSource* source);

// getMBCSEncoding's answer as its place in the table of encodings.
convlib::EncodingId currentEncoding();

}  // namespace Quire

#endif  // QUIRE_TEXT_ENCODINGCHOICE_H_
