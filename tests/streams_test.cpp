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
#include <future>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
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
struct StreamTest : ::testing::Test {
  TempDir dir;
  const std::string path = dir.file("file.bin");
};
using InputParam = StreamTest;
using OutputParam = StreamTest;
using StreamFaults = StreamTest;
using StreamThreads = StreamTest;

TEST_F(InputParam, ReadsAndSeeksATenByteFileThroughCopies) {
  writeFile(path, kTen);
  VelParamInput copy;
  {
    VelParamInput in(path.c_str());
    EXPECT_TRUE(in.canRead() && !in.canWrite());
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

    // Unknown directions and refused calls leave the position alone.
    EXPECT_EQ(3, in.seekoff(3, 0, 0));
    EXPECT_EQ(3, in.seekoff(5, 7, 0));
    EXPECT_EQ(5, in.seekoff(2, 1, 0));
    EXPECT_EQ("-1", readText(in, 0));
    EXPECT_EQ("-1", readText(in, -4));
    EXPECT_EQ(-1, in.write(kHello, 4));
    EXPECT_EQ(-1, in.read(nullptr, 4));
    EXPECT_EQ(5, in.seekoff(0, 1, 0));

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
  EXPECT_FALSE(openHere(path));
  EXPECT_FALSE(copy.canRead());
}

TEST_F(OutputParam, CreatesOrEmptiesTheFileAndSharesTheRemoveFlag) {
  writeFile(path, "old content");
  // The flag values set in order, and whether the file survives.
  const std::vector<std::pair<std::vector<unsigned char>, bool>> cases = {
      {{}, false}, {{0}, true}, {{0, 1}, false}, {{0, 1, 0}, true}, {{0, 2}, false}};
  for (const auto& c : cases) {
    {
      VelParamOutput out(path.c_str());
      EXPECT_TRUE(fileExists(path) && readFile(path).empty());
      EXPECT_TRUE(out.canWrite() && !out.canRead());
      const VelParamOutput& alias = out;
      out = alias;
      EXPECT_EQ(5, out.write(kHello, 5));
      EXPECT_EQ(-1, out.write(kHello, 0));
      EXPECT_EQ(-1, out.write(nullptr, 5));
      EXPECT_EQ(-1, out.read(kHello, 5));
      EXPECT_EQ(-1, out.seekoff(0, 1, 0));
      for (unsigned char flag : c.first) out.setRemoveFlag(flag);
    }
    EXPECT_EQ(c.second, fileExists(path)) << c.first.size() << " flag changes";
    EXPECT_EQ(c.second ? "hello" : "", readFile(path));
  }

  // Copies share the flag and the file.
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
    VelParamOutput(out).setRemoveFlag(0);
    EXPECT_EQ(5, out.write(kHello, 5));
  }
  EXPECT_EQ("hello", readFile(path));
  {
    VelParamOutput out(path.c_str());
    EXPECT_EQ(3, out.write(kHello, 3));
    out = VelParamOutput();  // releases the last holder: closed, never removed
    EXPECT_FALSE(openHere(path));
  }
  EXPECT_EQ("hel", readFile(path));
}

TEST_F(StreamFaults, CallersStreamsStayOpenAndTheirFaultsGiveMinusOne) {
  std::istringstream source("abcdefgh");
  source.setstate(std::ios::failbit);
  std::ofstream sink(path, std::ios::binary);
  {
    VelParamInput in("label", &source), inCopy(in);
    // Labelled with the file's own path and flagged: still not the library's.
    VelParamOutput out(path.c_str(), &sink), outCopy(out);
    EXPECT_TRUE(in.canRead() && !in.canWrite() && out.canWrite() && !out.canRead());
    EXPECT_EQ(&source, &in.getStream());
    EXPECT_EQ("-1", readText(in, 4));  // the failed state spoils one read, then is cleared
    EXPECT_EQ("abcd", readText(inCopy, 4));
    EXPECT_EQ(5, out.write(kHello, 5));
  }
  EXPECT_EQ(4, source.tellg());
  EXPECT_TRUE(sink.is_open() && (sink << '!').flush());
  EXPECT_EQ("hello!", readFile(path));

  // Streams that throw: one at the end of its text, one from its buffer.
  std::istringstream shortText("abc");
  shortText.exceptions(std::ios::failbit | std::ios::eofbit);
  ThrowingBuffer buffer;
  std::iostream loud(&buffer);
  loud.exceptions(std::ios::badbit);
  for (std::istream* stream : std::initializer_list<std::istream*>{&shortText, &loud}) {
    VelParamInput in("throws", stream);
    EXPECT_EQ(-1, in.read(kHello, 5));
    EXPECT_EQ(-1, in.seekoff(1, 0, 0));
  }
  EXPECT_EQ(-1, VelParamOutput("loud", &loud).write(kHello, 4));
}

TEST_F(StreamFaults, NoFileMeansFailureAndNothingRemoved) {
  VelParamInput none, copied(none), missing(dir.file("missing/in.bin").c_str());
  VelParamOutput noOutput;
  noOutput.setRemoveFlag(0);
  for (VelParamStream* stream :
       std::initializer_list<VelParamStream*>{&none, &copied, &missing, &noOutput}) {
    EXPECT_FALSE(stream->canRead() || stream->canWrite());
    EXPECT_EQ(-1, stream->read(kHello, 5));
    EXPECT_EQ(-1, stream->write(kHello, 5));
    EXPECT_EQ(-1, stream->seekoff(0, 0, 0));
  }
  EXPECT_EQ("", std::string(none.getPath().c_str()) + noOutput.getPath().c_str());
  EXPECT_FALSE(none.getStream().read(kHello, 1) || noOutput.getStream().write(kHello, 1));
  {
    VelParamOutput out(dir.file("missing/out.bin").c_str());
    EXPECT_FALSE(out.canWrite());
    EXPECT_EQ(5, out.write(kHello, 5));  // the count, whatever the stream's state
  }
  EXPECT_FALSE(fileExists(dir.file("missing")));

  // Existing directories as output paths: std::remove would take the empty one.
  ASSERT_TRUE(fs::create_directory(dir.file("empty")));
  ASSERT_TRUE(fs::create_directories(dir.file("full/in")));
  for (const char* name : {"empty", "full"}) {
    EXPECT_FALSE(VelParamOutput(dir.file(name).c_str()).canWrite());
    EXPECT_TRUE(fs::is_directory(dir.file(name))) << name;
  }
  EXPECT_TRUE(fs::is_directory(dir.file("full/in")));
}

TEST_F(OutputParam, AFlaggedOutputRemovesWhateverItsPathNamesThen) {
  // The path changed through getPath(): the new name goes, the old file stays.
  const std::string renamed = dir.file("renamed.bin");
  writeFile(renamed, "someone's");
  {
    VelParamOutput out = VelParamString(path.c_str());  // converts implicitly
    VelParamInput in = VelParamString(path.c_str());
    EXPECT_TRUE(out.canWrite() && in.canRead());
    VelParamOutput(out).getPath() = renamed.c_str();  // seen by every copy
  }
  EXPECT_TRUE(fileExists(path));
  EXPECT_FALSE(fileExists(renamed));
}

// Names that Windows cannot give: a link to a device, a FIFO, a file renamed
// over one that is open.
TEST_F(OutputParam, AFlaggedOutputRemovesALinkAFifoOrAFileRenamedOverIt) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no /dev/full or FIFO and refuses to rename over an open file";
#else
  // Through a link: the link goes, the device it leads to stays.
  if (fs::is_character_file("/dev/full")) {
    const std::string link = dir.file("full");
    fs::create_symlink("/dev/full", link);
    {
      VelParamOutput out(link.c_str());
      std::vector<char> block(1 << 16, 'x');
      EXPECT_EQ(1 << 16, out.write(block.data(), 1 << 16));
    }
    EXPECT_FALSE(fs::is_symlink(link));
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
  {
    VelParamOutput out(fifo.c_str());
    EXPECT_EQ(5, out.write(kHello, 5));
  }
  EXPECT_EQ("hello", reader.get());
  EXPECT_FALSE(fs::exists(fs::symlink_status(fifo)));
#endif
}

TEST_F(StreamThreads, ParametersTravelBetweenThreads) {
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
TEST_F(OutputParam, TheStreamClosesBeforeTheFileGoes) {
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
