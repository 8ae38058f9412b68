#include "platform/ConvLib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Ascii.h"
#include "tests/TestSupport.h"
#include "text/VelCodeConverter.h"

namespace {

using quire_test::u16;
using quire_test::Wide;

static_assert(offsetof(ConvInputOptions, word3) == 8 &&
                  offsetof(ConvOutputOptions, reserved) == 12,
              "option words in order");

const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8", "ChineseGBK"};
const char kUcs2[] = "ISO-10646-UCS-2";
const std::string kPoison(8, '\xA5');
int (*const iconvOnly)(ConvContext*) = convlib::executeThroughIconvOnly;

std::string bytesOf(const Wide& units, bool bigEndian) {
  std::string out;
  for (unsigned short u : units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

// One conversion through the component as a caller makes it, into a target
// poisoned eight bytes past the capacity; the UCS-2 side in the order
// bigEndian names. Returns the target, or "refused".
std::string convert(const char* from, const char* to, const std::string& source, int capacity,
                    bool bigEndian, int (*execute)(ConvContext*) = convExecute) {
  std::string target(static_cast<std::size_t>(capacity), '\xA5');
  target += kPoison;
  const std::vector<char> exact(source.begin(), source.end());  // no terminator to read past
  ConvContext context;
  std::memset(&context, 0, sizeof context);
  context.source = exact.data();
  context.sourceBytes = static_cast<std::int32_t>(source.size());
  context.target = &target[0];
  context.targetCapacity = capacity;
  const bool decoding = to != nullptr && std::strcmp(to, kUcs2) == 0;
  const ConvInputOptions input{decoding ? 1 : bigEndian, 0, 1};
  ConvOutputOptions output{decoding ? bigEndian : 1, 0, 1, {}};
  if (convOpenOutput(&context, &output, to) != 0 || convOpenInput(&context, &input, from) != 0)
    return "refused";
  execute(&context);
  convClose(&context);
  return target;
}

// The whole units before the first zero unit within the capacity, or
// "unterminated"; the poison behind the capacity must be intact.
std::string textIn(const std::string& target, int capacity, int unitBytes) {
  EXPECT_EQ(kPoison, target.substr(capacity));
  for (int i = 0; i + unitBytes <= capacity; i += unitBytes)
    if (target[i] == 0 && target[i + unitBytes - 1] == 0) return target.substr(0, i);
  return "unterminated";
}

// Each of the five names opens: EveryCapacityIsKeptAndTerminated converts in all.
TEST(ConvLib, OnlyTheKnownNamesOpen) {
  const char* const names[] = {"bogus", "utf-8", "WINDOWS-31J", "GBK", "UTF-16LE", "", nullptr};
  for (const char* name : names) {
    EXPECT_EQ("refused", convert("UTF-8", name, "a", 8, false)) << (name ? name : "null");
    EXPECT_EQ("refused", convert(name, kUcs2, "a", 8, false)) << (name ? name : "null");
  }
}

TEST(ConvLib, UnitsComeInTheByteOrderAskedAndNothingGivesOneZeroUnit) {
  for (bool bigEndian : {true, false}) {
    const std::string units = bytesOf(u16(u"あ"), bigEndian);
    EXPECT_EQ(units, textIn(convert("WINDOWS31J", kUcs2, "\x82\xA0", 8, bigEndian), 8, 2));
    EXPECT_EQ("\x82\xA0", textIn(convert(kUcs2, "WINDOWS31J", units, 8, bigEndian), 8, 1));
  }
  EXPECT_EQ("", textIn(convert("UTF-8", kUcs2, "", 2, false), 2, 2));
}

TEST(ConvLib, PlainAsciiExcludesShiftsAndHighBytesAnywhere) {
  const std::string plain = "0123456789abcdef\x7F\x01";
  EXPECT_TRUE(convlib::isPlainAscii(plain.data(), plain.size()));
  for (char odd : {'\x1B', '\x0E', '\x0F', '\x80'})
    for (std::size_t at = 0; at < plain.size(); ++at) {
      std::string text = plain;
      text[at] = odd;
      Wide units(text.begin(), text.end());
      EXPECT_FALSE(convlib::isPlainAscii(text.data(), text.size())) << at;
      EXPECT_FALSE(convlib::isPlainAscii(units.data(), units.size())) << at;
      units = Wide(plain.begin(), plain.end());
      units[at] = 0x0141;  // a plain low byte under a high one
      EXPECT_FALSE(convlib::isPlainAscii(units.data(), units.size())) << at;
    }
}

// At every capacity the component stays inside it, ends its text with a zero,
// writes the same as iconv alone, and leaves ISO-2022-JP unshifted.
TEST(ConvLib, EveryCapacityIsKeptAndTerminated) {
  const Wide text = u16(u"ab日本語😀のかな/x");
  const std::string wide = bytesOf(text, false);
  for (const char* encoding : kEncodings) {
    SCOPED_TRACE(encoding);
    quire_test::ScopedEncoding chosen(encoding);
    const std::string narrow = Quire::VelParamString(text.c_str()).c_str();
    const std::string all = textIn(convert(encoding, kUcs2, narrow, 200, false), 200, 2);
    for (int capacity = 1; capacity < 100; ++capacity) {
      SCOPED_TRACE(capacity);
      const std::string decoded = convert(encoding, kUcs2, narrow, capacity, false);
      EXPECT_EQ(convert(encoding, kUcs2, narrow, capacity, false, iconvOnly), decoded);
      EXPECT_TRUE(capacity < 2 || all.find(textIn(decoded, capacity, 2)) == 0);
      const std::string encoded = convert(kUcs2, encoding, wide, capacity, false);
      EXPECT_EQ(convert(kUcs2, encoding, wide, capacity, false, iconvOnly), encoded);
      const std::string bytes = textIn(encoded, capacity, 1);
      const std::size_t shift = bytes.rfind('\x1B');
      EXPECT_TRUE(shift == std::string::npos || bytes.compare(shift, 3, "\x1B(B") == 0) << bytes;
    }
  }
}

// One bad or unusual sequence each: the fast paths hand all that follows to
// iconv, which must then give what it gives alone.
TEST(ConvLib, FastPathsGiveWhatIconvGives) {
  const std::string narrowSamples[] = {
      "x\x82 ", "\x80\x82\xA0\xB1", "\xE3\x81\x82x\xE3\x81", "a\xC0\xAF", "a\xE0\x80\xAF",
      "a\xED\xA0\x80", "a\xF0\x80\x80\xAF", "\xF0\x9F\x98\x80\xF4\x90\x80\x80",
      "a\x1B$B$\"\x1B(Bb\x1B", "\x0E\x0F\x1B" "abc", "\xA4\xA2\x8E\xA1\x8F\xA2\xAF",
      "\x81\x30\x81\x30\xFF", std::string("a\0b", 3), "abcdefg\x1B$B$\"\x1B(Bhijklmno\x0Epq"};
  const Wide wideSamples[] = {u16(u"あ€\uFFFD😀ｱ"), {0xD83D, 'a', 0xDE00, 0x1B, 0},
                              {0xDBFF, 0xDFFF, 0xFFFE, 0xFFFF}, {'a', 0xD800},
                              u16(u"a\u0141bcdefgh\u4E41ijkl\u0105mnop"),
                              {'a', 'b', 'c', 0x1B, 'd', 'e', 'f', 'g', 'h'}};
  const auto same = [](const char* from, const char* to, const std::string& source, bool big) {
    const int capacity = static_cast<int>(3 * source.size() + 4);
    EXPECT_EQ(convert(from, to, source, capacity, big, iconvOnly),
              convert(from, to, source, capacity, big))
        << from << " to " << to << (big ? " big " : " little ") << testing::PrintToString(source);
  };
  for (const char* encoding : kEncodings)
    for (bool bigEndian : {false, true}) {
      for (const std::string& narrow : narrowSamples) same(encoding, kUcs2, narrow, bigEndian);
      for (const Wide& text : wideSamples)
        same(kUcs2, encoding, bytesOf(text, bigEndian), bigEndian);
    }
}

}  // namespace
