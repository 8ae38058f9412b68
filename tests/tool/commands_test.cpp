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

TEST(QuireToolTest, EachCommandPrintsItsOutputOrSaysWhyItWasLost) {
  ScopedEncoding utf8("UTF-8");
  TempDir dir;
  std::filesystem::create_symlink("/dev/full", dir.file("full"));
  ToolOptions full, closed, broken;
  full.outputFile = dir.file("full");
  closed.closedOutput = true;
  broken.brokenOutput = true;
  const std::pair<const ToolOptions*, int> failures[] = {
      {&full, ENOSPC}, {&closed, EBADF}, {&broken, EPIPE}};
  // Every way of making the tool write, and its output ("..." ends a start of
  // it). recode's input is far more than a pipe holds, so that it meets the
  // loss mid-stream.
  const struct {
    std::vector<std::string> args;
    std::string input, out;
  } cases[] = {
      {{"--version"}, "", "quire (quirecommon) " QUIRE_VERSION "\n"},
      {{"error", "3104"}, "",
       u8"3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n印刷が許可されていません\n"},
      {{"error", "42"}, "", u8"42\n-\nOther errors\nその他のエラーです\n"
                            "(42 is not an error code: these are the default messages)\n"},
      {{"inspect", u8"aé😀"}, "", "narrow: 61 C3 A9 F0 9F 98 80\nucs2:   0061 00E9 D83D DE00\n"
                                  "cstr_length: 7\nwstr_length: 4\nlength: 4\n"},
      {{"encoding"}, "", "UTF-8 (VEL30_MBCS_ENCODING)\n"},
      {{"error", "--all"}, "", " CODE  NAME..."},
      {{"--help"}, "", "usage: quire COMMAND..."},
      {{"recode", "--help"}, "", "usage: quire recode..."},
      {{"copy", "--help"}, "", "usage: quire copy SOURCE DEST\n..."},
      {{"recode", "--list"}, "", "WINDOWS31J\nEUC-JP\nISO-2022-JP\nUTF-8\nChineseGBK\n"},
      {{"recode", "-t", "EUC-JP"}, u8"日本語\n" + std::string(8 << 20, 'a'), "\xC6\xFC\xCB\xDC\xB8\xEC\naaa..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const ToolResult run = runTool(c.args, c.input);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    const std::size_t end = c.out.find("...");
    EXPECT_EQ(run.out.substr(0, end), c.out.substr(0, end));
    for (const auto& failure : failures) {
      const ToolResult lost = runTool(c.args, c.input, *failure.first);
      EXPECT_EQ(lost.exitStatus, 1);
      EXPECT_EQ(lost.err, std::string("quire: cannot write standard output: ") +
                              std::strerror(failure.second) + "\n");
    }
  }
  EXPECT_NE(runTool({"error", "--all"}).out.find(u8" 3104  PRINTING_IS_NOT_ALLOWED"),
            std::string::npos);
  // The encoding the library chose, and the variable that made its choice.
  const char* const choices[][3] = {
      {"EUC-JP", "ja_JP.UTF-8", "EUC-JP (VEL30_MBCS_ENCODING)\n"},
      {"utf-8", nullptr, "WINDOWS31J (VEL30_MBCS_ENCODING)\n"},
      {nullptr, "ja_JP.UTF-8", "UTF-8 (LANG)\n"},
      {nullptr, "ja_JP.eucJP", "WINDOWS31J (default)\n"},
  };
  for (const auto& c : choices) {
    ScopedEnv vel30("VEL30_MBCS_ENCODING", c[0]), lang("LANG", c[1]);
    EXPECT_EQ(runTool({"encoding"}).out, c[2]);
  }
}

TEST(QuireToolTest, AWrongCommandLineGivesOneLineAndStatusTwo) {
  const std::vector<std::vector<std::string>> wrong = {
      {},          {"nothing"},       {"error"},       {"error", "31O4"},
      {"inspect"}, {"encoding", "x"}, {"copy", "only-source"}, {"recode", "-f"},
      {"recode", "-f", "latin1"}, {"recode", "--to"}, {"recode", "--from-utf8"}, {"recode", "-x"},
  };
  for (const auto& args : wrong) {
    const ToolResult run = runTool(args);
    EXPECT_EQ(run.exitStatus, 2) << (args.empty() ? "" : args.back());
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

}  // namespace
