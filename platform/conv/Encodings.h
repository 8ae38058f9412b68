#ifndef QUIRE_PLATFORM_CONV_ENCODINGS_H_
#define QUIRE_PLATFORM_CONV_ENCODINGS_H_

#include <cstring>

// The five multibyte encodings, described once. The encoding choice, the
// component, the tool, the table generator, the tests and the benchmarks all
// read them here; header only, so that the generator needs no library.
namespace convlib {

// How the codecs read an encoding.
enum class Family {
  kUtf8,        // one to four bytes a character
  kDoubleByte,  // one or two bytes from generated tables (EUC-JP's JIS X 0212: three)
  kIso2022Jp,   // seven bits, with escapes between sets that leave a shift state
};

// Places in kEncodings.
enum EncodingId : int { kWindows31J, kEucJp, kIso2022Jp, kUtf8, kGbk, kEncodingCount };

struct Encoding {
  const char* name;          // the library's, which the component is given
  const char* iconvName;     // the C library's iconv's, the reference of tables and tests
  Family family;
  const char* aliases[7];    // other spellings that the tool takes, null after the last
};

// In the order that the environment's names are tested in. Shift_JIS proper
// lacks the Windows extensions, but people who type it mean their Windows text.
inline constexpr Encoding kEncodings[kEncodingCount] = {
    {"WINDOWS31J", "WINDOWS-31J", Family::kDoubleByte,
     {"WINDOWS-31J", "CP932", "MS932", "SJIS", "SHIFT_JIS", "SHIFT-JIS", nullptr}},
    {"EUC-JP", "EUC-JP", Family::kDoubleByte, {"EUCJP", "EUC_JP", "UJIS", nullptr}},
    {"ISO-2022-JP", "ISO-2022-JP", Family::kIso2022Jp,
     {"ISO2022JP", "ISO_2022_JP", "CSISO2022JP", nullptr}},
    {"UTF-8", "UTF-8", Family::kUtf8, {"UTF8", nullptr}},
    {"ChineseGBK", "GBK", Family::kDoubleByte, {"GBK", "CP936", "MS936", "WINDOWS-936", nullptr}},
};

// The name of UCS-2, the other side of every conversion.
inline constexpr char kUcs2Name[] = "ISO-10646-UCS-2";

// The encoding that the library calls name (exactly, case and all), or
// kEncodingCount.
inline EncodingId encodingNamed(const char* name) {
  int id = 0;
  while (id < kEncodingCount && (name == nullptr || std::strcmp(name, kEncodings[id].name) != 0))
    ++id;
  return static_cast<EncodingId>(id);
}

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_ENCODINGS_H_
