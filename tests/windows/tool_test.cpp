// The quire tool on Windows, where its own tests (fork, pipes, signals, devices) cannot run: the
// commands go through cmd, as a user types them, with files for the streams.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "tests/TestSupport.h"

namespace {

using namespace quire_test;

// "quire ARGUMENTS <in >out": its exit status, a colon, then its output.
std::string quire(const TempDir& dir, const std::string& arguments,
                  const std::string& input = "") {
  writeFile(dir.file("in"), input);
  const std::string command = "\"" QUIRE_TOOL_PATH "\" " + arguments + " <\"" + dir.file("in") +
                              "\" >\"" + dir.file("out") + "\" 2>\"" + dir.file("err") + "\"";
  // cmd /c drops its line's first and last quote: give it a pair. system returns the exit status.
  const int status = std::system(("\"" + command + "\"").c_str());
  return std::to_string(status) + ":" + readFile(dir.file("out"));
}

// Its messages on Windows are the error_catalogue test's.
TEST(ToolOnWindows, GivesItsExitStatusRecodesAndCopiesBytesThatTextModeWouldChange) {
  TempDir dir;
  EXPECT_EQ(quire(dir, "error 31O4"), "2:");
  // CR LF, a lone LF and Ctrl-Z pass as they are (same_bytes.sh: every character, both ways).
  EXPECT_EQ(quire(dir, "recode --from UTF-8 --to WINDOWS31J", u8"印刷\r\nline\n\x1A" "end"),
            "0:\x88\xF3\x8D\xFC\r\nline\n\x1A" "end");
  // A new DEST, then one replaced whole by a temporary renamed over it.
  const std::string copy = "copy \"" + dir.file("in") + "\" \"" + dir.file("copy") + "\"";
  for (const char* bytes : {"first\r\n", "second\n\x1A"}) {
    EXPECT_EQ(quire(dir, copy, bytes), "0:");
    EXPECT_EQ(readFile(dir.file("copy")), bytes);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4)
      << "in, out, err, copy: no other file";
}

}  // namespace
