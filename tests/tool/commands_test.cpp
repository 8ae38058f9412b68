#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
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

TEST(StandardOutputTest, EveryCommandFailsWithTheReasonWhenItsOutputIsLost) {
  // Every way of making the tool write to standard output; recode's input
  // is far more than a pipe holds, so that it meets the loss mid-stream.
  const std::pair<std::vector<std::string>, std::string> commands[] = {
      {{"--help"}, ""},          {{"--version"}, ""},          {{"error", "3104"}, ""},
      {{"error", "--all"}, ""},  {{"encoding"}, ""},           {{"inspect", "abc"}, ""},
      {{"recode", "--list"}, ""}, {{"recode", "--help"}, ""},  {{"copy", "--help"}, ""},
      {{"recode", "-f", "UTF-8", "-t", "EUC-JP"}, std::string(8 << 20, 'a') + u8"日本語\n"},
  };
  TempDir dir;
  std::filesystem::create_symlink("/dev/full", dir.file("full"));
  ToolOptions full, closed, broken;
  full.outputFile = dir.file("full");
  closed.closedOutput = true;
  broken.brokenOutput = true;
  const std::pair<const ToolOptions*, int> failures[] = {
      {&full, ENOSPC}, {&closed, EBADF}, {&broken, EPIPE}};
  for (const auto& c : commands) {
    SCOPED_TRACE(c.first[0] + " " + (c.first.size() > 1 ? c.first[1] : ""));
    const ToolResult written = runTool(c.first, c.second);
    EXPECT_EQ(written.exitStatus, 0);
    EXPECT_NE(written.out, "");
    for (const auto& failure : failures) {
      const ToolResult lost = runTool(c.first, c.second, *failure.first);
      EXPECT_EQ(lost.exitStatus, 1);
      EXPECT_EQ(lost.err, std::string("quire: cannot write standard output: ") +
                               std::strerror(failure.second) + "\n");
    }
  }
}

}  // namespace
