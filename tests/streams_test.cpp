#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/TestSupport.h"

namespace {

using Quire::VelParamInput;
using Quire::VelParamOutput;
using quire_test::fileExists;
using quire_test::readFile;
using quire_test::TempDir;
using quire_test::writeFile;

const char kTen[] = "0123456789";

// How many of this process's descriptors are open on the file at path: shows
// whether the library still holds a file open.
int openCount(const std::string& path) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return 0;
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    struct stat open;
    if (::stat(entry.path().c_str(), &open) == 0 && open.st_dev == target.st_dev &&
        open.st_ino == target.st_ino)
      ++count;
  }
  return count;
}

// A caller's buffer that fails by throwing, as a broken device layer might.
class ThrowingBuffer : public std::streambuf {
 protected:
  int_type underflow() override { throw std::runtime_error("underflow"); }
  int_type overflow(int_type) override { throw std::runtime_error("overflow"); }
  pos_type seekoff(off_type, std::ios::seekdir, std::ios::openmode) override {
    throw std::runtime_error("seekoff");
  }
};

TEST(InputParam, ReadsAndSeeksATenByteFile) {
  TempDir dir;
  const std::string path = dir.file("ten.bin");
  writeFile(path, kTen);
  VelParamInput in(path.c_str());
  EXPECT_TRUE(in.canRead());
  EXPECT_FALSE(in.canWrite());
  EXPECT_STREQ(path.c_str(), in.getPath().c_str());

  char buffer[100];
  ASSERT_EQ(4, in.read(buffer, 4));
  EXPECT_EQ("0123", std::string(buffer, 4));
  std::fill_n(buffer, sizeof buffer, 'x');
  ASSERT_EQ(6, in.read(buffer, 100));
  EXPECT_EQ("456789", std::string(buffer, 6));
  EXPECT_EQ(std::string(94, '\0'), std::string(buffer + 6, 94));
  EXPECT_EQ(-1, in.read(buffer, 100));
  EXPECT_EQ(10, in.seekoff(0, 1, 0));
  EXPECT_EQ(0, in.seekoff(0, 0, 0));
  EXPECT_EQ(8, in.seekoff(-2, 2, 0));
  ASSERT_EQ(2, in.read(buffer, 100));
  EXPECT_EQ("89", std::string(buffer, 2));

  EXPECT_EQ(3, in.seekoff(3, 0, 0));
  EXPECT_EQ(3, in.seekoff(5, 7, 0));  // unknown directions move nothing
  EXPECT_EQ(3, in.seekoff(5, -1, 0));
  EXPECT_EQ(5, in.seekoff(2, 1, 0));
  EXPECT_EQ(-1, in.read(buffer, 0));
  std::fill_n(buffer, sizeof buffer, 'x');
  EXPECT_EQ(-1, in.read(buffer, -4));
  EXPECT_EQ('x', buffer[0]);
  EXPECT_EQ(-1, in.write(buffer, 4));
  EXPECT_EQ(5, in.seekoff(0, 1, 0));
  // Positions are not cut to 32 bits.
  EXPECT_EQ(0x100000000L, in.seekoff(0x100000000L, 0, 0));
}

TEST(InputParam, WithoutHolderOrFileEverythingFails) {
  char buffer[8] = {};
  VelParamInput none;
  EXPECT_FALSE(none.canRead());
  EXPECT_FALSE(none.canWrite());
  EXPECT_EQ(-1, none.read(buffer, 8));
  EXPECT_EQ(-1, none.write(buffer, 8));
  EXPECT_EQ(-1, none.seekoff(0, 0, 0));
  EXPECT_STREQ("", none.getPath().c_str());
  EXPECT_FALSE(none.getStream().read(buffer, 1));
  VelParamInput copy(none);
  EXPECT_EQ(-1, copy.read(buffer, 8));

  TempDir dir;
  VelParamInput missing(dir.file("absent").c_str());
  EXPECT_FALSE(missing.canRead());
  EXPECT_EQ(-1, missing.read(buffer, 8));
  EXPECT_EQ(-1, missing.seekoff(0, 0, 0));
}

TEST(InputParam, CopiesShareOnePositionAndKeepTheFileOpen) {
  TempDir dir;
  const std::string path = dir.file("ten.bin");
  writeFile(path, kTen);
  char buffer[4];
  VelParamInput copy;
  {
    VelParamInput first(path.c_str());
    VelParamInput second(first);
    EXPECT_TRUE(second.canRead());
    ASSERT_EQ(4, first.read(buffer, 4));
    EXPECT_EQ("0123", std::string(buffer, 4));
    ASSERT_EQ(4, second.read(buffer, 4));
    EXPECT_EQ("4567", std::string(buffer, 4));
    copy = second;
  }
  EXPECT_EQ(1, openCount(path));
  ASSERT_EQ(2, copy.read(buffer, 4));
  EXPECT_EQ("89", std::string(buffer, 2));

  const VelParamInput& alias = copy;
  copy = alias;
  EXPECT_EQ(10, copy.seekoff(0, 1, 0));
  // Assigning away the last reference closes the file.
  copy = VelParamInput();
  EXPECT_EQ(0, openCount(path));
  EXPECT_FALSE(copy.canRead());
}

TEST(InputParam, CallersStreamStaysTheCallers) {
  std::istringstream source("abcdefgh");
  source.setstate(std::ios::failbit);
  {
    VelParamInput in("label", &source);
    EXPECT_TRUE(in.canRead());
    EXPECT_FALSE(in.canWrite());
    EXPECT_EQ(&source, &in.getStream());
    char buffer[4];
    // The failed state spoils one read, which leaves the stream good.
    EXPECT_EQ(-1, in.read(buffer, 4));
    EXPECT_TRUE(source.good());
    ASSERT_EQ(4, in.read(buffer, 4));
    EXPECT_EQ("abcd", std::string(buffer, 4));
    VelParamInput copy(in);
  }
  std::string rest;
  source >> rest;
  EXPECT_EQ("efgh", rest);
}

TEST(OutputParam, CreatesOrEmptiesTheFileAndWrites) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  writeFile(path, "old content");
  char bytes[] = "hello";
  {
    VelParamOutput out(path.c_str());
    EXPECT_TRUE(out.canWrite());
    EXPECT_FALSE(out.canRead());
    EXPECT_TRUE(fileExists(path));
    EXPECT_EQ("", readFile(path));
    EXPECT_EQ(5, out.write(bytes, 5));
    EXPECT_EQ(-1, out.write(bytes, 0));
    EXPECT_EQ(-1, out.read(bytes, 5));
    EXPECT_EQ(-1, out.seekoff(0, 1, 0));
    const VelParamOutput& alias = out;
    out = alias;
    out.setRemoveFlag(0);
  }
  EXPECT_EQ("hello", readFile(path));

  VelParamOutput none;
  EXPECT_FALSE(none.canWrite());
  EXPECT_FALSE(none.canRead());
  EXPECT_EQ(-1, none.write(bytes, 5));
  EXPECT_EQ(-1, none.read(bytes, 5));
  EXPECT_EQ(-1, none.seekoff(0, 0, 0));
  none.setRemoveFlag(0);
  EXPECT_STREQ("", none.getPath().c_str());
  EXPECT_FALSE(none.getStream().write(bytes, 1));
}

TEST(OutputParam, RemoveFlagDecidesAtDestruction) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  char bytes[] = "hello";
  // Each pair: the flag values set in order, and whether the file survives.
  const std::vector<std::pair<std::vector<unsigned char>, bool>> cases = {
      {{}, false}, {{0}, true}, {{0, 1}, false}, {{0, 1, 0}, true}, {{0, 2}, false}};
  for (const auto& c : cases) {
    {
      VelParamOutput out(path.c_str());
      EXPECT_EQ(5, out.write(bytes, 5));
      for (unsigned char flag : c.first) out.setRemoveFlag(flag);
    }
    EXPECT_EQ(c.second, fileExists(path)) << "after " << c.first.size() << " flag changes";
    if (c.second) {
      EXPECT_EQ("hello", readFile(path));
    }
  }
}

TEST(OutputParam, CopiesShareTheFlagAndTheFile) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  char bytes[] = "hello";
  {
    VelParamOutput copy;
    {
      VelParamOutput first(path.c_str());
      copy = first;
    }
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(copy.canWrite());
    EXPECT_EQ(-1, copy.write(bytes, 5));
    writeFile(path, "newcomer");
  }
  EXPECT_EQ("newcomer", readFile(path));

  {
    VelParamOutput out(path.c_str());
    {
      VelParamOutput copy(out);
      copy.setRemoveFlag(0);
      EXPECT_EQ(5, copy.write(bytes, 5));
    }
    EXPECT_EQ(5, out.write(bytes, 5));
  }
  EXPECT_EQ("hellohello", readFile(path));

  {
    VelParamOutput out(path.c_str());
    EXPECT_EQ(5, out.write(bytes, 5));
    // Assignment releases the last holder: the file is closed, never removed.
    out = VelParamOutput();
    EXPECT_EQ(0, openCount(path));
    EXPECT_EQ("hello", readFile(path));
  }
  EXPECT_EQ("hello", readFile(path));
}

TEST(OutputParam, CallersStreamIsNeverClosedOrRemoved) {
  TempDir dir;
  const std::string path = dir.file("callers.bin");
  std::ofstream file(path, std::ios::binary);
  char bytes[] = "hello";
  {
    // Labelled with the file's own path and flagged: still not the library's.
    VelParamOutput out(path.c_str(), &file);
    EXPECT_TRUE(out.canWrite());
    EXPECT_FALSE(out.canRead());
    EXPECT_EQ(5, out.write(bytes, 5));
    VelParamOutput copy(out);
  }
  EXPECT_TRUE(file.is_open());
  file << '!';
  file.close();
  EXPECT_EQ("hello!", readFile(path));
}

TEST(StreamFaults, UnopenablePathsAreNeverRemoved) {
  TempDir dir;
  char bytes[] = "hello";
  const std::string inMissing = dir.file("missing/out.bin");
  {
    VelParamOutput out(inMissing.c_str());
    EXPECT_FALSE(out.canWrite());
    EXPECT_EQ(5, out.write(bytes, 5));
  }
  EXPECT_FALSE(fileExists(dir.file("missing")));
  VelParamInput in(inMissing.c_str());
  EXPECT_FALSE(in.canRead());
  EXPECT_EQ(-1, in.read(bytes, 5));

  // std::remove would take the empty one.
  const std::string empty = dir.file("empty");
  const std::string full = dir.file("full");
  ASSERT_EQ(0, ::mkdir(empty.c_str(), 0700));
  ASSERT_EQ(0, ::mkdir(full.c_str(), 0700));
  writeFile(full + "/keep", "kept");
  for (const std::string& path : {empty, full}) {
    {
      VelParamOutput out(path.c_str());
      EXPECT_FALSE(out.canWrite());
    }
    EXPECT_TRUE(std::filesystem::is_directory(path)) << path;
  }
  EXPECT_EQ("kept", readFile(full + "/keep"));
}

TEST(StreamFaults, RemovesOnlyTheFileItCreated) {
  TempDir dir;
  const std::string path = dir.file("out.bin");
  const std::string other = dir.file("other.bin");
  char bytes[] = "hello";
  {
    VelParamOutput out(path.c_str());
    EXPECT_EQ(5, out.write(bytes, 5));
    writeFile(other, "newcomer");
    ASSERT_EQ(0, std::rename(other.c_str(), path.c_str()));
  }
  EXPECT_EQ("newcomer", readFile(path));
}

TEST(StreamFaults, DeviceThroughALinkIsNeverRemoved) {
  struct stat status;
  if (::stat("/dev/full", &status) != 0) GTEST_SKIP() << "no /dev/full here";
  TempDir dir;
  const std::string link = dir.file("full");
  ASSERT_EQ(0, ::symlink("/dev/full", link.c_str()));
  {
    VelParamOutput out(link.c_str());
    std::vector<char> block(1 << 16, 'x');
    for (int i = 0; i < 4; ++i) EXPECT_EQ(1 << 16, out.write(block.data(), 1 << 16));
    EXPECT_TRUE(out.getStream().bad());  // the device refused them all the same
  }
  ASSERT_EQ(0, ::stat("/dev/full", &status));
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  ASSERT_EQ(0, ::lstat(link.c_str(), &status));
  EXPECT_TRUE(S_ISLNK(status.st_mode));
}

TEST(StreamFaults, ThrowingCallerStreamsGiveMinusOne) {
  char bytes[8] = "abcdefg";
  std::istringstream shortText("abc");
  shortText.exceptions(std::ios::failbit | std::ios::eofbit);
  VelParamInput reader("short", &shortText);
  EXPECT_EQ(-1, reader.read(bytes, 8));
  EXPECT_EQ(-1, reader.seekoff(0, 0, 0));

  ThrowingBuffer buffer;
  std::iostream quiet(&buffer);
  std::iostream loud(&buffer);
  loud.exceptions(std::ios::badbit);
  VelParamInput loudIn("loud", &loud);
  VelParamOutput loudOut("loud", &loud);
  EXPECT_EQ(-1, loudIn.read(bytes, 4));
  EXPECT_EQ(-1, loudIn.seekoff(1, 0, 0));
  EXPECT_EQ(-1, loudOut.write(bytes, 4));
  // A stream that swallows its buffer's fault took the bytes, as far as
  // anyone can tell without asking its state.
  VelParamOutput quietOut("quiet", &quiet);
  EXPECT_EQ(4, quietOut.write(bytes, 4));
  EXPECT_TRUE(quiet.bad());
}

// What one thread hands the next. The sender keeps no flagged copy, so only
// the receiver's destruction can remove the flagged file.
struct Parcel {
  VelParamInput input;
  VelParamOutput kept;
  VelParamOutput flagged;
};

class Mailbox {
 public:
  void put(std::unique_ptr<Parcel> parcel) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      parcels_.push_back(std::move(parcel));
    }
    ready_.notify_one();
  }
  std::unique_ptr<Parcel> take() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return !parcels_.empty(); });
    std::unique_ptr<Parcel> parcel = std::move(parcels_.front());
    parcels_.pop_front();
    return parcel;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::unique_ptr<Parcel>> parcels_;
};

TEST(StreamThreads, ParametersTravelBetweenThreads) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 20;
  TempDir dir;
  const std::string source = dir.file("source.bin");
  writeFile(source, kTen);
  std::vector<Mailbox> boxes(kThreads);
  auto name = [](int thread, int round) {
    return std::to_string(thread) + "-" + std::to_string(round);
  };

  auto work = [&](int self) {
    for (int round = 0; round < kRounds; ++round) {
      std::string text = name(self, round);
      {
        VelParamInput input(source.c_str());
        VelParamOutput kept(dir.file("kept-" + text).c_str());
        VelParamOutput flagged(dir.file("flagged-" + text).c_str());
        char head[4];
        EXPECT_EQ(4, input.read(head, 4));
        kept.setRemoveFlag(0);
        EXPECT_EQ(static_cast<int>(text.size()), kept.write(&text[0], static_cast<int>(text.size())));
        auto parcel = std::unique_ptr<Parcel>(new Parcel{input, kept, flagged});
        flagged = VelParamOutput();  // assignment never removes
        boxes[(self + 1) % kThreads].put(std::move(parcel));
      }  // the sender's input and kept copies go while the receiver works
      std::unique_ptr<Parcel> parcel = boxes[self].take();
      char tail[4];
      EXPECT_EQ(4, parcel->input.read(tail, 4));  // no ASSERT: the ring must keep turning
      EXPECT_EQ("4567", std::string(tail, 4));
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(work, i);
  for (std::thread& thread : threads) thread.join();

  for (int thread = 0; thread < kThreads; ++thread) {
    for (int round = 0; round < kRounds; ++round) {
      EXPECT_EQ(name(thread, round), readFile(dir.file("kept-" + name(thread, round))));
      EXPECT_FALSE(fileExists(dir.file("flagged-" + name(thread, round))));
    }
  }
  EXPECT_EQ(0, openCount(source));
}

}  // namespace
