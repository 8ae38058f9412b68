#include "quire/Object.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/DocCore.h"
#include "quire/VelParamString.h"
#include "registry/ParamHolders.h"
#include "tests/TestSupport.h"

namespace {

using QuireCommon::Object;
using QuireCommon::QUIRE_OBJ_PARAM_INPUT;
using QuireCommon::QUIRE_OBJ_PARAM_OUTPUT;
using QuireCommon::QUIRE_OBJ_PARAM_STRING;
using QuireCommon::QUIRE_OBJ_TYPE;

// Lets a test move the handle counter close to its end instead of issuing
// 268 million handles.
class WrappingObject : public Object {
 public:
  void setNextHandle(int handle) { nextHandle = handle; }
};

// A stream whose deletion the test can see: the registry deletes owned
// streams through their virtual destructor.
class ObservedStream : public std::istringstream {
 public:
  ObservedStream(std::vector<int>* log, int id) : log_(log), id_(id) {}
  ~ObservedStream() override { log_->push_back(id_); }

 private:
  std::vector<int>* log_;
  int id_;
};

Quire::ParamInputHolder* inputHolder(const Object& registry, int handle) {
  return reinterpret_cast<Quire::ParamInputHolder*>(registry.getNativeObject(handle));
}

// Gives the input holder behind handle an owned stream that logs its id.
void attachObserved(const Object& registry, int handle, std::vector<int>* log, int id) {
  Quire::ParamInputHolder* holder = inputHolder(registry, handle);
  ASSERT_NE(nullptr, holder);
  holder->stream = new ObservedStream(log, id);
  holder->ownsStream = true;
}

TEST(Registry, IssuesHandlesInOrderAndWrapsPastLiveOnes) {
  WrappingObject registry;
  EXPECT_EQ(1, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  EXPECT_EQ(2, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  EXPECT_EQ(3, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  registry.releaseNativeObject(3);

  registry.setNextHandle(Object::kMaxHandle - 1);
  EXPECT_EQ(Object::kMaxHandle - 1, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  EXPECT_EQ(Object::kMaxHandle, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  // 1 and 2 are still live, 3 is free again.
  EXPECT_EQ(3, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  EXPECT_EQ(4, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));

  registry.releaseNativeObject(1);
  registry.setNextHandle(Object::kMaxHandle);
  // Max is live, so the counter wraps straight on to the free 1.
  EXPECT_EQ(1, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
  EXPECT_EQ(5, registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
}

TEST(Registry, BuildsObjectsByKind) {
  Object registry;
  const int text = registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr);
  const int input = registry.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
  const int output = registry.createNativeObject(QUIRE_OBJ_PARAM_OUTPUT, nullptr);
  const int other = registry.createNativeObject(static_cast<QUIRE_OBJ_TYPE>(4242), nullptr);

  const auto* string = reinterpret_cast<Quire::VelParamString*>(registry.getNativeObject(text));
  ASSERT_NE(nullptr, string);
  EXPECT_EQ(0, string->length());
  const Quire::ParamInputHolder* in = inputHolder(registry, input);
  ASSERT_NE(nullptr, in);
  EXPECT_EQ(nullptr, in->stream);
  EXPECT_FALSE(in->ownsStream);
  const auto* out = reinterpret_cast<Quire::ParamOutputHolder*>(registry.getNativeObject(output));
  ASSERT_NE(nullptr, out);
  EXPECT_EQ(nullptr, out->stream);
  EXPECT_FALSE(out->ownsStream);
  EXPECT_TRUE(out->removeFlag);

  EXPECT_EQ(4, other);
  EXPECT_EQ(0, registry.getNativeObject(other));
  registry.releaseNativeObject(other);
  // The record is gone: a new reference to it does nothing.
  registry.addrefNativeObject(other);
  EXPECT_EQ(0, registry.getNativeObject(other));
}

TEST(Registry, DeletesAtTheLastReleaseOnly) {
  Object registry;
  std::vector<int> deleted;
  const int handle = registry.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
  attachObserved(registry, handle, &deleted, handle);
  registry.addrefNativeObject(handle);
  registry.addrefNativeObject(handle);

  registry.releaseNativeObject(handle);
  registry.releaseNativeObject(handle);
  EXPECT_TRUE(deleted.empty());
  EXPECT_NE(0, registry.getNativeObject(handle));
  registry.releaseNativeObject(handle);
  EXPECT_EQ(std::vector<int>{handle}, deleted);
  EXPECT_EQ(0, registry.getNativeObject(handle));

  registry.releaseNativeObject(handle);
  registry.releaseNativeObject(-1);
  registry.releaseNativeObject(0);
  registry.addrefNativeObject(-1);
  EXPECT_EQ(0, registry.getNativeObject(-1));
  EXPECT_EQ(0, registry.getNativeObject(0));
  EXPECT_EQ(std::vector<int>{handle}, deleted);

  // A caller's stream (not owned) survives its holder.
  std::istringstream callers("kept");
  const int borrowed = registry.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
  inputHolder(registry, borrowed)->stream = &callers;
  registry.releaseNativeObject(borrowed);
  std::string word;
  callers >> word;
  EXPECT_EQ("kept", word);
}

TEST(Registry, SetNativeObjectReplacesDocumentsAndCounts) {
  Object registry;
  EXPECT_EQ(0, registry.getTempFileNum());
  int closed = 0;
  const int handle = registry.createNativeObject(static_cast<QUIRE_OBJ_TYPE>(1), nullptr);

  auto* first = new DocCore::PDFDocument([&closed] { ++closed; });
  registry.setNativeObject(handle, first);
  EXPECT_EQ(reinterpret_cast<QuireCommon::QUIRE_ADDRESS>(first), registry.getNativeObject(handle));
  EXPECT_EQ(0, closed);

  registry.setNativeObject(handle, new DocCore::PDFDocument([&closed] { closed += 10; }));
  EXPECT_EQ(1, closed);
  registry.setNativeObject(handle, nullptr);
  EXPECT_EQ(11, closed);
  EXPECT_EQ(0, registry.getNativeObject(handle));
  EXPECT_EQ(3, registry.getTempFileNum());

  DocCore::PDFDocument stray([&closed] { closed += 100; });
  registry.setNativeObject(handle + 1, &stray);
  EXPECT_EQ(3, registry.getTempFileNum());
  EXPECT_EQ(11, closed);
  registry.releaseNativeObject(handle);
}

TEST(Registry, DestructionDeletesOldestFirstWhateverTheCount) {
  std::vector<int> deleted;
  {
    Object registry;
    for (int i = 0; i < 4; ++i) {
      const int handle = registry.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
      attachObserved(registry, handle, &deleted, handle);
      registry.addrefNativeObject(handle);
    }
    registry.releaseNativeObject(2);
    registry.releaseNativeObject(2);
  }
  EXPECT_EQ((std::vector<int>{2, 1, 3, 4}), deleted);
}

TEST(Registry, DestructionDeletesTemporaryFilesByCount) {
  quire_test::TempDir dir;
  quire_test::ScopedCurrentDir inside(dir.path());
  const char* const names[] = {"Pdf-v3-temp0.pdf", "Pdf-v3-temp1.pdf", "Pdf-v3-temp2.pdf"};
  struct Case {
    int calls;
    bool temp0Left;
    bool temp1Left;
  };
  for (const Case c : {Case{0, true, true}, Case{1, false, true}, Case{5, false, false}}) {
    SCOPED_TRACE(c.calls);
    for (const char* name : names) quire_test::writeFile(dir.file(name), "x");
    {
      Object registry;
      const int handle = registry.createNativeObject(static_cast<QUIRE_OBJ_TYPE>(7), nullptr);
      for (int i = 0; i < c.calls; ++i) registry.setNativeObject(handle, nullptr);
    }
    EXPECT_EQ(c.temp0Left, quire_test::fileExists(dir.file(names[0])));
    EXPECT_EQ(c.temp1Left, quire_test::fileExists(dir.file(names[1])));
    EXPECT_TRUE(quire_test::fileExists(dir.file(names[2])));
  }
}

TEST(Registry, CopiesShareRecordsWithoutDeletingThem) {
  std::vector<int> deleted;
  Object source;
  const int handle = source.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
  attachObserved(source, handle, &deleted, handle);
  {
    Object copy(source);
    EXPECT_EQ(source.getNativeObject(handle), copy.getNativeObject(handle));
    EXPECT_EQ(handle + 1, copy.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr));
    Object assigned;
    assigned = source;
    EXPECT_EQ(source.getNativeObject(handle), assigned.getNativeObject(handle));
    // Only one of them may delete a shared object: hand it over to source.
    copy.releaseNativeObject(handle + 1);
    copy = Object();
    assigned = Object();
  }
  EXPECT_TRUE(deleted.empty());
  source.releaseNativeObject(handle);
  EXPECT_EQ(std::vector<int>{handle}, deleted);
}

// Four threads create, look up and release handles on instances of their own
// and on one shared instance, where each hands a reference on every handle
// it makes to the next thread; every shared object goes exactly once.
TEST(Registry, ThreadsShareHandlesSafely) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  Object shared;
  std::atomic<int> destroyed{0};
  struct CountingStream : std::istringstream {
    explicit CountingStream(std::atomic<int>* count) : count_(count) {}
    ~CountingStream() override { count_->fetch_add(1); }
    std::atomic<int>* count_;
  };
  std::mutex mutex;
  std::deque<int> passed[kThreads];  // handles waiting for each thread

  auto worker = [&](int id) {
    Object own;
    for (int round = 0; round < kRounds; ++round) {
      const int local = own.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr);
      EXPECT_NE(0, own.getNativeObject(local));
      own.releaseNativeObject(local);

      const int handle = shared.createNativeObject(QUIRE_OBJ_PARAM_INPUT, nullptr);
      inputHolder(shared, handle)->stream = new CountingStream(&destroyed);
      inputHolder(shared, handle)->ownsStream = true;
      shared.addrefNativeObject(handle);  // the reference that travels
      int received = 0;
      {
        std::lock_guard<std::mutex> lock(mutex);
        passed[(id + 1) % kThreads].push_back(handle);
        if (!passed[id].empty()) {
          received = passed[id].front();
          passed[id].pop_front();
        }
      }
      shared.releaseNativeObject(handle);
      if (received != 0) {
        EXPECT_NE(0, shared.getNativeObject(received));
        shared.releaseNativeObject(received);
      }
    }
  };
  std::vector<std::thread> threads;
  for (int id = 0; id < kThreads; ++id) threads.emplace_back(worker, id);
  for (std::thread& t : threads) t.join();
  for (const std::deque<int>& left : passed)
    for (int handle : left) shared.releaseNativeObject(handle);

  EXPECT_EQ(kThreads * kRounds, destroyed.load());
  for (int handle = 1; handle <= kThreads * kRounds; ++handle)
    ASSERT_EQ(0, shared.getNativeObject(handle)) << handle;
}

}  // namespace
