// One create + get + add a reference + release + release cycle with 10,
// 1 000 and 100 000 live records beside it, from one thread and from two.
// The baseline scans a contiguous vector, as a registry without an index must.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "quire/Object.h"
#include "quire/VelParamString.h"

namespace {

using QuireCommon::QUIRE_OBJ_PARAM_STRING;

// Records in creation order, every operation a scan from the oldest.
class ScanningRegistry {
 public:
  int create() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    const int handle = nextHandle_++;
    records_.push_back(Record{handle, 1, new Quire::VelParamString()});
    return handle;
  }
  long get(int handle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Record* r = find(handle);
    return r == nullptr ? 0 : reinterpret_cast<long>(r->object);
  }
  void addref(int handle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Record* r = find(handle)) ++r->refCount;
  }
  void release(int handle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    Record* r = find(handle);
    if (r == nullptr || --r->refCount > 0) return;
    delete r->object;
    records_.erase(records_.begin() + (r - records_.data()));
  }
  ~ScanningRegistry() {
    for (Record& r : records_) delete r.object;
  }

 private:
  struct Record {
    int handle;
    int refCount;
    Quire::VelParamString* object;
  };
  Record* find(int handle) {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [handle](const Record& r) { return r.handle == handle; });
    return it == records_.end() ? nullptr : &*it;
  }
  std::recursive_mutex mutex_;
  int nextHandle_ = 1;
  std::vector<Record> records_;
};

std::unique_ptr<QuireCommon::Object> indexed;
std::unique_ptr<ScanningRegistry> scanning;

void fill(const benchmark::State& state) {
  indexed = std::make_unique<QuireCommon::Object>();
  scanning = std::make_unique<ScanningRegistry>();
  for (int64_t i = 0; i < state.range(0); ++i) {
    indexed->createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr);
    scanning->create();
  }
}

void drop(const benchmark::State&) {
  indexed.reset();
  scanning.reset();
}

void RegistryCycle_Indexed(benchmark::State& state) {
  for (auto _ : state) {
    const int handle = indexed->createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr);
    benchmark::DoNotOptimize(indexed->getNativeObject(handle));
    indexed->addrefNativeObject(handle);
    indexed->releaseNativeObject(handle);
    indexed->releaseNativeObject(handle);
  }
}

void RegistryCycle_Scanning(benchmark::State& state) {
  for (auto _ : state) {
    const int handle = scanning->create();
    benchmark::DoNotOptimize(scanning->get(handle));
    scanning->addref(handle);
    scanning->release(handle);
    scanning->release(handle);
  }
}

BENCHMARK(RegistryCycle_Indexed)->Setup(fill)->Teardown(drop)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(RegistryCycle_Scanning)->Setup(fill)->Teardown(drop)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(RegistryCycle_Indexed)
    ->Setup(fill)->Teardown(drop)->Arg(10)->Arg(100000)->Threads(2)->UseRealTime();
BENCHMARK(RegistryCycle_Scanning)
    ->Setup(fill)->Teardown(drop)->Arg(10)->Arg(100000)->Threads(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
