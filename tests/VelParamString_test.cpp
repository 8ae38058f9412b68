#include "quire/VelParamString.h"

#include <gtest/gtest.h>

#include <set>
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

TEST(VelParamStringText, KnownBytesAndRoundTripsInEachEncoding) {
  const char* const a[] = {"\x82\xA0", "\xA4\xA2", "\x1B$B$\"\x1B(B", "\xE3\x81\x82", "\xA4\xA2"};
  const Wide mixed = u16(u"C:/docs/日本語のテキスト_かなカナ漢字 mix 2.txt");
  Wide longText;  // too long for the stack buffers in either direction
  for (int i = 0; i < 400; ++i) longText += u16(u"日本/ab");
  std::set<std::string> distinct;
  for (int e = 0; e < 5; ++e) {
    SCOPED_TRACE(kEncodings[e]);
    ScopedEncoding chosen(kEncodings[e]);
    EXPECT_EQ(u16(u"あ"), wideOf(VelParamString(a[e])));
    EXPECT_EQ(a[e], narrowOf(u16(u"あ")));
    for (const Wide& text : {mixed, longText}) {
      const VelParamString back(narrowOf(text).c_str());
      EXPECT_GT(back.cstr_length(), back.wstr_length());
      EXPECT_EQ(text, wideOf(back));
    }
    distinct.insert(narrowOf(mixed));
  }
  EXPECT_EQ(5u, distinct.size());  // round trips alone would pass with one encoding for all
}

TEST(VelParamStringText, BadBytesAndUnencodableCharacters) {
  // One form given (N: the narrow one), the other as it comes out; the given
  // form is kept. Bad bytes (truncated, a bad trail, a stray ESC, overlong,
  // a surrogate) become U+FFFD; what the encoding lacks, or a lone surrogate, '?'.
  const bool N = true;
  struct Case { const char* encoding; bool narrowGiven; const char* narrow; const char16_t* wide; };
  const Case cases[] = {
      {"WINDOWS31J", N, "\x82\xA0\x80\x82\xA0", u"あ\uFFFDあ"},
      {"WINDOWS31J", N, "x\x82", u"x\uFFFD"}, {"EUC-JP", N, "x\xA4" "Ay", u"x\uFFFDAy"},
      {"ISO-2022-JP", N, "x\x1By", u"x\uFFFDy"}, {"ISO-2022-JP", N, "\x1B$B$\"$", u"あ\uFFFD"},
      {"ISO-2022-JP", N, "a\x80" "b", u"a\uFFFDb"}, {"UTF-8", N, "x\xE3\x81", u"x\uFFFD\uFFFD"},
      {"UTF-8", N, "\xE0\x80\xAFx", u"\uFFFD\uFFFD\uFFFDx"},
      {"UTF-8", N, "\xED\xA0\x80x", u"\uFFFD\uFFFD\uFFFDx"},
      {"ChineseGBK", N, "x\x81 y", u"x\uFFFD y"}, {"UTF-8", N, "a\xF0\x9F\x98\x80" "b", u"a😀b"},
      {"UTF-8", !N, "a\xF0\x9F\x98\x80" "b", u"a😀b"}, {"UTF-8", !N, "a?b", u"a\xD83D" u"b"},
      {"WINDOWS31J", !N, "a?b", u"a😀b"}, {"WINDOWS31J", !N, "?b", u"\xDE00" u"b"},
      {"WINDOWS31J", !N, "a?b", u"a€b"},
      {"ISO-2022-JP", !N, "\x1B$B$\"\x1B(B?\x1B$B$\"\x1B(B", u"あ😀あ"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.encoding) + " " + c.narrow);
    ScopedEncoding chosen(c.encoding);
    const VelParamString s =
        c.narrowGiven ? VelParamString(c.narrow) : VelParamString(u16(c.wide).c_str());
    EXPECT_STREQ(c.narrow, s.c_str());
    EXPECT_EQ(u16(c.wide), wideOf(s));
  }
}

TEST(VelParamStringText, RefusedConversionsGiveEmptyText) {
  // "あ" in EUC-JP into four poisoned units with room for three: zeros only.
  for (const char* from : {"EUC-JP", "bogus"}) {
    std::vector<unsigned short> units(4, 0xA5A5);
    VelCodeConverter(from, *from == 'b' ? Quire::kUcs2Encoding : "bogus")
        .decodeBuffer("\xA4\xA2", 2, units.data(), 6);
    EXPECT_EQ(std::vector<unsigned short>({0, 0, 0, 0xA5A5}), units) << from;
  }
  VelParamString decoded("old"), encoded("old");
  VelCodeConverter("UTF-8", "bogus").decode(VelParamString("abc"), decoded);
  VelCodeConverter("bogus", "UTF-8").encode(VelParamString("abc"), encoded);
  EXPECT_TRUE(decoded.length() == 0 && encoded.length() == 0);
}

TEST(VelParamStringBasics, LengthsCopiesAndCompare) {
  const VelParamString empty, nullNarrow(static_cast<const char*>(nullptr)),
      nullWide(static_cast<const unsigned short*>(nullptr));
  for (const VelParamString* s : {&empty, &nullNarrow, &nullWide}) {
    EXPECT_TRUE(*s->c_str() == 0 && s->w_str()[0] == 0);
    EXPECT_EQ((std::vector<int>{0, 0, 0}), lengthsOf(*s));
  }
  VelParamString original;
  {
    ScopedEncoding sjis("WINDOWS31J");
    EXPECT_EQ((std::vector<int>{4, 2, 2}), lengthsOf("\x93\xFA\x96\x7B"));  // 日本
    original = u16(u"あa").c_str();
  }
  {
    // Escape sequences alone decode to no units: the length is then in bytes.
    ScopedEncoding jis("ISO-2022-JP");
    EXPECT_EQ((std::vector<int>{6, 0, 6}), lengthsOf("\x1B$B\x1B(B"));
  }
  // Copies keep both forms when the encoding changes.
  ScopedEncoding utf8("UTF-8");
  const VelParamString copy(original);
  VelParamString assigned("zzz");
  assigned = original;
  VelParamString& alias = assigned;
  assigned = alias;
  for (const VelParamString* s : {&copy, static_cast<const VelParamString*>(&assigned)}) {
    EXPECT_STREQ("\x82\xA0" "a", s->c_str());
    EXPECT_EQ(u16(u"あa"), wideOf(*s));
  }
  EXPECT_EQ("\xE3\x81\x82" "a", narrowOf(wideOf(copy)));

  // Unsigned, over one form: E3 and FF41 sort after 'a'.
  VelParamString s("abc"), kana("\xE3\x81\x82"), fullwidth(u16(u"\uFF41").c_str());
  EXPECT_TRUE(s.compare("abc") == 0 && s.compare("abcd") < 0 && s.compare("ab") > 0);
  EXPECT_TRUE(s.compare(u16(u"abc").c_str()) == 0 && s.compare(u16(u"abcd").c_str()) < 0);
  EXPECT_TRUE(kana.compare("a") > 0 && fullwidth.compare(u16(u"a").c_str()) > 0);
}

TEST(VelParamStringThreads, FourThreadsAgreeWithOne) {
  // Every conversion path: the converters name their encodings, the string
  // reads the environment, fixed before the threads start.
  ScopedEncoding chosen("EUC-JP");
  const auto convertAll = [] {
    std::string all;
    for (const char* encoding : kEncodings)
      for (const char16_t* text : {u"plain/ascii.txt", u"日本語のテキスト_かなカナ漢字", u"a😀b\uFFFD€"}) {
        VelParamString encoded, decoded;
        VelCodeConverter(Quire::kUcs2Encoding, encoding).encode(u16(text).c_str(), encoded);
        VelCodeConverter(encoding, Quire::kUcs2Encoding).decode(encoded, decoded);
        const Wide units = wideOf(decoded);
        all += std::string(units.begin(), units.end()) + encoded.c_str() + narrowOf(u16(text));
      }
    return all;
  };
  // The threads go first, so that they also fill the conversion tables at once.
  std::vector<std::string> first(4);
  std::vector<int> changed(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      first[t] = convertAll();
      for (int round = 1; round < 50; ++round) changed[t] += convertAll() != first[t];
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(std::vector<int>(4, 0), changed);
  EXPECT_EQ(std::vector<std::string>(4, convertAll()), first);
}

}  // namespace
