#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"

namespace {

using namespace quire_test;

TEST(ErrorCommandTest, PrintsFourLinesForACodeAndTheCatalogueForAll) {
  ScopedEncoding utf8("UTF-8");
  const ToolResult one = runTool({"error", "3104"});
  EXPECT_EQ(one.exitStatus, 0);
  EXPECT_EQ(one.out, u8"3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n"
                     u8"印刷が許可されていません\n");
  const ToolResult other = runTool({"error", "42"});
  EXPECT_EQ(other.out, u8"42\n-\nOther errors\nその他のエラーです\n"
                       "(42 is not an error code: these are the default messages)\n");
  const ToolResult all = runTool({"error", "--all"});
  EXPECT_EQ(all.exitStatus, 0);
  EXPECT_EQ(all.out.rfind(" CODE  NAME", 0), 0u);
  EXPECT_NE(all.out.find(u8" 3104  PRINTING_IS_NOT_ALLOWED"), std::string::npos);
}

TEST(EncodingCommandTest, NamesTheChoiceAndTheVariableThatMadeIt) {
  struct Case {
    const char* vel30;
    const char* lang;
    const char* out;
  };
  const Case cases[] = {
      {"EUC-JP", "ja_JP.UTF-8", "EUC-JP (VEL30_MBCS_ENCODING)\n"},
      {"utf-8", nullptr, "WINDOWS31J (VEL30_MBCS_ENCODING)\n"},
      {nullptr, "ja_JP.UTF-8", "UTF-8 (LANG)\n"},
      {nullptr, "ja_JP.eucJP", "WINDOWS31J (default)\n"},
  };
  for (const Case& c : cases) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c.vel30);
    ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(runTool({"encoding"}).out, c.out);
  }
}

TEST(InspectCommandTest, ShowsBothFormsAndTheLengths) {
  ScopedEncoding utf8("UTF-8");
  EXPECT_EQ(runTool({"inspect", u8"aé😀"}).out,
            "narrow: 61 C3 A9 F0 9F 98 80\nucs2:   0061 00E9 D83D DE00\n"
            "cstr_length: 7\nwstr_length: 4\nlength: 4\n");
}

TEST(QuireToolTest, VersionIsTheLibrarysAndAWrongCommandLineGivesOneLineAndStatusTwo) {
  const ToolResult version = runTool({"--version"});
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.out, "quire (quirecommon) " QUIRE_VERSION "\n");

  const std::vector<std::vector<std::string>> wrong = {
      {},         {"nothing"},          {"error"},    {"error", "31O4"}, {"inspect"},
      {"encoding", "x"}, {"copy", "only-source"}, {"recode", "-f"},
  };
  for (const auto& args : wrong) {
    const ToolResult run = runTool(args);
    EXPECT_EQ(run.exitStatus, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

}  // namespace
