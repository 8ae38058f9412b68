#ifndef QUIRE_TEXT_ENCODINGCHOICE_H_
#define QUIRE_TEXT_ENCODINGCHOICE_H_

namespace Quire {

// Encoding names as the conversion component knows them.
extern const char kUcs2Encoding[];        // "ISO-10646-UCS-2"
extern const char kDefaultMbcsEncoding[];  // "WINDOWS31J"

// The multibyte encoding that the environment names now: VEL30_MBCS_ENCODING
// when it is set (even empty), else the first segment of LANG between full
// stops that names one, else WINDOWS31J. Read anew on every call; the result
// is a static text.
const char* getMBCSEncoding();

// Which variable decided the last answer of getMBCSEncoding, for tools.
enum class EncodingSource { kVel30Variable, kLangVariable, kDefault };
const char* getMBCSEncoding(EncodingSource* source);

// The name's own static text when it is one of the five multibyte names,
// else null.
const char* findMbcsEncoding(const char* name);

}  // namespace Quire

#endif  // QUIRE_TEXT_ENCODINGCHOICE_H_
