// Runs each seed in the folders named once through LLVMFuzzerTestOneInput, without libFuzzer, so
// that every build replays them under ctest. A failed check aborts after the seed's name.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int seeds = 0;
  for (int i = 1; i < argc; ++i)
    for (const auto& seed : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream in(seed.path(), std::ios::binary);
      // Exactly the seed's size, so that a read past its end shows as it would under libFuzzer.
      const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      std::fprintf(stderr, "%s\n", seed.path().filename().string().c_str());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++seeds;
    }
  std::printf("%d seeds replayed\n", seeds);
  return seeds > 0 ? 0 : 1;
}
