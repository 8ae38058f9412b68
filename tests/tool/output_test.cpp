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
