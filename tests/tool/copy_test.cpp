#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"

namespace {

using namespace quire_test;
namespace fs = std::filesystem;

std::set<std::string> namesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

std::string bytesOf(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

TEST(CopyTest, CopiesWholeOverAnyDestKeepingItsModeAndItsLink) {
  TempDir dir;
  const std::string source = bytesOf(3 << 20);
  writeFile(dir.file("source"), source);
  writeFile(dir.file("old"), "old contents");
  fs::permissions(dir.file("old"), fs::perms(0640));
  writeFile(dir.file("target"), "linked contents");
  fs::create_symlink("target", dir.file("link"));
  ToolOptions closed;
  closed.closedOutput = true;  // copy writes nothing there, so loses nothing
  for (const char* dest : {"new", "old", "link"}) {
    SCOPED_TRACE(dest);
    const ToolResult run = runTool({"copy", dir.file("source"), dir.file(dest)}, "", closed);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(readFile(dir.file(dest)) == source);
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(fs::status(dir.file("new")).permissions(), fs::perms(0666 & ~mask));
  EXPECT_EQ(fs::status(dir.file("old")).permissions(), fs::perms(0640));
  EXPECT_TRUE(fs::is_symlink(dir.file("link")));
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "new", "old", "target", "link"}));
}

TEST(CopyTest, AFailedCopyLeavesDestAsItWasAndNoNewFile) {
  TempDir dir;
  writeFile(dir.file("source"), bytesOf(1 << 20));
  fs::create_directory(dir.file("folder"));
  const std::string source = dir.file("source"), dest = dir.file("dest"), none = dir.file("none");
  const std::string folder = dir.file("folder");
  const struct {
    std::string source, dest;
    long long fileSizeLimit;
    std::string message;
  } cases[] = {
      {source, dest, 256 << 10, "cannot write '" + dest + "': File too large"},
      {none, dest, -1, "cannot read '" + none + "': No such file or directory"},
      {folder, dest, -1, "cannot read '" + folder + "': Is a directory"},
      {source, folder, -1, "cannot write '" + folder + "': Is a directory"},
      {source, none + "/dest", -1,
       "cannot create a new file beside '" + none + "/dest': No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    writeFile(dest, "the old DEST\n");
    ToolOptions limited;
    limited.fileSizeLimit = c.fileSizeLimit;
    const ToolResult run = runTool({"copy", c.source, c.dest}, "", limited);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "quire: " + c.message + "\n");
    EXPECT_EQ(readFile(dest), "the old DEST\n");
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "folder", "dest"}));
    EXPECT_TRUE(fs::is_empty(folder));
  }
}

TEST(CopyTest, ASignalMidwayRemovesTheNewFileAndLeavesDest) {
  TempDir dir;
  // A pipe as source holds the copy open for as long as the test wants.
  fs::create_symlink("/dev/stdin", dir.file("source"));
  const std::string kept = bytesOf(100 << 10);
  writeFile(dir.file("dest"), kept);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    ToolProcess tool({"copy", dir.file("source"), dir.file("dest")});
    tool.exchange(bytesOf(200 << 10), 0);
    // The copy is under way once its new file stands beside DEST.
    for (int tries = 0; namesIn(dir.path()).size() < 3 && tries < 3000; ++tries) ::usleep(10000);
    ASSERT_EQ(namesIn(dir.path()).size(), 3u);
    ::kill(tool.pid(), signal);
    EXPECT_EQ(tool.finish().signal, signal);
    EXPECT_TRUE(readFile(dir.file("dest")) == kept);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "dest"}));
  }
}

}  // namespace
