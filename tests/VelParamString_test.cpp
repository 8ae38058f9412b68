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

std::string narrowIn(const char* encoding, const Wide& text) {
  ScopedEncoding chosen(encoding);
  return VelParamString(text.c_str()).c_str();
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
    EXPECT_STREQ(a[e], VelParamString(u16(u"あ").c_str()).c_str());
    for (const Wide& text : {mixed, longText}) {
      const VelParamString fromWide(text.c_str());
      EXPECT_GT(fromWide.cstr_length(), fromWide.wstr_length());
      const VelParamString back(fromWide.c_str());
      EXPECT_EQ(text, wideOf(back));
      EXPECT_STREQ(fromWide.c_str(), back.c_str());
    }
    distinct.insert(VelParamString(mixed.c_str()).c_str());
  }
  EXPECT_EQ(5u, distinct.size());  // round trips alone would pass with one encoding for all
}

TEST(VelParamStringText, BadBytesBecomeReplacementsAndTheRestIsKept) {
  struct Case {
    const char* encoding;
    const char* bytes;
    const char16_t* expected;
  } const cases[] = {
      {"WINDOWS31J", "x\x82", u"x\uFFFD"},  // truncated lead byte
      {"WINDOWS31J", "x\x82 y", u"x\uFFFD y"},  // invalid trail byte
      {"WINDOWS31J", "\x82\xA0\x80\x82\xA0", u"あ\uFFFDあ"},
      {"EUC-JP", "x\xA4", u"x\uFFFD"},
      {"EUC-JP", "x\xA4" "Ay", u"x\uFFFDAy"},
      {"ISO-2022-JP", "x\x1B", u"x\uFFFD"},  // stray ESC
      {"ISO-2022-JP", "x\x1By", u"x\uFFFDy"},
      {"ISO-2022-JP", "\x1B$B$\"$", u"あ\uFFFD"},
      {"ISO-2022-JP", "a\x80" "b", u"a\uFFFDb"},
      {"UTF-8", "x\xE3\x81", u"x\uFFFD\uFFFD"},
      {"UTF-8", "x\xE3" "Ay", u"x\uFFFDAy"},
      {"UTF-8", "\xE0\x80\xAFx", u"\uFFFD\uFFFD\uFFFDx"},  // overlong
      {"UTF-8", "\xED\xA0\x80x", u"\uFFFD\uFFFD\uFFFDx"},  // surrogate
      {"ChineseGBK", "x\x81", u"x\uFFFD"},
      {"ChineseGBK", "x\x81 y", u"x\uFFFD y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.encoding) + " " + c.bytes);
    ScopedEncoding chosen(c.encoding);
    const VelParamString s(c.bytes);
    EXPECT_EQ(u16(c.expected), wideOf(s));
    EXPECT_STREQ(c.bytes, s.c_str());
  }
}

TEST(VelParamStringText, CharactersOutsideTheBmpAndLoneSurrogates) {
  const Wide grin = u16(u"a😀b");
  const unsigned short loneHigh[] = {'a', 0xD83D, 'b', 0};
  const unsigned short loneLow[] = {0xDE00, 'b', 0};
  {
    ScopedEncoding chosen("UTF-8");
    EXPECT_EQ(grin, wideOf(VelParamString("a\xF0\x9F\x98\x80" "b")));
    EXPECT_STREQ("a\xF0\x9F\x98\x80" "b", VelParamString(grin.c_str()).c_str());
    EXPECT_STREQ("a?b", VelParamString(loneHigh).c_str());
  }
  {
    ScopedEncoding chosen("WINDOWS31J");
    const VelParamString s(grin.c_str());
    EXPECT_STREQ("a?b", s.c_str());
    EXPECT_EQ(grin, wideOf(s));  // the assigned form stays as given
    EXPECT_STREQ("?b", VelParamString(loneLow).c_str());
    EXPECT_STREQ("a?b", VelParamString(u16(u"a€b").c_str()).c_str());  // no euro sign
  }
  ScopedEncoding chosen("ISO-2022-JP");
  EXPECT_STREQ("\x1B$B$\"\x1B(B?\x1B$B$\"\x1B(B",
               VelParamString(u16(u"あ😀あ").c_str()).c_str());
}

TEST(VelParamStringBasics, EmptyNullAndLengths) {
  const VelParamString empty;
  const VelParamString nullNarrow(static_cast<const char*>(nullptr));
  const VelParamString nullWide(static_cast<const unsigned short*>(nullptr));
  for (const VelParamString* s : {&empty, &nullNarrow, &nullWide}) {
    EXPECT_STREQ("", s->c_str());
    EXPECT_EQ(0, s->w_str()[0]);
    EXPECT_EQ(0, s->length() + s->cstr_length() + s->wstr_length());
  }
  {
    ScopedEncoding chosen("WINDOWS31J");
    const VelParamString nihon("\x93\xFA\x96\x7B");  // 日本
    EXPECT_EQ(4, nihon.cstr_length());
    EXPECT_EQ(2, nihon.wstr_length());
    EXPECT_EQ(2, nihon.length());
    VelParamString s(u16(u"日本a").c_str());
    EXPECT_EQ(5, s.cstr_length());
    EXPECT_EQ(3, s.length());
    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(0, s.length());
  }
  // Escape sequences alone decode to no units: the length is then in bytes.
  ScopedEncoding chosen("ISO-2022-JP");
  const VelParamString shifts("\x1B$B\x1B(B");
  EXPECT_EQ(0, shifts.wstr_length());
  EXPECT_EQ(6, shifts.length());
}

TEST(VelParamStringBasics, CopiesKeepTheirFormsWhenTheEncodingChanges) {
  VelParamString original;
  {
    ScopedEncoding sjis("WINDOWS31J");
    original = u16(u"あa").c_str();
  }
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
  EXPECT_STREQ("\xE3\x81\x82" "a", VelParamString(copy.w_str()).c_str());
}

TEST(VelParamStringBasics, CompareIsUnsignedOverOneForm) {
  ScopedEncoding chosen("UTF-8");
  VelParamString s("abc");
  EXPECT_EQ(0, s.compare("abc"));
  EXPECT_LT(s.compare("abcd"), 0);
  EXPECT_GT(s.compare("ab"), 0);
  EXPECT_EQ(0, s.compare(u16(u"abc").c_str()));
  EXPECT_LT(s.compare(u16(u"abcd").c_str()), 0);
  VelParamString kana("\xE3\x81\x82");
  EXPECT_GT(kana.compare("a"), 0);  // 0xE3 as an unsigned byte
  VelParamString fullwidth(u16(u"\uFF41").c_str());
  EXPECT_GT(fullwidth.compare(u16(u"a").c_str()), 0);
}

struct Sample {
  const char* encoding;
  Wide text;
  std::string bytes;  // text in encoding
};

// One text through the converters (which name their encodings) and through
// the string (which reads the fixed environment): every conversion path.
std::string convertAll(const Sample& s) {
  VelParamString decoded;
  VelCodeConverter(s.encoding, Quire::kUcs2Encoding)
      .decode(VelParamString(s.bytes.c_str()), decoded);
  VelParamString encoded;
  VelCodeConverter(Quire::kUcs2Encoding, s.encoding)
      .encode(VelParamString(s.text.c_str()), encoded);
  const Wide units = wideOf(decoded);
  return std::string(units.begin(), units.end()) + '|' + encoded.c_str() + '|' +
         VelParamString(s.text.c_str()).c_str();
}

TEST(VelParamStringThreads, FourThreadsAgreeWithOne) {
  std::vector<Sample> samples;
  for (const char* encoding : kEncodings)
    for (const char16_t* text : {u"plain/ascii.txt", u"日本語のテキスト_かなカナ漢字",
                                 u"a😀b\uFFFD€"})
      samples.push_back({encoding, u16(text), narrowIn(encoding, u16(text))});
  ScopedEncoding chosen("EUC-JP");  // fixed before the threads start
  // The threads go first, so that they also fill the conversion tables at
  // once; each checks its later rounds against its first.
  std::vector<std::vector<std::string>> first(4);
  std::vector<int> changed(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round)
        for (std::size_t i = 0; i < samples.size(); ++i) {
          const std::string result = convertAll(samples[i]);
          if (round == 0) first[t].push_back(result);
          else changed[t] += result != first[t][i];
        }
    });
  }
  for (std::thread& t : threads) t.join();
  std::vector<std::string> alone;
  for (const Sample& s : samples) alone.push_back(convertAll(s));
  EXPECT_EQ(std::vector<int>(4, 0), changed);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(alone, first[t]) << "thread " << t;
}

}  // namespace
