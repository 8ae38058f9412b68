#include "text/EncodingChoice.h"

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

using quire_test::ScopedEnv;

struct Case {
  const char* vel30;  // null: unset
  const char* lang;   // null: unset
  const char* expected;
};

TEST(EncodingChoice, FollowsTheVariablesExactly) {
  const Case cases[] = {
      {nullptr, nullptr, "WINDOWS31J"},
      {"EUC-JP", "ja_JP.UTF-8", "EUC-JP"},
      {"utf-8", "ja_JP.UTF-8", "WINDOWS31J"},  // case matters; LANG not read
#if !defined(_WIN32)  // Windows' C runtime removes a variable set to nothing
      {"", "ja_JP.UTF-8", "WINDOWS31J"},       // empty still counts as set
#endif
      {"UTF-8", nullptr, "UTF-8"},
      {"ISO-2022-JP", nullptr, "ISO-2022-JP"},
      {"ChineseGBK", nullptr, "ChineseGBK"},
      {"WINDOWS31J", "zh_CN.ChineseGBK", "WINDOWS31J"},
      {" UTF-8", nullptr, "WINDOWS31J"},
      {nullptr, "en_US", "WINDOWS31J"},
      {nullptr, "ja_JP.UTF-8", "UTF-8"},
      {nullptr, "UTF-8", "UTF-8"},
      {nullptr, ".UTF-8", "UTF-8"},
      {nullptr, "zh_CN.ChineseGBK", "ChineseGBK"},
      {nullptr, "ja_JP.EUC-JP.UTF-8", "EUC-JP"},
      {nullptr, "ja_JP.eucJP", "WINDOWS31J"},
      {nullptr, "ja_JP.UTF-8@euro", "WINDOWS31J"},  // only full stops cut
      {nullptr, "", "WINDOWS31J"},
      {nullptr, "...", "WINDOWS31J"},
      {nullptr, "ja_JP.ISO-2022-JP.", "ISO-2022-JP"},
      {nullptr, "UTF-8.", "UTF-8"},
  };
  for (const Case& c : cases) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c.vel30);
    ScopedEnv lang("LANG", c.lang);
    SCOPED_TRACE(std::string("VEL30_MBCS_ENCODING=") + (c.vel30 ? c.vel30 : "(unset)") +
                 " LANG=" + (c.lang ? c.lang : "(unset)"));
    EXPECT_STREQ(c.expected, Quire::getMBCSEncoding());
  }
}

TEST(EncodingChoice, TellsWhichVariableDecided) {
  Quire::EncodingSource source;
  {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", "bogus");
    ScopedEnv lang("LANG", "ja_JP.UTF-8");
    EXPECT_STREQ("WINDOWS31J", Quire::getMBCSEncoding(&source));
    EXPECT_EQ(Quire::EncodingSource::kVel30Variable, source);
  }
  {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", nullptr);
    ScopedEnv lang("LANG", "ja_JP.UTF-8");
    EXPECT_STREQ("UTF-8", Quire::getMBCSEncoding(&source));
    EXPECT_EQ(Quire::EncodingSource::kLangVariable, source);
  }
  {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", nullptr);
    ScopedEnv lang("LANG", "C.UTF8");
    EXPECT_STREQ("WINDOWS31J", Quire::getMBCSEncoding(&source));
    EXPECT_EQ(Quire::EncodingSource::kDefault, source);
  }
}

}  // namespace
