// FileCopy: copying a 64 MiB file in 64 KiB blocks through VelParamInput::read
// and VelParamOutput::write, against std::ifstream::read and
// std::ofstream::write directly. InputCopy: the handle round trip of a
// VelParamInput copy, against locking and unlocking a std::recursive_mutex
// twice, the floor that the one global lock sets.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"

namespace {

constexpr int kBlockBytes = 64 * 1024;
constexpr int kFileBytes = 64 * 1024 * 1024;

// A directory of its own under the system's temporary one, with the 64 MiB
// source in it, removed at exit.
class Files {
 public:
  Files() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quire-bench-XXXXXX").string();
    if (::mkdtemp(&pattern[0]) == nullptr) std::abort();
    dir_ = pattern;
    std::ofstream out(source(), std::ios::binary);
    std::vector<char> block(kBlockBytes);
    for (int at = 0; at < kFileBytes; at += kBlockBytes) {
      for (int i = 0; i < kBlockBytes; ++i) block[i] = static_cast<char>((at / kBlockBytes) * 31 + i);
      out.write(block.data(), kBlockBytes);
    }
  }
  ~Files() { std::filesystem::remove_all(dir_); }
  std::string source() const { return dir_ + "/source.bin"; }
  std::string target() const { return dir_ + "/target.bin"; }

 private:
  std::string dir_;
};

const Files& files() {
  static const Files instance;
  return instance;
}

void FileCopy_Params(benchmark::State& state) {
  std::vector<char> block(kBlockBytes);
  for (auto _ : state) {
    Quire::VelParamInput in(files().source().c_str());
    Quire::VelParamOutput out(files().target().c_str());
    for (int got; (got = in.read(block.data(), kBlockBytes)) > 0;) out.write(block.data(), got);
    out.setRemoveFlag(0);  // kept, as the direct copy keeps its file
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kFileBytes});
}
BENCHMARK(FileCopy_Params)->Unit(benchmark::kMillisecond)->UseRealTime();

void FileCopy_Fstreams(benchmark::State& state) {
  std::vector<char> block(kBlockBytes);
  for (auto _ : state) {
    std::ifstream in(files().source(), std::ios::binary);
    std::ofstream out(files().target(), std::ios::binary);
    while (in.read(block.data(), kBlockBytes) || in.gcount() > 0)
      out.write(block.data(), in.gcount());
  }
  state.SetBytesProcessed(state.iterations() * int64_t{kFileBytes});
}
BENCHMARK(FileCopy_Fstreams)->Unit(benchmark::kMillisecond)->UseRealTime();

void InputCopy_Params(benchmark::State& state) {
  const Quire::VelParamInput in(files().source().c_str());
  for (auto _ : state) {
    Quire::VelParamInput copy(in);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(InputCopy_Params);

void InputCopy_MutexFloor(benchmark::State& state) {
  static std::recursive_mutex mutex;
  for (auto _ : state) {
    mutex.lock();
    mutex.unlock();
    mutex.lock();
    mutex.unlock();
  }
}
BENCHMARK(InputCopy_MutexFloor);

}  // namespace

BENCHMARK_MAIN();
