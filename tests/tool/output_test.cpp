#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"

namespace {

using namespace quire_test;

struct Command {
  std::vector<std::string> args;
  std::string input;
};

// Every way of making the tool write to standard output.
const Command kCommands[] = {
    {{"--help"}, ""},
    {{"--version"}, ""},
    {{"error", "3104"}, ""},
    {{"error", "--all"}, ""},
    {{"encoding"}, ""},
    {{"inspect", "abc"}, ""},
    {{"recode", "-f", "UTF-8", "-t", "EUC-JP"}, u8"日本語\n"},
    {{"recode", "--list"}, ""},
    {{"recode", "--help"}, ""},
    {{"copy", "--help"}, ""},
};

TEST(StandardOutputTest, EveryCommandFailsWithTheReasonWhenItsOutputIsLost) {
  TempDir dir;
  ASSERT_EQ(::symlink("/dev/full", dir.file("full").c_str()), 0);
  ToolOptions full, closed, broken;
  full.outputFile = dir.file("full");
  closed.closedOutput = true;
  broken.brokenOutput = true;
  const std::pair<const ToolOptions*, int> failures[] = {
      {&full, ENOSPC}, {&closed, EBADF}, {&broken, EPIPE}};
  for (const Command& c : kCommands) {
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
    const ToolResult written = runTool(c.args, c.input);
    EXPECT_EQ(written.exitStatus, 0);
    EXPECT_NE(written.out, "");
    for (const auto& failure : failures) {
      const ToolResult lost = runTool(c.args, c.input, *failure.first);
      EXPECT_EQ(lost.exitStatus, 1);
      EXPECT_EQ(lost.err, outputFailure(failure.second));
    }
  }
}

TEST(StandardOutputTest, RecodeSaysOnceThatItsStreamIsLost) {
  // Far more than a pipe holds, so that the tool meets the loss mid-stream.
  ToolOptions broken;
  broken.brokenOutput = true;
  const ToolResult run = runTool({"recode", "-f", "UTF-8"}, std::string(8 << 20, 'a'), broken);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, outputFailure(EPIPE));
}

}  // namespace
