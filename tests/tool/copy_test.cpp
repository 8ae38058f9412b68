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

TEST(CopyTest, CopiesWholeOrSaysWhyLeavingDestAsItWasAndNoNewFile) {
  TempDir dir;
  const std::string bytes = bytesOf(3 << 20), kept = "the old DEST\n";
  const std::string source = dir.file("source"), dest = dir.file("dest"), none = dir.file("none");
  const std::string folder = dir.file("folder"), link = dir.file("link");
  writeFile(source, bytes);
  writeFile(dest, kept);
  fs::permissions(dest, fs::perms(0640));
  fs::create_directory(folder);
  writeFile(dir.file("target"), "linked contents");
  fs::create_symlink("target", link);
  const struct {
    std::string source, dest;
    long long fileSizeLimit;
    std::string message;  // empty for a copy that succeeds
  } cases[] = {
      {source, dest, 256 << 10, "cannot write '" + dest + "': File too large"},
      {none, dest, -1, "cannot read '" + none + "': No such file or directory"},
      {folder, dest, -1, "cannot read '" + folder + "': Is a directory"},
      {source, folder, -1, "cannot write '" + folder + "': Is a directory"},
      {source, none + "/dest", -1,
       "cannot create a new file beside '" + none + "/dest': No such file or directory"},
      {source, dir.file("new"), -1, ""}, {source, link, -1, ""}, {source, dest, -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dest + " " + c.message);
    ToolOptions options;
    options.fileSizeLimit = c.fileSizeLimit;
    options.closedOutput = true;  // copy writes nothing there, so loses nothing
    const ToolResult run = runTool({"copy", c.source, c.dest}, "", options);
    EXPECT_EQ(run.exitStatus, c.message.empty() ? 0 : 1);
    EXPECT_EQ(run.err, c.message.empty() ? "" : "quire: " + c.message + "\n");
    EXPECT_TRUE(readFile(c.message.empty() ? c.dest : dest) == (c.message.empty() ? bytes : kept));
    EXPECT_TRUE(fs::is_empty(folder));
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(fs::status(dir.file("new")).permissions(), fs::perms(0666 & ~mask));
  EXPECT_EQ(fs::status(dest).permissions(), fs::perms(0640));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(namesIn(dir.path()),
            (std::set<std::string>{"source", "dest", "folder", "target", "link", "new"}));
}

TEST(CopyTest, ASignalMidwayRemovesTheNewFileAndLeavesDest) {
  TempDir dir;
  // A pipe as source holds the copy open for as long as the test wants.
  fs::create_symlink("/dev/stdin", dir.file("source"));
  const std::string kept = bytesOf(100 << 10);
  writeFile(dir.file("dest"), kept);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    ToolOptions killing;
    killing.meanwhile = [&](pid_t tool, int input, const std::string&) {
      const std::string half = bytesOf(200 << 10);
      ASSERT_EQ(::write(input, half.data(), half.size()), static_cast<ssize_t>(half.size()));
      // The copy is under way once its new file stands beside DEST.
      for (int tries = 0; namesIn(dir.path()).size() < 3 && tries < 3000; ++tries) ::usleep(10000);
      ASSERT_EQ(namesIn(dir.path()).size(), 3u);
      ::kill(tool, signal);
    };
    EXPECT_EQ(runTool({"copy", dir.file("source"), dir.file("dest")}, "", killing).signal, signal);
    EXPECT_TRUE(readFile(dir.file("dest")) == kept);
    EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"source", "dest"}));
  }
}

}  // namespace
