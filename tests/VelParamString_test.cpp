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

TEST(VelParamStringText, BadBytesBecomeReplacementsAndTheRestIsKept) {
  // Per encoding: truncated lead byte, then invalid trail byte (stray ESC for ISO-2022-JP).
  const struct { const char* encoding; const char* bytes; const char16_t* expected; } cases[] = {
      {"WINDOWS31J", "x\x82", u"x\uFFFD"}, {"WINDOWS31J", "x\x82 y", u"x\uFFFD y"},
      {"WINDOWS31J", "\x82\xA0\x80\x82\xA0", u"あ\uFFFDあ"},
      {"EUC-JP", "x\xA4", u"x\uFFFD"}, {"EUC-JP", "x\xA4" "Ay", u"x\uFFFDAy"},
      {"ISO-2022-JP", "x\x1B", u"x\uFFFD"}, {"ISO-2022-JP", "x\x1By", u"x\uFFFDy"},
      {"ISO-2022-JP", "\x1B$B$\"$", u"あ\uFFFD"}, {"ISO-2022-JP", "a\x80" "b", u"a\uFFFDb"},
      {"UTF-8", "x\xE3\x81", u"x\uFFFD\uFFFD"}, {"UTF-8", "x\xE3" "Ay", u"x\uFFFDAy"},
      {"UTF-8", "\xE0\x80\xAFx", u"\uFFFD\uFFFD\uFFFDx"},  // overlong
      {"UTF-8", "\xED\xA0\x80x", u"\uFFFD\uFFFD\uFFFDx"},  // surrogate
      {"ChineseGBK", "x\x81", u"x\uFFFD"}, {"ChineseGBK", "x\x81 y", u"x\uFFFD y"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.encoding) + " " + c.bytes);
    ScopedEncoding chosen(c.encoding);
    const VelParamString s(c.bytes);
    EXPECT_EQ(u16(c.expected), wideOf(s));
    EXPECT_STREQ(c.bytes, s.c_str());
  }
}

TEST(VelParamStringText, CharactersOutsideTheBmpAndLoneSurrogates) {
  const Wide grin = u16(u"a😀b");
  const unsigned short loneHigh[] = {'a', 0xD83D, 'b', 0}, loneLow[] = {0xDE00, 'b', 0};
  {
    ScopedEncoding chosen("UTF-8");
    EXPECT_EQ(grin, wideOf(VelParamString("a\xF0\x9F\x98\x80" "b")));
    EXPECT_EQ("a\xF0\x9F\x98\x80" "b", narrowOf(grin));
    EXPECT_STREQ("a?b", VelParamString(loneHigh).c_str());
  }
  {
    ScopedEncoding chosen("WINDOWS31J");
    const VelParamString s(grin.c_str());
    EXPECT_STREQ("a?b", s.c_str());
    EXPECT_EQ(grin, wideOf(s));  // the assigned form stays as given
    EXPECT_STREQ("?b", VelParamString(loneLow).c_str());
    EXPECT_EQ("a?b", narrowOf(u16(u"a€b")));  // no euro sign
  }
  ScopedEncoding chosen("ISO-2022-JP");
  EXPECT_EQ("\x1B$B$\"\x1B(B?\x1B$B$\"\x1B(B", narrowOf(u16(u"あ😀あ")));
}

// cstr_length, wstr_length, length.
std::vector<int> lengthsOf(const VelParamString& s) {
  return {s.cstr_length(), s.wstr_length(), s.length()};
}

TEST(VelParamStringBasics, EmptyNullAndLengths) {
  const std::vector<int> none = {0, 0, 0};
  const VelParamString empty, nullNarrow(static_cast<const char*>(nullptr)),
      nullWide(static_cast<const unsigned short*>(nullptr));
  for (const VelParamString* s : {&empty, &nullNarrow, &nullWide}) {
    EXPECT_STREQ("", s->c_str());
    EXPECT_EQ(0, s->w_str()[0]);
    EXPECT_EQ(none, lengthsOf(*s));
  }
  {
    ScopedEncoding chosen("WINDOWS31J");
    EXPECT_EQ((std::vector<int>{4, 2, 2}), lengthsOf("\x93\xFA\x96\x7B"));  // 日本
    VelParamString s(u16(u"日本a").c_str());
    EXPECT_EQ((std::vector<int>{5, 3, 3}), lengthsOf(s));
    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(none, lengthsOf(s));
  }
  // Escape sequences alone decode to no units: the length is then in bytes.
  ScopedEncoding chosen("ISO-2022-JP");
  EXPECT_EQ((std::vector<int>{6, 0, 6}), lengthsOf("\x1B$B\x1B(B"));
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
  EXPECT_EQ("\xE3\x81\x82" "a", narrowOf(wideOf(copy)));
}

TEST(VelParamStringBasics, CompareIsUnsignedOverOneForm) {
  ScopedEncoding chosen("UTF-8");
  VelParamString s("abc"), kana("\xE3\x81\x82"), fullwidth(u16(u"\uFF41").c_str());
  EXPECT_EQ(0, s.compare("abc"));
  EXPECT_LT(s.compare("abcd"), 0);
  EXPECT_GT(s.compare("ab"), 0);
  EXPECT_EQ(0, s.compare(u16(u"abc").c_str()));
  EXPECT_LT(s.compare(u16(u"abcd").c_str()), 0);
  EXPECT_GT(kana.compare("a"), 0);  // 0xE3 as an unsigned byte
  EXPECT_GT(fullwidth.compare(u16(u"a").c_str()), 0);
}

TEST(VelParamStringThreads, FourThreadsAgreeWithOne) {
  struct Sample { const char* encoding; Wide text; std::string bytes; };
  std::vector<Sample> samples;
  for (const char* encoding : kEncodings)
    for (const char16_t* text :
         {u"plain/ascii.txt", u"日本語のテキスト_かなカナ漢字", u"a😀b\uFFFD€"}) {
      ScopedEncoding chosen(encoding);
      samples.push_back({encoding, u16(text), narrowOf(u16(text))});
    }
  // Every conversion path: the converters name their encodings, the string
  // reads the environment, fixed before the threads start.
  const auto convertAll = [](const Sample& s) {
    VelParamString decoded, encoded;
    VelCodeConverter(s.encoding, Quire::kUcs2Encoding).decode(s.bytes.c_str(), decoded);
    VelCodeConverter(Quire::kUcs2Encoding, s.encoding).encode(s.text.c_str(), encoded);
    const Wide units = wideOf(decoded);
    return std::string(units.begin(), units.end()) + '|' + encoded.c_str() + '|' +
           narrowOf(s.text);
  };
  ScopedEncoding chosen("EUC-JP");
  // The threads go first, so that they also fill the conversion tables at
  // once; each checks its later rounds against its first.
  std::vector<std::vector<std::string>> first(4);
  std::vector<int> changed(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round)
        for (std::size_t i = 0; i < samples.size(); ++i) {
          const std::string result = convertAll(samples[i]);
          if (round == 0) first[t].push_back(result);
          else changed[t] += result != first[t][i];
        }
    });
  for (std::thread& t : threads) t.join();
  std::vector<std::string> alone;
  for (const Sample& s : samples) alone.push_back(convertAll(s));
  EXPECT_EQ(std::vector<int>(4, 0), changed);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(alone, first[t]) << "thread " << t;
}

}  // namespace
