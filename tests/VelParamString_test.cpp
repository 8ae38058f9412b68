#include "quire/VelParamString.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <string>
#include <vector>

#include "tests/TestSupport.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace {

using Quire::VelCodeConverter;
using Quire::VelParamString;
using namespace quire_test;
using Source = Quire::EncodingSource;
constexpr Source kVel30 = Source::kVel30Variable, kLang = Source::kLangVariable,
                 kNone = Source::kDefault;

Wide wideOf(const VelParamString& s) { return Wide(s.w_str()); }
std::vector<int> lengthsOf(const VelParamString& s) {
  return {s.cstr_length(), s.wstr_length(), s.length()};
}

// The conversions are held to iconv in ConvLib_test; here, the encoding of each assignment.
TEST(EncodingChoice, FollowsTheVariablesExactlyAndEachAssignmentConvertsInIt) {
  // VEL30_MBCS_ENCODING and LANG (null: unset), the choice, what decided it.
  const struct { const char* vel30; const char* lang; const char* expected; Source source; }
      cases[] = {
          {nullptr, nullptr, "WINDOWS31J", kNone}, {"EUC-JP", "ja_JP.UTF-8", "EUC-JP", kVel30},
          {"utf-8", "ja_JP.UTF-8", "WINDOWS31J", kVel30},  // case matters; LANG not read
#if !defined(_WIN32)  // Windows' C runtime removes a variable set to nothing
          {"", "ja_JP.UTF-8", "WINDOWS31J", kVel30},  // empty still counts as set
#endif
          {" UTF-8", nullptr, "WINDOWS31J", kVel30}, {nullptr, "en_US", "WINDOWS31J", kNone},
          {nullptr, "ja_JP.UTF-8", "UTF-8", kLang}, {nullptr, "UTF-8", "UTF-8", kLang},
          {nullptr, ".UTF-8", "UTF-8", kLang}, {nullptr, "...", "WINDOWS31J", kNone},
          {nullptr, "zh_CN.ChineseGBK", "ChineseGBK", kLang},
          {nullptr, "ja_JP.EUC-JP.UTF-8", "EUC-JP", kLang},  // the first segment that names one
          {nullptr, "ja_JP.eucJP", "WINDOWS31J", kNone},
          {nullptr, "ja_JP.UTF-8@euro", "WINDOWS31J", kNone},  // only full stops cut
          {nullptr, "ja_JP.ISO-2022-JP.", "ISO-2022-JP", kLang},
      };
  // 日 in each encoding, no two alike.
  const std::map<std::string, std::string> sun = {
      {"WINDOWS31J", "\x93\xFA"}, {"EUC-JP", "\xC6\xFC"}, {"ISO-2022-JP", "\x1B$BF|\x1B(B"},
      {"UTF-8", "\xE6\x97\xA5"}, {"ChineseGBK", "\xC8\xD5"}};
  for (const auto& c : cases) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c.vel30), lang("LANG", c.lang);
    SCOPED_TRACE(std::string(c.vel30 ? c.vel30 : "-") + " / " + (c.lang ? c.lang : "-"));
    Source source = c.source == kNone ? kLang : kNone;  // so that a missing store shows
    EXPECT_STREQ(c.expected, Quire::getMBCSEncoding(&source));
    EXPECT_EQ(c.source, source);
    EXPECT_EQ(u16(u"日"), wideOf(VelParamString(sun.at(c.expected).c_str())));
    EXPECT_STREQ(sun.at(c.expected).c_str(), VelParamString(u16(u"日").c_str()).c_str());
  }
}

// Escape sequences alone decode to no units: the length is then in bytes.
TEST(VelParamStringTest, LengthsCountBytesAndUnits) {
  const VelParamString empty, nullNarrow(static_cast<const char*>(nullptr)),
      nullWide(static_cast<const unsigned short*>(nullptr));
  for (const VelParamString* s : {&empty, &nullNarrow, &nullWide})
    EXPECT_EQ((std::vector<int>{0, 0, 0}), lengthsOf(*s));
  ScopedEncoding jis("ISO-2022-JP");
  EXPECT_EQ((std::vector<int>{6, 0, 6}), lengthsOf("\x1B$B\x1B(B"));
}

// Copies keep both forms under another encoding, U+FFFD for each byte that did not decode
// (80, a lead byte at the end).
TEST(VelParamStringTest, CopiesConvertNothing) {
  ScopedEncoding sjis("WINDOWS31J");
  const VelParamString bytes("x\x82\xA0\x80\x82");
  ScopedEncoding jis("ISO-2022-JP");
  const VelParamString copy(bytes);
  VelParamString assigned("zzz");
  assigned = copy;
  EXPECT_STREQ("x\x82\xA0\x80\x82", assigned.c_str());
  EXPECT_EQ(u16(u"xあ\uFFFD\uFFFD"), wideOf(assigned));
}

// Over one form, bytes unsigned: E3 sorts after 'a'.
TEST(VelParamStringTest, ComparesOneFormAtATime) {
  VelParamString s("abc"), kana("\xE3\x81\x82");
  EXPECT_TRUE(s.compare("abc") == 0 && s.compare("abcd") < 0 && kana.compare("a") > 0);
  EXPECT_TRUE(s.compare(u16(u"abc").c_str()) == 0 && s.compare(u16(u"abcd").c_str()) < 0);
}

// An unknown name in either place: the buffer zero-filled to its capacity, the string emptied.

TEST(VelCodeConverterTest, AnUnknownNameGivesEmptyText) {
  const char* const unknown[] = {"bogus", "utf-8", "WINDOWS-31J", "GBK", "UTF-16LE", "", nullptr};
  for (const char* name : unknown) {
    SCOPED_TRACE(name != nullptr ? name : "null");
    std::vector<unsigned short> units(4, 0xA5A5);  // "あ" with room for three units
    VelCodeConverter("EUC-JP", name).decodeBuffer("\xA4\xA2", 2, units.data(), 6);
    EXPECT_EQ(std::vector<unsigned short>({0, 0, 0, 0xA5A5}), units);
    VelParamString decoded("old"), encoded("old");
    VelCodeConverter(name, Quire::kUcs2Encoding).decode(VelParamString("abc"), decoded);
    VelCodeConverter(Quire::kUcs2Encoding, name).encode(VelParamString("abc"), encoded);
    EXPECT_TRUE(decoded.length() == 0 && encoded.length() == 0);
  }
}

// Every conversion path, fifty times: the converters name their encodings, the strings that
// they fill read the environment, which no thread changes.
TEST(VelParamStringTest, FourThreadsAgreeWithOne) {
  const VelParamString text(u16(u"plain/ascii 日本語のテキスト_かなカナ漢字 a😀b\uFFFD€").c_str());
  const auto convertAll = [&text] {
    std::string all;
    for (int round = 0; round < 50; ++round)
      for (const char* encoding : kEncodings) {
        VelParamString encoded, decoded;
        VelCodeConverter(Quire::kUcs2Encoding, encoding).encode(text, encoded);
        VelCodeConverter(encoding, Quire::kUcs2Encoding).decode(encoded, decoded);
        all += std::string(encoded.c_str()) + decoded.c_str();
      }
    return all;
  };
  std::future<std::string> threads[4];
  for (auto& thread : threads) thread = std::async(std::launch::async, convertAll);
  const std::string expected = convertAll();
  for (auto& thread : threads) EXPECT_EQ(expected, thread.get());
}

}  // namespace
