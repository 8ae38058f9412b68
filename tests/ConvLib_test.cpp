#include "platform/ConvLib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Ascii.h"
#include "tests/IconvReference.h"
#include "tests/TestSupport.h"
#include "text/VelCodeConverter.h"

namespace {

using quire_test::IconvReference;
using quire_test::u16;
using quire_test::Wide;

static_assert(offsetof(ConvInputOptions, word3) == 8 &&
                  offsetof(ConvOutputOptions, reserved) == 12,
              "option words in order");

const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8", "ChineseGBK"};
const char kUcs2[] = "ISO-10646-UCS-2";
const std::string kPoison(8, '\xA5');

std::string bytesOf(const Wide& units, bool bigEndian) {
  std::string out;
  for (unsigned short u : units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

// UTF-16 of one code point, as bytes in the order bigEndian names.
std::string unitsOf(unsigned cp, bool bigEndian) {
  if (cp < 0x10000) return bytesOf(Wide(1, static_cast<unsigned short>(cp)), bigEndian);
  const auto high = static_cast<unsigned short>(0xD7C0 + (cp >> 10));
  const auto low = static_cast<unsigned short>(0xDC00 | (cp & 0x3FF));
  return bytesOf(Wide{high, low}, bigEndian);
}

// One conversion through the component as a caller makes it, into a target
// poisoned eight bytes past the capacity; the UCS-2 side in the order
// bigEndian names. Returns the target, or "refused".
std::string convert(const char* from, const char* to, const std::string& source, int capacity,
                    bool bigEndian) {
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
  convExecute(&context);
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

// Whether the target holds exactly text, its terminating zero and then the
// untouched poison: text itself may hold zero units.
bool holdsExactly(const std::string& target, const std::string& text, int unitBytes) {
  const std::size_t end = text.size() + static_cast<std::size_t>(unitBytes);
  return target.compare(0, text.size(), text) == 0 &&
         target.compare(text.size(), static_cast<std::size_t>(unitBytes),
                        std::string(static_cast<std::size_t>(unitBytes), '\0')) == 0 &&
         (end >= target.size() || target[end] == '\xA5');
}

std::string decoded(const char* encoding, const std::string& bytes, bool bigEndian,
                    int capacity) {
  return textIn(convert(encoding, kUcs2, bytes, capacity, bigEndian), capacity, 2);
}

std::string encoded(const char* encoding, const std::string& units, bool bigEndian,
                    int capacity) {
  return textIn(convert(kUcs2, encoding, units, capacity, bigEndian), capacity, 1);
}

int decodeRoom(const std::string& bytes) { return static_cast<int>(4 * bytes.size() + 4); }
int encodeRoom(const std::string& units) { return static_cast<int>(4 * units.size() + 8); }

// Compares the component with iconv over many inputs and reports how many
// differ, with the first few.
class Tally {
 public:
  void check(const std::string& what, const std::string& ours, const std::string& reference) {
    ++compared_;
    if (ours == reference) return;
    if (++differing_ <= 5)
      examples_ += what + ": ours " + testing::PrintToString(ours) + ", iconv " +
                   testing::PrintToString(reference) + "\n";
  }
  long compared() const { return compared_; }
  void expectNoDifference(const char* encoding) const {
    EXPECT_EQ(0, differing_) << encoding << " differs from iconv in " << differing_ << " of "
                             << compared_ << ":\n" << examples_;
  }

 private:
  long compared_ = 0;
  long differing_ = 0;
  std::string examples_;
};

std::string hex(const std::string& bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    char cell[4];
    std::snprintf(cell, sizeof cell, "%02X ", b);
    out += cell;
  }
  return out;
}

std::string codePoint(unsigned cp) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", cp);
  return name;
}

// Decodes every sequence that prefix followed by n arbitrary bytes makes
// (first byte from firstLow), through the component and through iconv.
void decodeAll(const char* encoding, const std::string& prefix, int n, Tally& tally,
               unsigned firstLow = 0, unsigned firstHigh = 0xFF) {
  IconvReference reference(encoding, false);
  const int shift = 8 * (n - 1);
  for (unsigned code = firstLow << shift; code < (firstHigh + 1) << shift; ++code) {
    std::string bytes = prefix;
    for (int i = n - 1; i >= 0; --i) bytes += static_cast<char>(code >> (8 * i) & 0xFF);
    const std::string expected = reference.decode(bytes, static_cast<std::size_t>(decodeRoom(bytes)));
    const std::string target = convert(encoding, kUcs2, bytes, decodeRoom(bytes), false);
    tally.check(hex(bytes), holdsExactly(target, expected, 2) ? expected : target, expected);
  }
}

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
    EXPECT_EQ(units, decoded("WINDOWS31J", "\x82\xA0", bigEndian, 8));
    EXPECT_EQ("\x82\xA0", encoded("WINDOWS31J", units, bigEndian, 8));
  }
  EXPECT_EQ("", decoded("UTF-8", "", false, 2));
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

// At every capacity, in both byte orders, the component stays inside it,
// ends its text with a zero and writes what iconv writes there: ISO-2022-JP's
// escapes that iconv writes before a character that then does not fit too.
TEST(ConvLib, EveryCapacityGivesWhatIconvGives) {
  const Wide texts[] = {u16(u"ab日本語😀のかな/x¥‾~\\ €ｱ"), u16(u"あa\u00A5b\u203E \tc")};
  for (const char* encoding : kEncodings)
    for (bool bigEndian : {false, true}) {
      SCOPED_TRACE(std::string(encoding) + (bigEndian ? " big-endian" : " little-endian"));
      IconvReference reference(encoding, bigEndian);
      for (const Wide& text : texts) {
        const std::string wide = bytesOf(text, bigEndian);
        const std::string narrow = reference.encode(wide, 200);
        for (int capacity = 1; capacity < 100; ++capacity) {
          SCOPED_TRACE(capacity);
          const auto room = static_cast<std::size_t>(capacity);
          if (capacity >= 2) {
            EXPECT_EQ(reference.decode(narrow, room),
                      decoded(encoding, narrow, bigEndian, capacity));
          }
          EXPECT_EQ(reference.encode(wide, room), encoded(encoding, wide, bigEndian, capacity));
        }
      }
    }
}

// Long plain runs, taken many bytes at a time, with one other character at
// each place in turn: the runs must stop exactly there, in both orders.
TEST(ConvLib, PlainRunsStopAtAnyOtherCharacter) {
  const std::string plain = "/home/user/projects/quire/reports/2024/quarterly/x";
  const Wide others[] = {u16(u"あ"), u16(u"\uE800"), u16(u"\u0100"), u16(u"\u0080"),
                         u16(u"\uFF61"), u16(u"\x1B"), u16(u"😀")};
  for (const char* encoding : kEncodings)
    for (bool bigEndian : {false, true}) {
      IconvReference reference(encoding, bigEndian);
      for (const Wide& other : others)
        for (std::size_t at = 0; at < plain.size(); ++at) {
          Wide text(plain.begin(), plain.end());
          text.replace(at, 1, other);
          const std::string units = bytesOf(text, bigEndian);
          const std::string narrow = reference.encode(units, 256);
          EXPECT_EQ(narrow, encoded(encoding, units, bigEndian, 256)) << encoding << " " << at;
          EXPECT_EQ(reference.decode(narrow, 512), decoded(encoding, narrow, bigEndian, 512))
              << encoding << " " << at;
        }
    }
}

// Every one- and two-byte sequence, on its own; in ISO-2022-JP also after
// each escape into another set; EUC-JP's three-byte 8F codes; UTF-8's
// three-byte sequences.
TEST(ConvLib, DecodesEveryShortSequenceAsIconv) {
  long total = 0;
  for (const char* encoding : kEncodings) {
    Tally tally;
    decodeAll(encoding, "", 1, tally);
    decodeAll(encoding, "", 2, tally);
    if (std::strcmp(encoding, "ISO-2022-JP") == 0)
      for (const char* escape : {"\x1B$B", "\x1B$@", "\x1B(J", "\x1B(B"})
        decodeAll(encoding, escape, 2, tally);
    if (std::strcmp(encoding, "EUC-JP") == 0) decodeAll(encoding, "\x8F", 2, tally);
    if (std::strcmp(encoding, "UTF-8") == 0) decodeAll(encoding, "", 3, tally, 0xE0, 0xEF);
    tally.expectNoDifference(encoding);
    total += tally.compared();
  }
  RecordProperty("sequences", std::to_string(total));
  EXPECT_GT(total, 5 * 65536 + 4 * 65536 + 65536 + 16 * 65536);
}

// Where the component differs from iconv on purpose: U+00A5 and U+203E would
// become a backslash and a tilde, and iconv drops tag characters in silence
// (except in ISO-2022-JP, which refuses them).
bool differsOnPurpose(const char* encoding, unsigned cp) {
  const std::string name = encoding;
  if ((name == "WINDOWS31J" || name == "EUC-JP") && (cp == 0xA5 || cp == 0x203E)) return true;
  return name != "UTF-8" && name != "ISO-2022-JP" && cp >= 0xE0000 && cp <= 0xE007F;
}

// Every BMP character and every 97th one beyond, alone and (for the state of
// ISO-2022-JP) after characters of the other sets, against iconv; where the
// component differs on purpose it must give "?" and iconv something else.
TEST(ConvLib, EncodesEveryBmpCharacterAsIconv) {
  std::vector<unsigned> points;
  for (unsigned cp = 0; cp < 0x10000; ++cp) points.push_back(cp);
  for (unsigned cp = 0x10000; cp <= 0x10FFFF; cp += 97) points.push_back(cp);
  for (unsigned cp = 0xE0000; cp <= 0xE0080; ++cp) points.push_back(cp);
  long total = 0;
  for (const char* encoding : kEncodings) {
    const bool iso2022Jp = std::strcmp(encoding, "ISO-2022-JP") == 0;
    IconvReference reference(encoding, false);
    Tally tally;
    std::vector<unsigned> onPurpose;
    for (unsigned cp : points) {
      const std::string units = unitsOf(cp, false);
      const std::string iconvOnly = reference.encode(units, 64, false);
      const std::string target = convert(kUcs2, encoding, units, encodeRoom(units), false);
      if (!holdsExactly(target, iconvOnly, 1) && differsOnPurpose(encoding, cp)) {
        onPurpose.push_back(cp);
        EXPECT_TRUE(holdsExactly(target, "?", 1)) << cp;
      } else {
        tally.check(codePoint(cp), holdsExactly(target, iconvOnly, 1) ? iconvOnly : target,
                    iconvOnly);
      }
      if (!iso2022Jp) continue;
      for (const char16_t* before : {u"あ", u"¥", u"a"}) {
        const std::string text = bytesOf(u16(before), false) + units + bytesOf(u16(u"a"), false);
        const std::string expected = reference.encode(text, 64);
        const std::string after = convert(kUcs2, encoding, text, encodeRoom(text), false);
        tally.check("after " + codePoint(cp), holdsExactly(after, expected, 1) ? expected : after,
                    expected);
      }
    }
    tally.expectNoDifference(encoding);
    std::vector<unsigned> expected;
    for (unsigned cp : points)
      if (differsOnPurpose(encoding, cp)) expected.push_back(cp);
    EXPECT_EQ(expected, onPurpose) << encoding;
    total += tally.compared() + static_cast<long>(onPurpose.size());
  }
  RecordProperty("characters", std::to_string(total));
}

// No character outside ASCII becomes bytes that begin with an ASCII byte
// other than "?" in the three encodings without shifts; ISO-2022-JP keeps
// JIS-Roman's codes, which read back as the same characters.
TEST(ConvLib, NoCharacterOutsideAsciiEncodesAsAsciiBytes) {
  for (const char* encoding : {"WINDOWS31J", "EUC-JP", "ChineseGBK"}) {
    std::vector<unsigned> unsafe;
    for (unsigned cp = 0x80; cp < 0x10000; ++cp) {
      if (cp >= 0xD800 && cp <= 0xDFFF) continue;
      const std::string units = unitsOf(cp, false);
      const std::string bytes = encoded(encoding, units, false, 8);
      if (bytes.empty() || (bytes != "?" && static_cast<unsigned char>(bytes[0]) < 0x80))
        unsafe.push_back(cp);
    }
    EXPECT_TRUE(unsafe.empty()) << encoding << ": " << testing::PrintToString(unsafe);
  }
  for (bool bigEndian : {false, true}) {
    const std::string path = bytesOf(u16(u"..¥..‾x"), bigEndian);
    const std::string bytes = encoded("ISO-2022-JP", path, bigEndian, 64);
    EXPECT_EQ("..\x1B(J\\..~x\x1B(B", bytes);
    EXPECT_EQ(path, decoded("ISO-2022-JP", bytes, bigEndian, 64));
    EXPECT_EQ("..?..?x", encoded("WINDOWS31J", path, bigEndian, 64));
    EXPECT_EQ("..?..?x", encoded("EUC-JP", path, bigEndian, 64));
  }
}

// ISO-2022-JP's escapes, shifts, cut-short escapes, bytes that no set holds
// and text ending in another set, decoded and encoded against iconv.
TEST(ConvLib, Iso2022JpShiftsAsIconv) {
  const std::string narrow[] = {
      "\x1B$B$\"$$\x1B(Bab", "\x1B$@$\"\x1B(Jab\\~\x1B(Bc", "\x1B(J\\~|", "\x1B$B$\"",
      "\x1B$B$", "\x1B$B\n$\"\r\x7F\x1B", "\x1B$", "\x1B", "a\x1B(", "\x1B(I1", "\x1B$(D01",
      "\x1B$A01", "\x1B.A", "\x1B$B\x80$\"\xFF", "\x1B$B!\x7F!!", "\x1B(B\x1B(J\x1B$B",
      "\x0E\x0F\x1B$B\x0E!!\x0F", "\x1B$B\x1B", "\x1B$B$\"\x1B(", "\x1BN!", "\x1B$BKb\x1B(B"};
  const Wide wide[] = {u16(u"a¥b‾c\\~ あ\nい\rう\x1B"), u16(u"¥ab\x7F¥~\\¥\tあ¥"),
                       u16(u"あ€い😀う\U000E0041え"), {0xD800, 'a', 0x3042, 0xDC00, 0x00A5, 0xD83D},
                       u16(u"ｱ半角\u00A2\u00A3\u00AC\uFFE0\uFFE2\u2016\u2225\u301C\uFF5E"),
                       {0x00A5, 0, 0x3042, 0, 'a'}};
  for (bool bigEndian : {false, true}) {
    IconvReference reference("ISO-2022-JP", bigEndian);
    for (const std::string& bytes : narrow)
      EXPECT_EQ(reference.decode(bytes, 256), decoded("ISO-2022-JP", bytes, bigEndian, 256))
          << hex(bytes);
    for (const Wide& text : wide) {
      const std::string units = bytesOf(text, bigEndian);
      const std::string expected = reference.encode(units, 256);
      EXPECT_TRUE(holdsExactly(convert(kUcs2, "ISO-2022-JP", units, 256, bigEndian), expected, 1))
          << testing::PrintToString(text) << " should give " << testing::PrintToString(expected);
    }
  }
}

// What the reference does where converters disagree, pinned: iconv must give
// it too, so that a change of the C library shows here first.
TEST(ConvLib, ReferenceChoicesHold) {
  const struct {
    const char* encoding;
    std::string bytes;
    Wide units;
  } cases[] = {
      {"WINDOWS31J", "\x80\xA0\xFD\xFE\xFF", Wide(5, 0xFFFD)},
      {"WINDOWS31J", "\\~", u16(u"\\~")},
      {"EUC-JP", "\x80\x9F\x8F\xA2\xB7", {0x80, 0x9F, 0xFF5E}},
      {"EUC-JP", "\x8E\xB1\x8E", {0xFF71, 0xFFFD}},
      {"ChineseGBK", "\x80\x81\x40", {0x20AC, 0x4E02}},
      {"ISO-2022-JP", "\x1B(J\\~\x1B$@!!", {0xA5, 0x203E, 0x3000}},
      {"UTF-8", "\xED\xA0\x80\xF0\x9F\x98\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xD83D, 0xDE00}},
  };
  for (const auto& c : cases) {
    const std::string units = bytesOf(c.units, false);
    IconvReference reference(c.encoding, false);
    EXPECT_EQ(units, reference.decode(c.bytes, 64)) << c.encoding << " " << hex(c.bytes);
    EXPECT_EQ(units, decoded(c.encoding, c.bytes, false, 64)) << c.encoding << " " << hex(c.bytes);
  }
  // NEC and IBM duplicates encode to the IBM codes; the JIS and Microsoft
  // forms of one character keep iconv's codes.
  const struct {
    char16_t cp;
    const char* encoding;
    const char* bytes;
  } encodings[] = {{u'\u2170', "WINDOWS31J", "\xFA\x40"}, {u'\u7E8A', "WINDOWS31J", "\xFA\x5C"},
                   {u'\uFF5E', "WINDOWS31J", "\x81\x60"}, {u'\u301C', "EUC-JP", "\xA1\xC1"},
                   {u'\u2225', "WINDOWS31J", "\x81\x61"}, {u'\u00AC', "EUC-JP", "\xA2\xCC"}};
  for (const auto& c : encodings) {
    const std::string units = bytesOf(Wide(1, c.cp), false);
    IconvReference reference(c.encoding, false);
    EXPECT_EQ(reference.encode(units, 16), encoded(c.encoding, units, false, 16)) << c.encoding;
    EXPECT_EQ(c.bytes, encoded(c.encoding, units, false, 16)) << c.encoding << " " << c.cp;
  }
}

}  // namespace
