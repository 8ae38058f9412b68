// Conversions of VelParamString against what they must keep up with: plain
// copies (the floor), iconv with a cached descriptor, iconv opened per call,
// and ICU where it is installed. bench/ratios.sh turns the repetitions into
// the ratios that the library promises.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/ByteOrder.h"
#include "quire/VelParamString.h"
#include "text/VelCodeConverter.h"

#ifdef QUIRE_BENCH_WITH_ICU
#include <unicode/ucnv.h>
#endif

namespace {

using Quire::VelParamString;
using Wide = std::basic_string<unsigned short>;

// 64 bytes.
const char kAsciiPath[] = "/home/user/projects/quire/reports/2024/quarterly/summary-v02.pdf";
static_assert(sizeof kAsciiPath == 65, "B1 converts a 64-byte path");

// An ASCII path around 20 Japanese characters: 67 bytes in WINDOWS31J.
const char16_t kJapanesePath[] =
    u"/home/user/docs/日本語の文書ファイル名前変換試験用例文集/report.pdf";

// A 20-byte path around 20 Japanese or Chinese characters.
const char16_t kJapaneseText[] = u"/home/user/projects/日本語の文書ファイル名前変換試験用例文集";
const char16_t kChineseText[] = u"/home/user/projects/中文文件名称编码转换测试用例集合示范样本";

struct Encoding {
  const char* ours;
  const char* iconv;
  const char* icu;
  const char16_t* text;
};
// B1-B5 use the first two; C1-C5 all five.
const Encoding kEncodings[] = {{"WINDOWS31J", "WINDOWS-31J", "windows-31j", kJapaneseText},
                               {"UTF-8", "UTF-8", "UTF-8", kJapaneseText},
                               {"EUC-JP", "EUC-JP", "EUC-JP", kJapaneseText},
                               {"ISO-2022-JP", "ISO-2022-JP", "ISO-2022-JP", kJapaneseText},
                               {"ChineseGBK", "GBK", "GBK", kChineseText}};
constexpr int kAllEncodings = 5;

const char* wideIconvName() {
  return platform::hostIsBigEndian() ? "UTF-16BE" : "UTF-16LE";
}

Wide wideOf(const char16_t* text) {
  Wide out;
  for (; *text != 0; ++text) out.push_back(static_cast<unsigned short>(*text));
  return out;
}

// Every benchmark of one encoding runs with it chosen, as a caller would.
const Encoding& useEncoding(const benchmark::State& state) {
  const Encoding& e = kEncodings[state.range(0)];
  ::setenv("VEL30_MBCS_ENCODING", e.ours, 1);
  return e;
}

std::string narrowOf(const Wide& text) { return VelParamString(text.c_str()).c_str(); }

template <typename Text>
Text repeatedTo(const Text& piece, std::size_t size) {
  Text out;
  while (out.size() < size) out += piece;
  return out;
}

// A descriptor opened once; each run converts the whole input into out.
class CachedIconv {
 public:
  CachedIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~CachedIconv() { iconv_close(cd_); }
  CachedIconv(const CachedIconv&) = delete;
  CachedIconv& operator=(const CachedIconv&) = delete;

  void run(const void* in, std::size_t inBytes, void* out, std::size_t outBytes) {
    char* src = static_cast<char*>(const_cast<void*>(in));
    char* dst = static_cast<char*>(out);
    iconv(cd_, &src, &inBytes, &dst, &outBytes);
    benchmark::DoNotOptimize(dst);
  }

 private:
  iconv_t cd_;
};

void iconvPerCall(const char* to, const char* from, const void* in,
                  std::size_t inBytes, void* out, std::size_t outBytes) {
  iconv_t cd = iconv_open(to, from);
  char* src = static_cast<char*>(const_cast<void*>(in));
  char* dst = static_cast<char*>(out);
  iconv(cd, &src, &inBytes, &dst, &outBytes);
  iconv_close(cd);
  benchmark::DoNotOptimize(dst);
}

// B1: narrow ASCII path into both forms.
void B1_VelParamString(benchmark::State& state) {
  for (auto _ : state) {
    VelParamString s(kAsciiPath);
    benchmark::DoNotOptimize(s.w_str());
  }
}

void B1_Floor(benchmark::State& state) {
  const char* path = kAsciiPath;
  benchmark::DoNotOptimize(path);  // measured at run time, as the string does
  for (auto _ : state) {
    std::string narrow(path);
    Wide wide(narrow.begin(), narrow.end());
    benchmark::DoNotOptimize(narrow.data());
    benchmark::DoNotOptimize(wide.data());
  }
}

void B1_IconvCached(benchmark::State& state) {
  CachedIconv cd(wideIconvName(), "WINDOWS-31J");
  unsigned short out[sizeof kAsciiPath];
  for (auto _ : state) cd.run(kAsciiPath, sizeof kAsciiPath - 1, out, sizeof out);
}

// B2: the Japanese path, narrow into both forms.
void B2_VelParamString(benchmark::State& state) {
  useEncoding(state);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  for (auto _ : state) {
    VelParamString s(narrow.c_str());
    benchmark::DoNotOptimize(s.w_str());
  }
}

void B2_IconvCached(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  CachedIconv cd(wideIconvName(), e.iconv);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
}

void B2_IconvPerCall(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state)
    iconvPerCall(wideIconvName(), e.iconv, narrow.data(), narrow.size(), out.data(),
                 2 * out.size());
}

// B3: 100 KB of the Japanese path, narrow into both forms.
void B3_VelParamString(benchmark::State& state) {
  useEncoding(state);
  const std::string narrow = repeatedTo(narrowOf(wideOf(kJapanesePath)), 100 * 1024);
  for (auto _ : state) {
    VelParamString s(narrow.c_str());
    benchmark::DoNotOptimize(s.w_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

void B3_IconvCached(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = repeatedTo(narrowOf(wideOf(kJapanesePath)), 100 * 1024);
  CachedIconv cd(wideIconvName(), e.iconv);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

// B4: the wide counterparts of B1 and B2.
void B4_VelParamString_Ascii(benchmark::State& state) {
  const Wide wide(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  for (auto _ : state) {
    VelParamString s(wide.c_str());
    benchmark::DoNotOptimize(s.c_str());
  }
}

void B4_Floor_Ascii(benchmark::State& state) {
  const Wide source(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  for (auto _ : state) {
    Wide wide(source.c_str());
    std::string narrow(wide.begin(), wide.end());
    benchmark::DoNotOptimize(narrow.data());
    benchmark::DoNotOptimize(wide.data());
  }
}

void B4_IconvCached_Ascii(benchmark::State& state) {
  const Wide wide(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  CachedIconv cd("WINDOWS-31J", wideIconvName());
  char out[sizeof kAsciiPath];
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out, sizeof out);
}

void B4_VelParamString(benchmark::State& state) {
  useEncoding(state);
  const Wide wide = wideOf(kJapanesePath);
  for (auto _ : state) {
    VelParamString s(wide.c_str());
    benchmark::DoNotOptimize(s.c_str());
  }
}

void B4_IconvCached(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = wideOf(kJapanesePath);
  CachedIconv cd(e.iconv, wideIconvName());
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out.data(), out.size());
}

void B4_IconvPerCall(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = wideOf(kJapanesePath);
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state)
    iconvPerCall(e.iconv, wideIconvName(), wide.data(), 2 * wide.size(), out.data(),
                 out.size());
}

// B5: threads converting the Japanese path at once, each as much as one
// thread alone; the ratio of wall times gives the throughput gained.
void B5_Threads(benchmark::State& state) {
  useEncoding(state);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  const auto work = [&narrow] {
    for (int i = 0; i < 20000; ++i) {
      VelParamString s(narrow.c_str());
      benchmark::DoNotOptimize(s.w_str());
    }
  };
  for (auto _ : state) {
    std::vector<std::thread> threads;
    for (int t = 0; t < state.range(1); ++t) threads.emplace_back(work);
    for (std::thread& t : threads) t.join();
  }
}

#ifdef QUIRE_BENCH_WITH_ICU
// ICU with a converter opened once; ucnv_toUChars resets it on each call.
class CachedIcu {
 public:
  explicit CachedIcu(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    cnv_ = ucnv_open(name, &error);
    if (U_FAILURE(error)) std::abort();
  }
  ~CachedIcu() { ucnv_close(cnv_); }
  CachedIcu(const CachedIcu&) = delete;
  CachedIcu& operator=(const CachedIcu&) = delete;
  UConverter* get() const { return cnv_; }

 private:
  UConverter* cnv_;
};

void B2_IcuCached(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  CachedIcu cnv(e.icu);
  std::vector<UChar> out(narrow.size() + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_toUChars(cnv.get(), out.data(), out.size(), narrow.data(),
                                           narrow.size(), &error));
  }
}

void B4_IcuCached(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::u16string wide(kJapanesePath);
  CachedIcu cnv(e.icu);
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_fromUChars(cnv.get(), out.data(), out.size(), wide.data(),
                                             wide.size(), &error));
  }
}

// C1: the short text into both forms, as ICU with a cached converter does
// it: converted into a buffer, then both forms held in two strings.
void C1_DecodeIcu(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = narrowOf(wideOf(e.text));
  CachedIcu cnv(e.icu);
  std::vector<UChar> buffer(narrow.size() + 1);
  std::string narrowForm;
  Wide wideForm;
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(cnv.get(), buffer.data(), static_cast<int32_t>(buffer.size()),
                                    narrow.data(), static_cast<int32_t>(narrow.size()), &error);
    narrowForm.assign(narrow.c_str());
    wideForm.assign(reinterpret_cast<const unsigned short*>(buffer.data()),
                    static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(narrowForm.data());
    benchmark::DoNotOptimize(wideForm.data());
  }
}

// C2: the wide counterpart of C1.
void C2_EncodeIcu(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = wideOf(e.text);
  CachedIcu cnv(e.icu);
  std::vector<char> buffer(4 * wide.size() + 8);
  std::string narrowForm;
  Wide wideForm;
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    wideForm.assign(wide.c_str());
    const int32_t n = ucnv_fromUChars(cnv.get(), buffer.data(), static_cast<int32_t>(buffer.size()),
                                      reinterpret_cast<const UChar*>(wideForm.data()),
                                      static_cast<int32_t>(wideForm.size()), &error);
    narrowForm.assign(buffer.data(), static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(narrowForm.data());
    benchmark::DoNotOptimize(wideForm.data());
  }
}

BENCHMARK(B2_IcuCached)->Arg(0)->Arg(1);
BENCHMARK(B4_IcuCached)->Arg(0)->Arg(1);
BENCHMARK(C1_DecodeIcu)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C2_EncodeIcu)->DenseRange(0, kAllEncodings - 1);
#endif

// C1 and C2 for the string: one string assigned again and again.
void C1_DecodeString(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = narrowOf(wideOf(e.text));
  VelParamString s;
  for (auto _ : state) {
    s = narrow.c_str();
    benchmark::DoNotOptimize(s.w_str());
  }
}

void C2_EncodeString(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = wideOf(e.text);
  VelParamString s;
  for (auto _ : state) {
    s = wide.c_str();
    benchmark::DoNotOptimize(s.c_str());
  }
}

constexpr std::size_t kBulkBytes = 1 << 20;

// C3: 1 MB of the short text over and over, into a string, against iconv
// converting it into a buffer.
void C3_DecodeString(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = repeatedTo(narrowOf(wideOf(e.text)), kBulkBytes);
  VelParamString s;
  for (auto _ : state) {
    s = narrow.c_str();
    benchmark::DoNotOptimize(s.w_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

void C3_DecodeIconv(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const std::string narrow = repeatedTo(narrowOf(wideOf(e.text)), kBulkBytes);
  CachedIconv cd(wideIconvName(), e.iconv);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

// C4: the same text, wide, encoded.
void C4_EncodeString(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = repeatedTo(wideOf(e.text), kBulkBytes / 2);
  VelParamString s;
  for (auto _ : state) {
    s = wide.c_str();
    benchmark::DoNotOptimize(s.c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(2 * wide.size()));
}

void C4_EncodeIconv(benchmark::State& state) {
  const Encoding& e = useEncoding(state);
  const Wide wide = repeatedTo(wideOf(e.text), kBulkBytes / 2);
  CachedIconv cd(e.iconv, wideIconvName());
  std::vector<char> out(4 * wide.size() + 8);
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out.data(), out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(2 * wide.size()));
}

// C5: 1 MB of plain ASCII decoded by the component (the string alone would
// take its shortcut past it).
void C5_AsciiDecode(benchmark::State& state) {
  const std::string ascii = repeatedTo(std::string(kAsciiPath), kBulkBytes);
  const int bytes = static_cast<int>(ascii.size());
  std::vector<unsigned short> out(ascii.size() + 1);
  const Quire::VelCodeConverter converter("WINDOWS31J", "ISO-10646-UCS-2");
  for (auto _ : state) {
    converter.decodeBuffer(ascii.data(), bytes, out.data(),
                           Quire::VelCodeConverter::decodeCapacity(bytes));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ascii.size()));
}

BENCHMARK(C1_DecodeString)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C2_EncodeString)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C3_DecodeString)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C3_DecodeIconv)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C4_EncodeString)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C4_EncodeIconv)->DenseRange(0, kAllEncodings - 1);
BENCHMARK(C5_AsciiDecode);

BENCHMARK(B1_VelParamString);
BENCHMARK(B1_Floor);
BENCHMARK(B1_IconvCached);
BENCHMARK(B2_VelParamString)->Arg(0)->Arg(1);
BENCHMARK(B2_IconvCached)->Arg(0)->Arg(1);
BENCHMARK(B2_IconvPerCall)->Arg(0)->Arg(1);
BENCHMARK(B3_VelParamString)->Arg(0)->Arg(1);
BENCHMARK(B3_IconvCached)->Arg(0)->Arg(1);
BENCHMARK(B4_VelParamString_Ascii);
BENCHMARK(B4_Floor_Ascii);
BENCHMARK(B4_IconvCached_Ascii);
BENCHMARK(B4_VelParamString)->Arg(0)->Arg(1);
BENCHMARK(B4_IconvCached)->Arg(0)->Arg(1);
BENCHMARK(B4_IconvPerCall)->Arg(0)->Arg(1);
BENCHMARK(B5_Threads)->Args({0, 1})->Args({0, 2})->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
