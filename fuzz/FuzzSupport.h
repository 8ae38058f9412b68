// What the conversion fuzz targets share: the first byte's choice, and checks that hold in release
// builds too (not assert). Without iconv (Windows, cross builds) they check what needs none.
#ifndef QUIRE_FUZZ_FUZZSUPPORT_H_
#define QUIRE_FUZZ_FUZZSUPPORT_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "quire/VelParamString.h"
#include "tests/TestSupport.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"
#if defined(QUIRE_ICONV_REFERENCE)
#include "tests/IconvReference.h"
#endif

namespace quire_fuzz {

using quire_test::Wide;

inline void check(bool condition) {
  if (!condition) std::abort();
}

// The first byte picks the encoding (set for the string too), the UCS-2 byte order, and a spare
// value for tight capacities.
struct Choice {
  const char* encoding;
  bool bigEndian;
  unsigned spare;
};

inline Choice choose(std::uint8_t first) {
  const char* const encoding = quire_test::kEncodings[first % 5];
  quire_test::putEnv("VEL30_MBCS_ENCODING", encoding);
  return {encoding, first / 5 % 2 != 0, first / 10u};
}

// The component against iconv: from every starting point (byte or unit) with room to spare, then
// the whole with only a few bytes, as many as spare says.
inline void compareWithIconv([[maybe_unused]] const Choice& c, [[maybe_unused]] bool decoding,
                             [[maybe_unused]] const std::string& source) {
#if defined(QUIRE_ICONV_REFERENCE)
  const auto agrees = [&](const std::string& text, int capacity) {
    check(quire_test::unlikeIconv(c.encoding, c.bigEndian, decoding, text, capacity).empty());
  };

  for (std::size_t start = 0; start <= source.size(); start += decoding ? 1 : 2) {
    const int count = static_cast<int>(source.size() - start);
    agrees(source.substr(start), decoding ? Quire::VelCodeConverter::decodeCapacity(count)
                                          : Quire::VelCodeConverter::encodeCapacity(count / 2));
  }
  agrees(source, static_cast<int>(decoding ? 2 + c.spare % 16 : 1 + c.spare % 24));
#endif
}

// Both forms end where their lengths say.
inline void checkForms(const Quire::VelParamString& s) {
  check(std::strlen(s.c_str()) == static_cast<std::size_t>(s.cstr_length()));
  check(Wide(s.w_str()).size() == static_cast<std::size_t>(s.wstr_length()));
}

}  // namespace quire_fuzz

#endif  // QUIRE_FUZZ_FUZZSUPPORT_H_
