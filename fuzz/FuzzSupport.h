// What the conversion fuzz targets share: the choice made by the first byte,
// and conversions through the component held to the C library's iconv.
#ifndef QUIRE_FUZZ_FUZZSUPPORT_H_
#define QUIRE_FUZZ_FUZZSUPPORT_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/ConvLib.h"
#include "quire/VelParamString.h"
#include "tests/IconvReference.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace quire_fuzz {

using Wide = std::basic_string<unsigned short>;

// Not assert: it must hold in release builds too.
inline void check(bool condition) { if (!condition) std::abort(); }

// The first byte picks the encoding (also set for the string, which reads the
// environment), the UCS-2 byte order, and a spare value for tight capacities.
struct Choice {
  const char* encoding;
  int bigEndian;
  unsigned spare;
};

inline Choice choose(std::uint8_t first) {
  static const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8",
                                           "ChineseGBK"};
  ::setenv("VEL30_MBCS_ENCODING", kEncodings[first % 5], 1);
  return {kEncodings[first % 5], first / 5 % 2, first / 10u};
}

// The target of one conversion through the component, capacity bytes poisoned
// beforehand; the UCS-2 side is in the order bigEndian names.
inline std::vector<unsigned char> convertRaw(const char* from, const char* to, const char* source,
                                             std::size_t bytes, int capacity, int bigEndian) {
  std::vector<unsigned char> target(static_cast<std::size_t>(capacity), 0xA5);
  ConvContext context;
  std::memset(&context, 0, sizeof context);
  context.source = source;
  context.sourceBytes = static_cast<std::int32_t>(bytes);
  context.target = target.data();
  context.targetCapacity = capacity;
  const bool decoding = std::strcmp(to, Quire::kUcs2Encoding) == 0;
  const ConvInputOptions input{decoding ? 1 : bigEndian, 0, 1};
  const ConvOutputOptions output{decoding ? bigEndian : 1, 0, 1, {}};
  check(convOpenOutput(&context, &output, to) == 0 && convOpenInput(&context, &input, from) == 0);
  convExecute(&context);
  convClose(&context);
  return target;
}

// The component against iconv: from every starting point with room to spare,
// then the whole with only tight bytes. Each target must hold what iconv
// gives and then a zero unit (or byte), within the capacity. Hands on each.
template <typename OnTarget>
void compareWithIconv(const char* from, const char* to, const char* source, std::size_t bytes,
                      int tight, int bigEndian, OnTarget onTarget) {
  const bool decoding = std::strcmp(to, Quire::kUcs2Encoding) == 0;
  quire_test::IconvReference reference(decoding ? from : to, bigEndian != 0);
  const std::size_t unit = decoding ? 2 : 1;
  const auto both = [&](std::size_t start, int capacity) {
    const auto target = convertRaw(from, to, source + start, bytes - start, capacity, bigEndian);
    const std::string text(source + start, bytes - start);
    const auto room = static_cast<std::size_t>(capacity);
    const std::string expected = decoding ? reference.decode(text, room) : reference.encode(text, room);
    check(expected.size() + unit <= target.size() &&
          std::memcmp(target.data(), expected.data(), expected.size()) == 0 &&
          target[expected.size()] == 0 && target[expected.size() + unit - 1] == 0);
    onTarget(target);
  };
  for (std::size_t start = 0; start <= bytes; start += decoding ? 1 : 2) {
    const int count = static_cast<int>(bytes - start);
    both(start, decoding ? Quire::VelCodeConverter::decodeCapacity(count)
                         : Quire::VelCodeConverter::encodeCapacity(count / 2));
  }
  both(0, tight);
}

// Text that every encoding maps to itself, unit for unit (no ESC, SO or SI).
template <typename Text>
bool isPlainAscii(const Text& text) {
  for (const auto c : text) {
    const unsigned u = static_cast<std::make_unsigned_t<typename Text::value_type>>(c);
    if (u >= 0x80 || u == 0x1B || u == 0x0E || u == 0x0F) return false;
  }
  return true;
}

// Both forms end where their lengths say, and length follows its rule.
inline void checkForms(const Quire::VelParamString& s) {
  check(std::strlen(s.c_str()) == static_cast<std::size_t>(s.cstr_length()));
  check(Wide(s.w_str()).size() == static_cast<std::size_t>(s.wstr_length()));
  check(s.length() == (s.wstr_length() == 0 ? s.cstr_length() : s.wstr_length()));
}

}  // namespace quire_fuzz

#endif  // QUIRE_FUZZ_FUZZSUPPORT_H_
