#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <sstream>
#include <stdexcept>
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

// What one read gives: the bytes, or "-1".
std::string readText(VelParamStream& stream, int count) {
  char buffer[100];
  const int got = stream.read(buffer, count);
  return got < 0 ? std::to_string(got) : std::string(buffer, got);
}

// A caller's buffer that fails by throwing, as a broken device layer might.
struct ThrowingBuffer : std::streambuf {
  [[noreturn]] static void fail() { throw std::runtime_error("broken device"); }
  int_type underflow() override { fail(); }
  int_type overflow(int_type) override { fail(); }
  pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override { fail(); }
};

// Each test's own directory, and a path in it.
struct Streams : ::testing::Test {
  TempDir dir;
  const std::string path = dir.file("file.bin");
};

TEST_F(Streams, AnInputReadsAndSeeksATenByteFileThroughCopies) {
  writeFile(path, kTen);
  VelParamInput copy;
  {
    VelParamInput in = VelParamString(path.c_str());  // converts implicitly
    EXPECT_EQ(path, in.getPath().c_str());
    EXPECT_EQ("0123", readText(in, 4));
    std::string buffer(100, 'x');  // so that the zero fill shows
    ASSERT_EQ(6, in.read(&buffer[0], 100));
    EXPECT_EQ("456789" + std::string(94, '\0'), buffer);
    EXPECT_EQ("-1", readText(in, 100));
    EXPECT_EQ(10, in.seekoff(0, 1, 0));
    EXPECT_EQ(0, in.seekoff(0, 0, 0));
    EXPECT_EQ(8, in.seekoff(-2, 2, 0));
    EXPECT_EQ("89", readText(in, 100));
    EXPECT_EQ(3, in.seekoff(3, 0, 0));
    EXPECT_EQ(3, in.seekoff(5, 7, 0));  // an unknown direction moves nothing
    EXPECT_EQ(5, in.seekoff(2, 1, 0));
    // Copies share one position; the file stays open while one is left.
    VelParamInput second(in);
    EXPECT_EQ("56", readText(in, 2));
    EXPECT_EQ("78", readText(second, 2));
    copy = second;
  }
  EXPECT_TRUE(openHere(path));
  EXPECT_EQ("9", readText(copy, 4));
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

TEST_F(Streams, AnOutputCreatesOrEmptiesTheFileAndItsCopiesShareTheRemoveFlag) {
  writeFile(path, "old content");
  // The flag values set in order, and whether the file survives.
  const std::vector<std::pair<std::vector<unsigned char>, bool>> cases = {
      {{}, false}, {{0}, true}, {{0, 1}, false}, {{0, 1, 0}, true}, {{0, 2}, false}};
  for (const auto& c : cases) {
    {
      VelParamOutput out(path.c_str());
      EXPECT_TRUE(fileExists(path) && readFile(path).empty());
      const VelParamOutput& alias = out;
      out = alias;
      EXPECT_EQ(5, out.write(kHello, 5));
      for (unsigned char flag : c.first) out.setRemoveFlag(flag);
    }
    EXPECT_EQ(c.second ? "hello" : "", readFile(path)) << c.first.size() << " flag changes";
    EXPECT_EQ(c.second, fileExists(path)) << c.first.size() << " flag changes";
  }
  {
    VelParamOutput copy;
    copy = VelParamOutput(path.c_str());  // the flagged original goes first
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(copy.canWrite());
    EXPECT_EQ(-1, copy.write(kHello, 5));  // its holder has no stream left
    writeFile(path, "newcomer");
  }
  EXPECT_EQ("newcomer", readFile(path));
  {
    VelParamOutput out(path.c_str());
    VelParamOutput(out).setRemoveFlag(0);  // through a copy, for every copy
    EXPECT_EQ(3, out.write(kHello, 3));
    VelParamOutput flagged(dir.file("flagged").c_str());
    flagged = out;  // releases the last holder of "flagged": closed, never removed
    EXPECT_FALSE(openHere(dir.file("flagged")));
    EXPECT_TRUE(fileExists(dir.file("flagged")));
  }
  EXPECT_EQ("hel", readFile(path));
  // A flagged output removes whatever its path names then: the path changed
  // through a copy's getPath() goes, the file opened stays.
  const std::string renamed = dir.file("renamed.bin");
  writeFile(renamed, "someone's");
  {
    VelParamOutput out = VelParamString(path.c_str());  // converts implicitly
    VelParamOutput(out).getPath() = renamed.c_str();
  }
  EXPECT_TRUE(fileExists(path) && !fileExists(renamed));
}

// Each stream's two flags and the calls that it takes: it refuses every other
// with -1, in this order. Nothing is created, removed or closed that the library did not open.
TEST_F(Streams, RefusedCallsGiveMinusOne) {
  char readInto[8];
  // The three calls that a stream may take (bits 1, 2, 4), then five that none takes.
  const std::function<long(VelParamStream&)> calls[] = {
      [&](VelParamStream& s) { return s.read(readInto, 5); },
      [&](VelParamStream& s) { return s.write(kHello, 5); },
      [&](VelParamStream& s) { return s.seekoff(1, 0, 0); },
      [&](VelParamStream& s) { return s.read(readInto, 0); },
      [&](VelParamStream& s) { return s.read(readInto, -4); },
      [&](VelParamStream& s) { return s.read(nullptr, 4); },
      [&](VelParamStream& s) { return s.write(kHello, 0); },
      [&](VelParamStream& s) { return s.write(nullptr, 5); }};
  writeFile(path, kTen);
  // Existing directories as output paths: std::remove would take the empty one.
  ASSERT_TRUE(fs::create_directory(dir.file("empty")));
  ASSERT_TRUE(fs::create_directories(dir.file("full/in")));
  // The caller's streams: one failed, one at the end of its text that throws,
  // one whose buffer throws.
  std::istringstream failed("abcdefgh"), shortText("abc");
  failed.setstate(std::ios::failbit);
  shortText.exceptions(std::ios::failbit | std::ios::eofbit);
  ThrowingBuffer buffer;
  std::iostream loud(&buffer);
  loud.exceptions(std::ios::badbit);
  const std::string sinkPath = dir.file("sink");
  std::ofstream sink(sinkPath, std::ios::binary);
  {
    VelParamInput in(path.c_str()), none, copied(none), missing(dir.file("missing/in").c_str()),
        failedIn("failed", &failed), shortIn("short", &shortText), loudIn("loud", &loud);
    // Labelled with a path and flagged: the caller's stream is still not the library's.
    VelParamOutput out(dir.file("out").c_str()), noOutput, sinkOut(sinkPath.c_str(), &sink),
        loudOut("loud", &loud), missingOut(dir.file("missing/out").c_str()),
        empty(dir.file("empty").c_str()), full(dir.file("full").c_str());
    noOutput.setRemoveFlag(0);
    // A failed stream spoils one read, then is cleared; an output whose file
    // failed to open still reports the count that it was given.
    const struct { VelParamStream* stream; bool canRead, canWrite; int takes; } rows[] = {
        {&in, true, false, 1 | 4}, {&out, false, true, 2}, {&none, false, false, 0},
        {&copied, false, false, 0}, {&missing, false, false, 0}, {&noOutput, false, false, 0},
        {&failedIn, true, false, 4}, {&shortIn, true, false, 0}, {&loudIn, true, false, 0},
        {&sinkOut, false, true, 2}, {&loudOut, false, true, 0}, {&missingOut, false, false, 2},
        {&empty, false, false, 2}, {&full, false, false, 2}};
    for (const auto& row : rows) {
      SCOPED_TRACE("row " + std::to_string(&row - rows));
      EXPECT_EQ(row.canRead, row.stream->canRead());
      EXPECT_EQ(row.canWrite, row.stream->canWrite());
      for (int i = 0; i < 8; ++i)
        EXPECT_EQ((row.takes & 1 << i) != 0, calls[i](*row.stream) != -1) << "call " << i;
    }
    EXPECT_EQ(1, in.seekoff(0, 1, 0));  // refused calls leave the position alone
    EXPECT_EQ(&failed, &VelParamInput(failedIn).getStream());
    EXPECT_EQ(&sink, &sinkOut.getStream());
    EXPECT_EQ("bcde", readText(failedIn, 4));
  }
  EXPECT_EQ(5, failed.tellg());
  EXPECT_TRUE(sink.is_open() && (sink << '!').flush());
  EXPECT_EQ("hello!", readFile(sinkPath));
  EXPECT_FALSE(fileExists(dir.file("missing")));
  for (const char* name : {"empty", "full", "full/in"})
    EXPECT_TRUE(fs::is_directory(dir.file(name))) << name;
}

TEST_F(Streams, AFlaggedOutputRemovesALinkAFifoOrAFileRenamedOverIt) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no /dev/full or FIFO and refuses to rename over an open file";
#else
  // Through a link: the link goes, the device it leads to stays.
  if (fs::is_character_file("/dev/full")) {
    fs::create_symlink("/dev/full", dir.file("full"));
    std::vector<char> block(1 << 16, 'x');
    EXPECT_EQ(1 << 16, VelParamOutput(dir.file("full").c_str()).write(block.data(), 1 << 16));
    EXPECT_FALSE(fs::is_symlink(dir.file("full")));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
  // A file renamed over the path after it was created goes in its place.
  {
    VelParamOutput out(path.c_str());
    writeFile(dir.file("other"), "newcomer");
    fs::rename(dir.file("other"), path);
  }
  EXPECT_FALSE(fileExists(path));
  // A FIFO that the output opened (once a reader came) is removed as well.
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  auto reader = std::async(std::launch::async, [&] { return readFile(fifo); });
  EXPECT_EQ(5, VelParamOutput(fifo.c_str()).write(kHello, 5));
  EXPECT_EQ("hello", reader.get());
  EXPECT_FALSE(fileExists(fifo));
#endif
}

TEST_F(Streams, ParametersTravelBetweenThreads) {
  constexpr int kThreads = 4, kRounds = 20;  // kRounds even: each thread flags half
  writeFile(path, kTen);
  using Parcel = std::unique_ptr<std::pair<VelParamInput, VelParamOutput>>;
  // Slot t * kRounds + r carries what thread t receives in round r.
  std::vector<std::promise<Parcel>> slots(kThreads * kRounds);
  std::vector<std::future<Parcel>> arrivals;
  for (auto& slot : slots) arrivals.push_back(slot.get_future());
  auto work = [&](int self) {
    for (int round = 0; round < kRounds; ++round) {
      std::string name = std::to_string(self * kRounds + round);
      {
        VelParamInput input(path.c_str());
        VelParamOutput output(dir.file(name).c_str());
        EXPECT_EQ("0123", readText(input, 4));
        EXPECT_EQ(int(name.size()), output.write(&name[0], int(name.size())));
        if (round % 2 == 0) output.setRemoveFlag(0);
        Parcel parcel(new std::pair<VelParamInput, VelParamOutput>(input, output));
        output = VelParamOutput();  // only the receiver's copy may remove the file now
        slots[((self + 1) % kThreads) * kRounds + round].set_value(std::move(parcel));
      }  // the sender's input copy goes while the receiver works
      EXPECT_EQ("4567", readText(arrivals[self * kRounds + round].get()->first, 4));
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(work, i);
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < kThreads * kRounds; ++i)
    EXPECT_EQ(i % 2 == 0 ? std::to_string(i) : "", readFile(dir.file(std::to_string(i))));
  EXPECT_FALSE(openHere(path));
}

#if defined(_WIN32)
// Windows refuses to remove an open file. A flagged output closes the stream
// that every copy shares before it removes the file, so the file goes here too.
TEST_F(Streams, TheStreamClosesBeforeTheFileGoes) {
  {
    VelParamOutput out(path.c_str()), copy(out);
    EXPECT_EQ(5, copy.write(kHello, 5));
    ASSERT_TRUE(openHere(path));
    EXPECT_NE(0, std::remove(path.c_str())) << "removed while open";
  }
  EXPECT_FALSE(fileExists(path));
}
#endif

}  // namespace
