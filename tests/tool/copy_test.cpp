#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"

namespace {

using namespace quire_test;

std::set<std::string> namesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

mode_t modeOf(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
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
  ::chmod(dir.file("old").c_str(), 0640);
  writeFile(dir.file("target"), "linked contents");
  ASSERT_EQ(::symlink("target", dir.file("link").c_str()), 0);

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
  EXPECT_EQ(modeOf(dir.file("new")), 0666 & ~mask);
  EXPECT_EQ(modeOf(dir.file("old")), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link")));
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "new", "old", "target", "link"}));
}

TEST(CopyTest, AFailedCopyLeavesDestAsItWasAndNoNewFile) {
  TempDir dir;
  writeFile(dir.file("source"), bytesOf(1 << 20));
  std::filesystem::create_directory(dir.file("folder"));
  const std::string dest = dir.file("dest");
  const std::string kept = "the old DEST\n";
  struct Case {
    std::string source;
    std::string dest;
    long long fileSizeLimit;
    std::string message;
  };
  const Case cases[] = {
      {dir.file("source"), dest, 256 << 10, "quire: cannot write '" + dest + "': File too large\n"},
      {dir.file("none"), dest, -1,
       "quire: cannot read '" + dir.file("none") + "': No such file or directory\n"},
      {dir.file("folder"), dest, -1,
       "quire: cannot read '" + dir.file("folder") + "': Is a directory\n"},
      {dir.file("source"), dir.file("folder"), -1,
       "quire: cannot write '" + dir.file("folder") + "': Is a directory\n"},
      {dir.file("source"), dir.file("none/dest"), -1,
       "quire: cannot create a new file beside '" + dir.file("none/dest") +
           "': No such file or directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    writeFile(dest, kept);
    ToolOptions limited;
    limited.fileSizeLimit = c.fileSizeLimit;
    const ToolResult run = runTool({"copy", c.source, c.dest}, "", limited);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(readFile(dest), kept);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "folder", "dest"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder")));
  }
}

TEST(CopyTest, ASignalMidwayRemovesTheNewFileAndLeavesDest) {
  TempDir dir;
  // A FIFO source holds the copy open for as long as the test wants.
  ASSERT_EQ(::mkfifo(dir.file("source").c_str(), 0600), 0);
  const std::string kept = bytesOf(100 << 10);
  writeFile(dir.file("dest"), kept);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    ToolProcess tool({"copy", dir.file("source"), dir.file("dest")});
    const int writer = ::open(dir.file("source").c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    const std::string half = bytesOf(200 << 10);
    ASSERT_EQ(::write(writer, half.data(), half.size()), static_cast<ssize_t>(half.size()));
    // The copy is under way once its new file stands beside DEST.
    for (int tries = 0; namesIn(dir.path()).size() < 3 && tries < 3000; ++tries) ::usleep(10000);
    ASSERT_EQ(namesIn(dir.path()).size(), 3u);
    ::kill(tool.pid(), signal);
    const ToolResult run = tool.finish();
    ::close(writer);
    EXPECT_EQ(run.signal, signal);
    EXPECT_TRUE(readFile(dir.file("dest")) == kept);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "dest"}));
  }
}

}  // namespace
