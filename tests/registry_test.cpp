#include "quire/Object.h"

#include <atomic>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/DocCore.h"
#include "registry/ParamHolders.h"
#include "tests/TestSupport.h"

namespace {

using QuireCommon::Object;
using QuireCommon::QUIRE_OBJ_TYPE;
constexpr QUIRE_OBJ_TYPE kString = QuireCommon::QUIRE_OBJ_PARAM_STRING,
                         kInput = QuireCommon::QUIRE_OBJ_PARAM_INPUT,
                         kOutput = QuireCommon::QUIRE_OBJ_PARAM_OUTPUT,
                         kOther = static_cast<QUIRE_OBJ_TYPE>(4242);

// Moves the handle counter close to its end instead of issuing 268 million handles.
struct WrappingObject : Object {
  void setNextHandle(int handle) { nextHandle = handle; }
};

// Its deletion, under the registry's lock (so threads may share a log), logs its tag.
template <typename Base>
struct Logged : Base {
  Logged(std::vector<int>& log, int tag) : log_(log), tag_(tag) {}
  ~Logged() override { log_.push_back(tag_); }
  std::vector<int>& log_;
  const int tag_;
};
using ObservedStream = Logged<std::istringstream>;
using ClosingDocument = Logged<DocCore::PDFDocument>;

// A new input that owns an ObservedStream.
int observedInput(Object& registry, std::vector<int>& log) {
  const int handle = registry.createNativeObject(kInput, nullptr);
  auto* holder = reinterpret_cast<Quire::ParamInputHolder*>(registry.getNativeObject(handle));
  holder->stream = new ObservedStream(log, handle);
  holder->ownsStream = true;
  return handle;
}

// Each test in a directory of its own, where a registry's destruction removes the temporary
// files that it counted; the old one is back before dir goes.

struct Registry : ::testing::Test {
  Registry() { std::filesystem::current_path(dir.path()); }
  ~Registry() override { std::filesystem::current_path(old); }
  quire_test::TempDir dir;
  const std::filesystem::path old = std::filesystem::current_path();
};

TEST_F(Registry, IssuesHandlesInOrderAndWrapsPastLiveOnes) {
  WrappingObject registry;
  std::vector<int> issued;
  const auto create = [&](int count) {
    for (int i = 0; i < count; ++i) issued.push_back(registry.createNativeObject(kString, nullptr));
  };
  create(3);
  registry.releaseNativeObject(3);
  registry.setNextHandle(Object::kMaxHandle - 1);
  create(4);  // 1 and 2 are still live, 3 is free again
  registry.releaseNativeObject(1);
  registry.setNextHandle(Object::kMaxHandle);
  create(2);  // the maximum is live, so the counter wraps straight on to the free 1
  EXPECT_EQ((std::vector<int>{1, 2, 3, Object::kMaxHandle - 1, Object::kMaxHandle, 3, 4, 1, 5}),
            issued);
}

// A kind outside the three gets a record without an object; setNativeObject deletes the
// record's document before it stores the next, and counts a temporary file for destruction
// to remove. Handles without a record are ignored.
TEST_F(Registry, SetNativeObjectReplacesTheDocumentAndCountsButOnlyOnARecord) {
  Object registry;
  for (QUIRE_OBJ_TYPE kind : {kString, kInput, kOutput, kOther})
    registry.createNativeObject(kind, nullptr);
  std::vector<int> closed;
  auto* first = new ClosingDocument(closed, 1);
  registry.setNativeObject(4, first);
  EXPECT_EQ(reinterpret_cast<QuireCommon::QUIRE_ADDRESS>(first), registry.getNativeObject(4));
  registry.setNativeObject(4, new ClosingDocument(closed, 2));
  registry.setNativeObject(4, nullptr);
  registry.releaseNativeObject(4);
  ClosingDocument stray(closed, 3);
  for (int handle : {4, 0, -1, 5}) {  // released, never issued, or none
    registry.addrefNativeObject(handle);
    registry.releaseNativeObject(handle);
    registry.setNativeObject(handle, &stray);
    EXPECT_EQ(0, registry.getNativeObject(handle)) << handle;
  }
  EXPECT_EQ((std::vector<int>{1, 2}), closed);
  EXPECT_EQ(3, registry.getTempFileNum());
  EXPECT_EQ(5, registry.createNativeObject(kString, nullptr));
}

TEST_F(Registry, DestructionRemovesTheTemporaryFilesThatItCounted) {
  const auto name = [](char i) { return std::string("Pdf-v3-temp") + i + ".pdf"; };
  // setNativeObject calls, and which of Pdf-v3-temp0..2.pdf are left then.
  for (const auto& c : {std::make_pair(0, "012"), std::make_pair(1, "12"), std::make_pair(2, "2"),
                        std::make_pair(5, "2")}) {
    for (char i : {'0', '1', '2'}) quire_test::writeFile(name(i), "x");
    {
      Object counting;
      const int handle = counting.createNativeObject(kOther, nullptr);
      for (int i = 0; i < c.first; ++i) counting.setNativeObject(handle, nullptr);
    }
    std::string left;
    for (char i : {'0', '1', '2'}) left += quire_test::fileExists(name(i)) ? std::string(1, i) : "";
    EXPECT_EQ(c.second, left) << c.first << " calls";
  }
}

// Copies of a registry share its records (the out-of-memory sweep compares them), deleting none.

TEST_F(Registry, DeletesAtTheLastReleaseAndTheRestOldestFirstAtDestruction) {
  std::vector<int> deleted;
  {
    Object registry;
    for (int i = 0; i < 4; ++i) registry.addrefNativeObject(observedInput(registry, deleted));
    {
      Object copy(registry), assigned;
      assigned = registry;
      copy = assigned = Object();
    }
    registry.releaseNativeObject(2);
    EXPECT_TRUE(deleted.empty());
    registry.releaseNativeObject(2);
    EXPECT_EQ(std::vector<int>{2}, deleted);
  }
  EXPECT_EQ((std::vector<int>{2, 1, 3, 4}), deleted);
}

// Four threads create, look up and release handles on one instance, where each hands a reference on
// every handle it makes to whichever thread comes next; every object goes exactly once.
TEST_F(Registry, ThreadsShareHandlesSafely) {
  constexpr int kThreads = 4, kRounds = 2000;
  Object shared;
  std::vector<int> deleted;
  std::atomic<int> passed{0};  // a handle with a reference to take
  auto worker = [&] {
    for (int round = 0; round < kRounds; ++round) {
      const int handle = observedInput(shared, deleted);
      shared.addrefNativeObject(handle);  // the reference that travels
      const int received = passed.exchange(handle);
      shared.releaseNativeObject(handle);
      EXPECT_TRUE(received == 0 || shared.getNativeObject(received) != 0);
      shared.releaseNativeObject(received);
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(worker);
  for (std::thread& t : threads) t.join();
  shared.releaseNativeObject(passed.load());
  EXPECT_EQ(std::size_t(kThreads * kRounds), deleted.size());
}

}  // namespace
