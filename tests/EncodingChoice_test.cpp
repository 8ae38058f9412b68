#include "text/EncodingChoice.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/TestSupport.h"

namespace {

using quire_test::ScopedEnv;
using Source = Quire::EncodingSource;
constexpr Source kVel30 = Source::kVel30Variable, kLang = Source::kLangVariable,
                 kNone = Source::kDefault;

TEST(EncodingChoice, FollowsTheVariablesExactlyAndTellsWhichDecided) {
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
  for (const auto& c : cases) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c.vel30), lang("LANG", c.lang);
    SCOPED_TRACE(std::string(c.vel30 ? c.vel30 : "-") + " / " + (c.lang ? c.lang : "-"));
    Source source = c.source == kNone ? kLang : kNone;  // so that a missing store shows
    EXPECT_STREQ(c.expected, Quire::getMBCSEncoding(&source));
    EXPECT_EQ(c.source, source);
  }
}

}  // namespace
