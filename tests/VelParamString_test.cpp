#include "quire/VelParamString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "tests/TestSupport.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace {

using Quire::VelCodeConverter;
using Quire::VelParamString;
using quire_test::ScopedEncoding;
using quire_test::u16;
using quire_test::Wide;

const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8", "ChineseGBK"};

Wide wideOf(const VelParamString& s) { return Wide(s.w_str()); }
std::string narrowOf(const Wide& text) { return VelParamString(text.c_str()).c_str(); }
// cstr_length, wstr_length, length.
std::vector<int> lengthsOf(const VelParamString& s) {
  return {s.cstr_length(), s.wstr_length(), s.length()};
}

// The conversions themselves are held to iconv in ConvLib_test; here, that
// the string makes them in the chosen encoding, and what it keeps of them.
TEST(VelParamStringTest, EachAssignmentConvertsInTheChosenEncoding) {
  // 日 in each encoding, no two alike; text too long for the stack buffers.
  const char* const sun[] = {"\x93\xFA", "\xC6\xFC", "\x1B$BF|\x1B(B", "\xE6\x97\xA5", "\xC8\xD5"};
  Wide longText;
  for (int i = 0; i < 400; ++i) longText += u16(u"日本/ab");
  for (int e = 0; e < 5; ++e) {
    SCOPED_TRACE(kEncodings[e]);
    ScopedEncoding chosen(kEncodings[e]);
    EXPECT_EQ(u16(u"日"), wideOf(VelParamString(sun[e])));
    EXPECT_EQ(sun[e], narrowOf(u16(u"日")));
    EXPECT_EQ(longText, wideOf(VelParamString(narrowOf(longText).c_str())));
  }
}

TEST(VelParamStringTest, FormsLengthsCopiesAndCompare) {
  const VelParamString empty, nullNarrow(static_cast<const char*>(nullptr)),
      nullWide(static_cast<const unsigned short*>(nullptr));
  for (const VelParamString* s : {&empty, &nullNarrow, &nullWide})
    EXPECT_EQ((std::vector<int>{0, 0, 0}), lengthsOf(*s));
  ScopedEncoding sjis("WINDOWS31J");
  EXPECT_EQ((std::vector<int>{4, 2, 2}), lengthsOf("\x93\xFA\x96\x7B"));  // 日本
  // The given form stays as given; the other has U+FFFD for each byte that does
  // not decode (80, a lead byte at the end), '?' for each character the encoding lacks.
  const VelParamString bytes("x\x82\xA0\x80\x82"), units(u16(u"a😀b\xDE00").c_str());
  EXPECT_STREQ("x\x82\xA0\x80\x82", bytes.c_str());
  EXPECT_EQ(u16(u"xあ\uFFFD\uFFFD"), wideOf(bytes));
  EXPECT_STREQ("a?b?", units.c_str());
  EXPECT_EQ(u16(u"a😀b\xDE00"), wideOf(units));

  // Escape sequences alone decode to no units: the length is then in bytes.
  ScopedEncoding jis("ISO-2022-JP");
  EXPECT_EQ((std::vector<int>{6, 0, 6}), lengthsOf("\x1B$B\x1B(B"));
  // Copies keep both forms when the encoding changes; a new assignment uses it.
  const VelParamString copy(bytes);
  VelParamString assigned("zzz");
  assigned = bytes;
  VelParamString& alias = assigned;
  assigned = alias;
  for (const VelParamString* s : {&copy, static_cast<const VelParamString*>(&assigned)}) {
    EXPECT_STREQ("x\x82\xA0\x80\x82", s->c_str());
    EXPECT_EQ(u16(u"xあ\uFFFD\uFFFD"), wideOf(*s));
  }
  EXPECT_EQ("x\x1B$B$\"\x1B(B??", narrowOf(wideOf(copy)));

  // Unsigned, over one form: E3 and FF41 sort after 'a'.
  VelParamString s("abc"), kana("\xE3\x81\x82"), fullwidth(u16(u"\uFF41").c_str());
  EXPECT_TRUE(s.compare("abc") == 0 && s.compare("abcd") < 0 && s.compare("ab") > 0);
  EXPECT_TRUE(s.compare(u16(u"abc").c_str()) == 0 && s.compare(u16(u"abcd").c_str()) < 0);
  EXPECT_TRUE(kana.compare("a") > 0 && fullwidth.compare(u16(u"a").c_str()) > 0);
}

TEST(VelParamStringTest, RefusedConversionsGiveEmptyText) {
  // The target name refused: "あ" into four poisoned units with room for three.
  std::vector<unsigned short> units(4, 0xA5A5);
  VelCodeConverter("EUC-JP", "bogus").decodeBuffer("\xA4\xA2", 2, units.data(), 6);
  EXPECT_EQ(std::vector<unsigned short>({0, 0, 0, 0xA5A5}), units);
  // Either name refused, the target of a conversion between strings is emptied.
  VelParamString decoded("old"), encoded("old");
  VelCodeConverter("UTF-8", "bogus").decode(VelParamString("abc"), decoded);
  VelCodeConverter("bogus", "UTF-8").encode(VelParamString("abc"), encoded);
  EXPECT_TRUE(decoded.length() == 0 && encoded.length() == 0);
}

TEST(VelParamStringTest, FourThreadsAgreeWithOne) {
  // Every conversion path: the converters name their encodings, the strings
  // that they fill read the environment, fixed before the threads start.
  ScopedEncoding chosen("EUC-JP");
  const VelParamString text(u16(u"plain/ascii 日本語のテキスト_かなカナ漢字 a😀b\uFFFD€").c_str());
  const auto convertAll = [&text] {
    std::string all;
    for (const char* encoding : kEncodings) {
      VelParamString encoded, decoded;
      VelCodeConverter(Quire::kUcs2Encoding, encoding).encode(text, encoded);
      VelCodeConverter(encoding, Quire::kUcs2Encoding).decode(encoded, decoded);
      all += std::string(encoded.c_str()) + decoded.c_str();
    }
    return all;
  };
  std::vector<std::string> results(4 * 50);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&results, &convertAll, t] {
      for (int round = 0; round < 50; ++round) results[50 * t + round] = convertAll();
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(4 * 50, std::count(results.begin(), results.end(), convertAll()));
}

}  // namespace
