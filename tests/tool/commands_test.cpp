#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"

namespace {

using namespace quire_test;

TEST(QuireToolTest, EachCommandLineGivesItsOutputOrOneLineAndStatusTwo) {
  ScopedEncoding utf8("UTF-8");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--version"}, "quire (quirecommon) " QUIRE_VERSION "\n"},
      {{"error", "3104"},
       u8"3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n印刷が許可されていません\n"},
      {{"error", "42"}, u8"42\n-\nOther errors\nその他のエラーです\n"
                        "(42 is not an error code: these are the default messages)\n"},
      {{"inspect", u8"aé😀"}, "narrow: 61 C3 A9 F0 9F 98 80\nucs2:   0061 00E9 D83D DE00\n"
                              "cstr_length: 7\nwstr_length: 4\nlength: 4\n"},
      // Wrong command lines, with no output.
      {{}, ""}, {{"nothing"}, ""}, {{"error"}, ""}, {{"error", "31O4"}, ""}, {{"inspect"}, ""},
      {{"encoding", "x"}, ""}, {{"copy", "only-source"}, ""}, {{"recode", "-f"}, ""},
      {{"recode", "-f", "latin1"}, ""}, {{"recode", "--to"}, ""}, {{"recode", "--from-utf8"}, ""},
      {{"recode", "-x"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first.empty() ? "" : c.first.back());
    const ToolResult run = runTool(c.first);
    EXPECT_EQ(run.out, c.second);
    EXPECT_EQ(run.exitStatus, c.second.empty() ? 2 : 0);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), c.second.empty() ? 1 : 0) << run.err;
  }
  const ToolResult all = runTool({"error", "--all"});
  EXPECT_EQ(all.out.rfind(" CODE  NAME", 0), 0u);
  EXPECT_NE(all.out.find(u8" 3104  PRINTING_IS_NOT_ALLOWED"), std::string::npos);
}

TEST(QuireToolTest, EncodingNamesTheChoiceAndTheVariableThatMadeIt) {
  const char* const cases[][3] = {
      {"EUC-JP", "ja_JP.UTF-8", "EUC-JP (VEL30_MBCS_ENCODING)\n"},
      {"utf-8", nullptr, "WINDOWS31J (VEL30_MBCS_ENCODING)\n"},
      {nullptr, "ja_JP.UTF-8", "UTF-8 (LANG)\n"},
      {nullptr, "ja_JP.eucJP", "WINDOWS31J (default)\n"},
  };
  for (const auto& c : cases) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c[0]);
    ScopedEnv lang("LANG", c[1]);
    EXPECT_EQ(runTool({"encoding"}).out, c[2]);
  }
}

}  // namespace
