#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <atomic>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;
namespace fs = std::filesystem;

const char kTen[] = "0123456789";
char kHello[] = "hello";

// What one read of count bytes gives: the bytes, or "-1"; the rest must come back zero-filled.
std::string readText(VelParamStream& stream, int count) {
  std::string buffer(count, 'x');
  const int got = stream.read(&buffer[0], count);
  if (got < 0) return std::to_string(got);
  EXPECT_EQ(std::string(count - got, '\0'), buffer.substr(got)) << "zero fill";
  return buffer.substr(0, got);
}

struct Streams : ::testing::Test {  // each test's own directory, and a path in it
  TempDir dir;
  const std::string path = dir.file("file.bin");
};

TEST_F(Streams, AnInputReadsAndSeeksAndItsCopiesShareOnePosition) {
  writeFile(path, kTen);
  VelParamInput in = VelParamString(path.c_str());  // converts implicitly
  EXPECT_EQ(path, in.getPath().c_str());
  // In order: a read of count bytes (direction 'r') or a move (7: unknown, moves nothing).
  const struct { int direction; long count; const char* gives; } steps[] = {
      {'r', 4, "0123"}, {'r', 100, "456789"}, {'r', 100, "-1"}, {1, 0, "10"}, {0, 0, "0"},
      {2, -2, "8"}, {'r', 100, "89"}, {0, 3, "3"}, {7, 5, "3"}, {1, 2, "5"}};
  for (const auto& s : steps)
    EXPECT_EQ(s.gives, s.direction == 'r' ? readText(in, int(s.count))
                                          : std::to_string(in.seekoff(s.count, s.direction, 0)))
        << "step " << &s - steps;
  // A copy shares the position, and keeps the file open when the original goes.
  VelParamInput copy;
  copy = in;
  in = VelParamInput();
  EXPECT_EQ("56", readText(copy, 2));
  const VelParamInput& alias = copy;
  copy = alias;  // must not let go of the last holder
#if LONG_MAX > 0x7FFFFFFF
  EXPECT_EQ(0x100000000L, copy.seekoff(0x100000000L, 0, 0));  // not cut to 32 bits
#else  // Windows' long has 32 bits: a position beyond them fails, never cut short
  EXPECT_EQ(LONG_MAX, copy.seekoff(LONG_MAX, 0, 0));
  EXPECT_EQ(-1, copy.seekoff(1, 1, 0));
#endif
  copy = VelParamInput();  // assigning away the last copy closes the file
  EXPECT_FALSE(openHere(path) || copy.canRead());
}

// An output creates or empties its file at once. The first flagged destruction of any copy
// removes whatever the path names then; assignment and the last release only close.
TEST_F(Streams, AFlaggedOutputRemovesWhateverItsPathNamesThen) {
  writeFile(path, "old content");
  const std::string other = dir.file("other");
  {
    VelParamOutput copy(dir.file("first").c_str());
    {
      VelParamOutput out(path.c_str());
      EXPECT_TRUE(readFile(path).empty());  // emptied at once
      const VelParamOutput& alias = out;
      out = alias;  // must not let go of the only holder
      copy = out;  // lets go of "first": closed, never removed
      copy.getPath() = other.c_str();  // for every copy
      writeFile(other, "someone's");
#if defined(_WIN32)  // which refuses to remove an open file: the stream must close first
      ASSERT_NE(0, std::remove(path.c_str())) << "removed while open";
#endif
    }  // out goes first and removes what the path names now
    EXPECT_FALSE(openHere(dir.file("first")) || fileExists(other));
    EXPECT_TRUE(fileExists(dir.file("first")) && fileExists(path) && copy.canWrite());
    EXPECT_EQ(-1, copy.write(kHello, 5));  // its holder has no stream left
    writeFile(other, "newcomer");
  }
  EXPECT_EQ("newcomer", readFile(other));  // only the first flagged destruction removes
#if !defined(_WIN32)  // Windows has no FIFO
  const std::string special = dir.file("special");  // a link (which goes, not its file), a FIFO
  fs::create_symlink(other, special);
  EXPECT_EQ(5, VelParamOutput(special.c_str()).write(kHello, 5));
  EXPECT_TRUE(fileExists(other) && !fileExists(special));
  // A FIFO that the output opened (once a reader came) is removed as well.
  ASSERT_EQ(0, ::mkfifo(special.c_str(), 0600));
  auto reader = std::async(std::launch::async, [&] { return readFile(special); });
  EXPECT_EQ(5, VelParamOutput(special.c_str()).write(kHello, 5));
  EXPECT_EQ("hello", reader.get());
  EXPECT_FALSE(fileExists(special));
#endif
}

// Each stream's two flags and the calls that it takes, refusing others with -1 and leaving the
// position. A failed stream spoils one read, then is cleared; an output whose file failed to
// open still reports the count given. A caller's stream, though labelled with a path and
// flagged, is never closed nor moved; a flagged output removes nothing that it did not create.
TEST_F(Streams, EachStreamTakesItsCallsAndLeavesWhatItDidNotOpen) {
  char readInto[8];
  writeFile(path, kTen);
  ASSERT_TRUE(fs::create_directory(dir.file("dir")));
  // The caller's: one failed, one at its text's end that throws, one unopened, one on a file.
  std::istringstream failed("abcdefgh"), shortText("abc");
  failed.setstate(std::ios::failbit);
  shortText.exceptions(std::ios::failbit | std::ios::eofbit);
  const std::string sinkPath = dir.file("sink");
  std::ofstream unopened, sink(sinkPath, std::ios::binary);
  unopened.exceptions(std::ios::badbit);
  {
    VelParamInput in(path.c_str()), none, copied(none), missing(dir.file("missing/in").c_str()),
        failedIn(path.c_str(), &failed), shortIn("short", &shortText);
    VelParamOutput out(dir.file("out").c_str()), noOutput, sinkOut(sinkPath.c_str(), &sink),
        throwingOut("unopened", &unopened), missingOut(dir.file("missing/out").c_str()),
        dirOut(dir.file("dir").c_str());
    noOutput.setRemoveFlag(0);
    const struct { VelParamStream* stream; bool canRead, canWrite; int takes; } rows[] = {
        {&in, true, false, 1 | 4}, {&out, false, true, 2}, {&none, false, false, 0},
        {&copied, false, false, 0}, {&missing, false, false, 0}, {&noOutput, false, false, 0},
        {&failedIn, true, false, 4}, {&shortIn, true, false, 0}, {&sinkOut, false, true, 2},
        {&throwingOut, false, true, 0}, {&missingOut, false, false, 2}, {&dirOut, false, false, 2}};
    for (const auto& row : rows) {
      SCOPED_TRACE("row " + std::to_string(&row - rows));
      EXPECT_EQ(row.canRead, row.stream->canRead());
      EXPECT_EQ(row.canWrite, row.stream->canWrite());
      VelParamStream& s = *row.stream;  // three calls that it may take (bits 1, 2, 4), five not
      const long results[] = {s.read(readInto, 5), s.write(kHello, 5), s.seekoff(1, 0, 0),
                              s.read(readInto, 0), s.read(readInto, -4), s.read(nullptr, 4),
                              s.write(kHello, 0), s.write(nullptr, 5)};
      for (int i = 0; i < 8; ++i)
        EXPECT_EQ((row.takes & 1 << i) != 0, results[i] != -1) << "call " << i;
    }
    EXPECT_EQ(1, in.seekoff(0, 1, 0));
    EXPECT_EQ("bcde", readText(failedIn, 4));
    EXPECT_EQ(&failed, &VelParamInput(failedIn).getStream());
    EXPECT_EQ(&sink, &sinkOut.getStream());
  }
  EXPECT_EQ(5, failed.tellg());
  EXPECT_TRUE(sink.is_open() && (sink << '!').flush());
  EXPECT_EQ("hello!", readFile(sinkPath));
  EXPECT_FALSE(fileExists(dir.file("missing")));
  EXPECT_TRUE(fs::is_directory(dir.file("dir")));
}

// Copies of an input and an output travel to a thread that reads on, then lets them go as the
// sender lets its own go; one closes the output, removing its file if the last flag says so.
TEST_F(Streams, CopiesTravelToAThreadAndGoThereAtOnceWithTheSendersOwn) {
  constexpr int kRounds = 200;
  using Copies = std::pair<VelParamInput, VelParamOutput>;
  const std::vector<unsigned char> flags[] = {{}, {0}, {0, 2}, {0, 1, 0}};  // odd rounds keep
  writeFile(path, kTen);
  for (int i = 0; i < kRounds; ++i) {
    std::string name = std::to_string(i);
    auto mine = std::make_unique<Copies>(path.c_str(), dir.file(name).c_str());
    EXPECT_EQ("0123", readText(mine->first, 4));
    EXPECT_EQ(int(name.size()), mine->second.write(&name[0], int(name.size())));
    std::atomic<int> ready{0};
    const auto dropWhenBothReady = [&ready](std::unique_ptr<Copies>& copies) {
      for (++ready; ready < 2;) std::this_thread::yield();
      copies.reset();
    };
    // Behind a pointer, so that only the receiver destroys them: a moved lambda leaves one here.


    std::thread receiver([&, theirs = std::make_unique<Copies>(*mine)]() mutable {
      EXPECT_EQ("4567", readText(theirs->first, 4));
      dropWhenBothReady(theirs);
    });
    for (unsigned char flag : flags[i % 4]) mine->second.setRemoveFlag(flag);
    dropWhenBothReady(mine);
    receiver.join();
    const std::string file = dir.file(name);
    EXPECT_EQ(i % 2 == 1 ? name : "gone", fileExists(file) ? readFile(file) : "gone");
  }
  EXPECT_FALSE(openHere(path));
}

}  // namespace
