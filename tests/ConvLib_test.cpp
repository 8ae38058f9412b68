#include "platform/ConvLib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/conv/Coder.h"
#include "tests/IconvReference.h"
#include "tests/TestSupport.h"

namespace {

using namespace quire_test;

// UTF-16 of one code point.
Wide utf16(unsigned cp) {
  if (cp < 0x10000) return Wide(1, static_cast<unsigned short>(cp));
  return {static_cast<unsigned short>(0xD7C0 + (cp >> 10)),
          static_cast<unsigned short>(0xDC00 | (cp & 0x3FF))};
}

// Mixed texts, and plain runs (taken many bytes at a time) with one other character at each
// place, at every capacity in both byte orders: the component writes what iconv writes.
TEST(ConvLib, EveryCapacityGivesWhatIconvGives) {
  std::vector<Wide> texts = {
      u16(u"ab日本語😀のかな/x¥‾~\\ €ｱ"), u16(u"あa\u00A5b\u203E \tc"), Wide(),
      u16(u"a¥b‾c\\~ あ\nい\rう\x1B"), u16(u"¥ab\x7F¥~\\¥\tあ¥"), u16(u"あ€い😀う\U000E0041え"),
      u16(u"ｱ半角\u00A2\u00A3\u00AC\uFFE0\uFFE2\u2016\u2225\u301C\uFF5E"),
      {0xD800, 'a', 0x3042, 0xDC00, 0x00A5, 0xD83D}, {0x00A5, 0, 0x3042, 0, 'a'}};
  const std::string plain = "/home/user/projects/quire/2024/x";
  for (const char16_t* other : {u"あ", u"\uE800", u"\u0100", u"\u0080", u"\uFF61", u"\x1B", u"😀"})
    for (std::size_t at = 0; at < plain.size(); ++at)
      texts.push_back(Wide(plain.begin(), plain.end()).replace(at, 1, u16(other)));
  for (const char* encoding : kEncodings)
    for (bool bigEndian : {false, true})
      for (const Wide& text : texts) {
        const std::string units = bytesOf(text, bigEndian);
        const std::string bytes = viaIconv(encoding, bigEndian, false, units, 256);
        for (int capacity = 1; capacity <= static_cast<int>(2 * bytes.size() + 2); ++capacity) {
          ASSERT_EQ("", unlikeIconv(encoding, bigEndian, false, units, capacity));
          // Decoding needs room for its zero unit.
          ASSERT_EQ("", unlikeIconv(encoding, bigEndian, true, bytes, std::max(capacity, 2)));
        }
      }
}

// One text through a decoder or encoder in pieces of size bytes, with eight bytes of room at a
// time: the output and the count of what did not convert.
std::pair<std::string, long long> inPieces(convlib::EncodingId id, bool bigEndian, bool decoding,
                                           const std::string& text, std::size_t size) {
  convlib::Decoder decoder(id, bigEndian);
  convlib::Encoder encoder(id, bigEndian);
  convlib::CoderStream& coder = decoding ? static_cast<convlib::CoderStream&>(decoder) : encoder;
  std::string out;
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t at = 0, end = 0; end < text.size();) {
    end = std::min(end + size, text.size());
    for (bool full = true; full;) {
      unsigned char room[8];
      const convlib::CoderProgress run =
          coder.convert(in + at, end - at, room, sizeof room, end == text.size());
      if (run.read == 0 && run.written == 0 && run.result == convlib::CoderResult::kOutputFull)
        return {"no progress", -1};
      out.append(reinterpret_cast<const char*>(room), run.written);
      at += run.read;
      full = run.result == convlib::CoderResult::kOutputFull;
    }
  }
  return {out, decoding ? decoder.undecodableBytes() : encoder.unencodableCharacters()};
}

// Text that each encoding holds in part, with lone surrogates, and its bytes with malformed
// ones (in the table's order), in pieces of every size: the pieces give and count what iconv
// does for the whole.
TEST(ConvLib, EveryCutGivesTheTextAndCountsOfTheWhole) {
  Wide text = u16(u"a漢字ｱ¥b‾c~\\d丂简€😀\uFFFD?も与人仁\U000E0041 x");
  text += {0xDC00, 'y', 0xD800, 0x3042, 0xD83D};
  const char* const malformed[] = {
      "\x85\x40\xA0\xFD\x81\x7F\n\x81", "\xA1\x41\x8F\xA1\x41\x8E\xE0\n\x8F\xA1",
      "\x80\x1B(Ix\x1B$B\x30\n\x30\x21\x1B(B\n\x1B$B\x30\x1B$",
      "\xE3\x81\x41\xFF\xF0\x9F\x98\n\xF0\x9F\x98", "\x81\x30\xFF\n\x81"};
  for (int id = 0; id < convlib::kEncodingCount; ++id)
    for (bool bigEndian : {false, true})
      for (bool decoding : {false, true}) {
        const char* encoding = kEncodings[id];
        const std::string units = bytesOf(text, bigEndian);
        const std::string in = decoding ? viaIconv(encoding, bigEndian, false, units, 1024) +
                                              malformed[id]
                                        : units;
        long long refused = 0;
        const std::string whole = viaIconv(encoding, bigEndian, decoding, in, 4096, &refused);
        for (std::size_t size = decoding ? 1 : 2; size <= in.size(); size += decoding ? 1 : 2)
          ASSERT_EQ(inPieces(static_cast<convlib::EncodingId>(id), bigEndian, decoding, in, size),
                    std::make_pair(whole, refused))
              << encoding << (bigEndian ? " big-endian" : "") << (decoding ? " decoding" : "")
              << " in pieces of " << size;
      }
}

// Decodes prefix followed by each one or two bytes.
void decodeAfter(const char* encoding, const std::string& prefix, bool bigEndian = false) {
  for (unsigned code = 0; code < 0x10100; ++code) {
    std::string bytes = prefix;
    if (code < 0x10000) bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    ASSERT_EQ("", unlikeIconv(encoding, bigEndian, true, bytes, int(4 * bytes.size() + 4)));
  }
}

// Every one- and two-byte sequence in both byte orders, in ISO-2022-JP after each escape too,
// with odd escapes; EUC-JP's three-byte 8F codes; UTF-8's three-byte sequences.
TEST(ConvLib, DecodesEveryShortSequenceAsIconv) {
  const std::string iso2022Jp[] = {
      "\x1B$B$\"$$\x1B(Bab", "\x1B$@$\"\x1B(Jab\\~\x1B(Bc", "\x1B$BKb\x1B(B", "a\x1B(", "\x1B(I1",
      "\x1B$B\n$\"\r\x7F\x1B", "\x1B$(D01", "\x1B$A01", "\x1B.A", "\x1B$B\x80$\"\xFF", "\x1BN!",
      "\x1B$B!\x7F!!", "\x1B(B\x1B(J\x1B$B", "\x0E\x0F\x1B$B\x0E!!\x0F", "\x1B$B$\"\x1B("};
  for (const char* encoding : kEncodings)
    for (bool bigEndian : {false, true}) decodeAfter(encoding, "", bigEndian);
  for (const char* escape : {"\x1B$B", "\x1B$@", "\x1B(J", "\x1B(B"})
    decodeAfter("ISO-2022-JP", escape);
  for (const std::string& bytes : iso2022Jp)
    EXPECT_EQ("", unlikeIconv("ISO-2022-JP", false, true, bytes, 256));
  decodeAfter("EUC-JP", "\x8F");
  for (unsigned lead = 0xE0; lead <= 0xEF; ++lead)
    decodeAfter("UTF-8", std::string(1, static_cast<char>(lead)));
}

// Every BMP character and every 97th one beyond, alone and (ISO-2022-JP) after other sets.
TEST(ConvLib, EncodesEveryBmpCharacterAsIconv) {
  std::vector<unsigned> points;
  for (unsigned cp = 0; cp < 0x10000; ++cp) points.push_back(cp);
  for (unsigned cp = 0x10000; cp <= 0x10FFFF; cp += 97) points.push_back(cp);
  for (unsigned cp = 0xE0000; cp <= 0xE0080; ++cp) points.push_back(cp);
  for (const std::string encoding : kEncodings)
    for (unsigned cp : points) {
      ASSERT_EQ("", unlikeIconv(encoding.c_str(), false, false, bytesOf(utf16(cp), false), 64));
      if (encoding != "ISO-2022-JP") continue;
      for (const char16_t* before : {u"あ", u"¥", u"a"})
        ASSERT_EQ("", unlikeIconv(encoding.c_str(), false, false,
                                  bytesOf(u16(before) + utf16(cp) + u16(u"a"), false), 64));
    }
}

}  // namespace
