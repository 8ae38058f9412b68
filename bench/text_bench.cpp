// Conversions of VelParamString against what they must keep up with: plain
// copies (the floor), iconv with a cached descriptor, iconv opened per call,
// and ICU where it is installed. Each benchmark is named What_Who: what is
// converted, by whom. bench/ratios.sh turns the repetitions into the ratios
// that the library promises.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/ByteOrder.h"
#include "platform/conv/Encodings.h"
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
static_assert(sizeof kAsciiPath == 65, "AsciiPath converts a 64-byte path");

// An ASCII path around 20 Japanese characters: 67 bytes in WINDOWS31J.
const char16_t kJapanesePath[] =
    u"/home/user/docs/日本語の文書ファイル名前変換試験用例文集/report.pdf";

// A 20-byte path around 20 Japanese or Chinese characters.
const char16_t kJapaneseText[] = u"/home/user/projects/日本語の文書ファイル名前変換試験用例文集";
const char16_t kChineseText[] = u"/home/user/projects/中文文件名称编码转换测试用例集合示范样本";

// The path benchmarks run in WINDOWS31J and UTF-8, the text ones in all
// five encodings: ICU takes iconv's names too.
using convlib::kEncodings;
using Encoding = convlib::Encoding;

const char16_t* textIn(const Encoding& e) {
  return &e == &kEncodings[convlib::kGbk] ? kChineseText : kJapaneseText;
}

const char* wideIconvName() {
  return platform::hostIsBigEndian() ? "UTF-16BE" : "UTF-16LE";
}

Wide wideOf(const char16_t* text) {
  Wide out;
  for (; *text != 0; ++text) out.push_back(static_cast<unsigned short>(*text));
  return out;
}

// Every benchmark of one encoding runs with it chosen, as a caller would.
const Encoding& useEncoding(convlib::EncodingId id) {
  const Encoding& e = kEncodings[id];
  ::setenv("VEL30_MBCS_ENCODING", e.name, 1);
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

// AsciiPath: a narrow ASCII path into both forms.
void AsciiPath_String(benchmark::State& state) {
  for (auto _ : state) {
    VelParamString s(kAsciiPath);
    benchmark::DoNotOptimize(s.w_str());
  }
}

void AsciiPath_Floor(benchmark::State& state) {
  const char* path = kAsciiPath;
  benchmark::DoNotOptimize(path);  // measured at run time, as the string does
  for (auto _ : state) {
    std::string narrow(path);
    Wide wide(narrow.begin(), narrow.end());
    benchmark::DoNotOptimize(narrow.data());
    benchmark::DoNotOptimize(wide.data());
  }
}

void AsciiPath_Iconv(benchmark::State& state) {
  CachedIconv cd(wideIconvName(), "WINDOWS-31J");
  unsigned short out[sizeof kAsciiPath];
  for (auto _ : state) cd.run(kAsciiPath, sizeof kAsciiPath - 1, out, sizeof out);
}

// JapanesePath: the Japanese path, narrow into both forms.
void JapanesePath_String(benchmark::State& state, convlib::EncodingId id) {
  useEncoding(id);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  for (auto _ : state) {
    VelParamString s(narrow.c_str());
    benchmark::DoNotOptimize(s.w_str());
  }
}

void JapanesePath_Iconv(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  CachedIconv cd(wideIconvName(), e.iconvName);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
}

void JapanesePath_IconvPerCall(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state)
    iconvPerCall(wideIconvName(), e.iconvName, narrow.data(), narrow.size(), out.data(),
                 2 * out.size());
}

// A fresh string made from narrow on every run.
void freshStrings(benchmark::State& state, const std::string& narrow) {
  for (auto _ : state) {
    VelParamString s(narrow.c_str());
    benchmark::DoNotOptimize(s.w_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

// JapanesePath100K: 100 KB of the Japanese path, narrow into both forms.
void JapanesePath100K_String(benchmark::State& state, convlib::EncodingId id) {
  useEncoding(id);
  freshStrings(state, repeatedTo(narrowOf(wideOf(kJapanesePath)), 100 * 1024));
}

void JapanesePath100K_Iconv(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = repeatedTo(narrowOf(wideOf(kJapanesePath)), 100 * 1024);
  CachedIconv cd(wideIconvName(), e.iconvName);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

// WideAsciiPath, WideJapanesePath: the wide counterparts of the two paths.
void WideAsciiPath_String(benchmark::State& state) {
  const Wide wide(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  for (auto _ : state) {
    VelParamString s(wide.c_str());
    benchmark::DoNotOptimize(s.c_str());
  }
}

void WideAsciiPath_Floor(benchmark::State& state) {
  const Wide source(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  for (auto _ : state) {
    Wide wide(source.c_str());
    std::string narrow(wide.begin(), wide.end());
    benchmark::DoNotOptimize(narrow.data());
    benchmark::DoNotOptimize(wide.data());
  }
}

void WideAsciiPath_Iconv(benchmark::State& state) {
  const Wide wide(kAsciiPath, kAsciiPath + sizeof kAsciiPath - 1);
  CachedIconv cd("WINDOWS-31J", wideIconvName());
  char out[sizeof kAsciiPath];
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out, sizeof out);
}

void WideJapanesePath_String(benchmark::State& state, convlib::EncodingId id) {
  useEncoding(id);
  const Wide wide = wideOf(kJapanesePath);
  for (auto _ : state) {
    VelParamString s(wide.c_str());
    benchmark::DoNotOptimize(s.c_str());
  }
}

void WideJapanesePath_Iconv(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = wideOf(kJapanesePath);
  CachedIconv cd(e.iconvName, wideIconvName());
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out.data(), out.size());
}

void WideJapanesePath_IconvPerCall(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = wideOf(kJapanesePath);
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state)
    iconvPerCall(e.iconvName, wideIconvName(), wide.data(), 2 * wide.size(), out.data(),
                 out.size());
}

// JapanesePath_Threads: threads converting the Japanese path at once, each
// as much as one thread alone; the ratio of wall times gives the throughput
// gained.
void JapanesePath_Threads(benchmark::State& state, convlib::EncodingId id) {
  useEncoding(id);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  const auto work = [&narrow] {
    for (int i = 0; i < 20000; ++i) {
      VelParamString s(narrow.c_str());
      benchmark::DoNotOptimize(s.w_str());
    }
  };
  for (auto _ : state) {
    std::vector<std::thread> threads;
    for (int t = 0; t < state.range(0); ++t) threads.emplace_back(work);
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

void JapanesePath_Icu(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = narrowOf(wideOf(kJapanesePath));
  CachedIcu cnv(e.iconvName);
  std::vector<UChar> out(narrow.size() + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_toUChars(cnv.get(), out.data(), out.size(), narrow.data(),
                                           narrow.size(), &error));
  }
}

void WideJapanesePath_Icu(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::u16string wide(kJapanesePath);
  CachedIcu cnv(e.iconvName);
  std::vector<char> out(4 * wide.size() + 1);
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_fromUChars(cnv.get(), out.data(), out.size(), wide.data(),
                                             wide.size(), &error));
  }
}

// ShortDecode: the short text into both forms, as ICU with a cached
// converter does it: converted into a buffer, then both forms held in two strings.
void ShortDecode_Icu(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = narrowOf(wideOf(textIn(e)));
  CachedIcu cnv(e.iconvName);
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

// ShortEncode: the wide counterpart of ShortDecode.
void ShortEncode_Icu(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = wideOf(textIn(e));
  CachedIcu cnv(e.iconvName);
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

#endif

// ShortDecode and ShortEncode for the string: one string assigned again and again.
void ShortDecode_String(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = narrowOf(wideOf(textIn(e)));
  VelParamString s;
  for (auto _ : state) {
    s = narrow.c_str();
    benchmark::DoNotOptimize(s.w_str());
  }
}

void ShortEncode_String(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = wideOf(textIn(e));
  VelParamString s;
  for (auto _ : state) {
    s = wide.c_str();
    benchmark::DoNotOptimize(s.c_str());
  }
}

constexpr std::size_t kBulkBytes = 1 << 20;

// BulkDecode: 1 MB of the short text over and over, into a string assigned
// again and again, or into a fresh string each time, against iconv
// converting it into a buffer made beforehand.
void BulkDecode_String(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = repeatedTo(narrowOf(wideOf(textIn(e))), kBulkBytes);
  VelParamString s;
  for (auto _ : state) {
    s = narrow.c_str();
    benchmark::DoNotOptimize(s.w_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

void BulkDecode_FreshString(benchmark::State& state, convlib::EncodingId id) {
  freshStrings(state, repeatedTo(narrowOf(wideOf(textIn(useEncoding(id)))), kBulkBytes));
}

void BulkDecode_Iconv(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const std::string narrow = repeatedTo(narrowOf(wideOf(textIn(e))), kBulkBytes);
  CachedIconv cd(wideIconvName(), e.iconvName);
  std::vector<unsigned short> out(narrow.size() + 1);
  for (auto _ : state) cd.run(narrow.data(), narrow.size(), out.data(), 2 * out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(narrow.size()));
}

// BulkEncode: the same text, wide, encoded.
void BulkEncode_String(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = repeatedTo(wideOf(textIn(e)), kBulkBytes / 2);
  VelParamString s;
  for (auto _ : state) {
    s = wide.c_str();
    benchmark::DoNotOptimize(s.c_str());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(2 * wide.size()));
}

void BulkEncode_Iconv(benchmark::State& state, convlib::EncodingId id) {
  const Encoding& e = useEncoding(id);
  const Wide wide = repeatedTo(wideOf(textIn(e)), kBulkBytes / 2);
  CachedIconv cd(e.iconvName, wideIconvName());
  std::vector<char> out(4 * wide.size() + 8);
  for (auto _ : state) cd.run(wide.data(), 2 * wide.size(), out.data(), out.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(2 * wide.size()));
}

// AsciiBulkDecode_Component: 1 MB of plain ASCII decoded by the component
// (the string alone would take its shortcut past it).
void AsciiBulkDecode_Component(benchmark::State& state) {
  const std::string ascii = repeatedTo(std::string(kAsciiPath), kBulkBytes);
  const int bytes = static_cast<int>(ascii.size());
  std::vector<unsigned short> out(ascii.size() + 1);
  const Quire::VelCodeConverter converter(kEncodings[convlib::kWindows31J].name,
                                          convlib::kUcs2Name);
  for (auto _ : state) {
    converter.decodeBuffer(ascii.data(), bytes, out.data(),
                           Quire::VelCodeConverter::decodeCapacity(bytes));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ascii.size()));
}

BENCHMARK(AsciiBulkDecode_Component);

BENCHMARK(AsciiPath_String);
BENCHMARK(AsciiPath_Floor);
BENCHMARK(AsciiPath_Iconv);
BENCHMARK(WideAsciiPath_String);
BENCHMARK(WideAsciiPath_Floor);
BENCHMARK(WideAsciiPath_Iconv);

}  // namespace

// Benchmarks of one encoding are registered once for each that they run in,
// named after it: BulkDecode_String/UTF-8.
int main(int argc, char** argv) {
  using Ids = std::vector<convlib::EncodingId>;
  using Run = void (*)(benchmark::State&, convlib::EncodingId);
  const auto inEach = [](const char* name, Run run, const Ids& ids) {
    std::vector<benchmark::internal::Benchmark*> added;
    for (const convlib::EncodingId id : ids)
      added.push_back(benchmark::RegisterBenchmark(
          (std::string(name) + "/" + kEncodings[id].name).c_str(), run, id));
    return added;
  };
  const Ids paths = {convlib::kWindows31J, convlib::kUtf8};
  Ids all;
  for (int id = 0; id < convlib::kEncodingCount; ++id) all.push_back(convlib::EncodingId(id));
  // By a macro, so that each is named once.
#define QUIRE_IN_EACH(run, ids) inEach(#run, run, ids)
  QUIRE_IN_EACH(JapanesePath_String, paths);
  QUIRE_IN_EACH(JapanesePath_Iconv, paths);
  QUIRE_IN_EACH(JapanesePath_IconvPerCall, paths);
  QUIRE_IN_EACH(JapanesePath100K_String, paths);
  QUIRE_IN_EACH(JapanesePath100K_Iconv, paths);
  QUIRE_IN_EACH(WideJapanesePath_String, paths);
  QUIRE_IN_EACH(WideJapanesePath_Iconv, paths);
  QUIRE_IN_EACH(WideJapanesePath_IconvPerCall, paths);
  for (auto* threads : QUIRE_IN_EACH(JapanesePath_Threads, Ids{convlib::kWindows31J}))
    threads->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
  QUIRE_IN_EACH(ShortDecode_String, all);
  QUIRE_IN_EACH(ShortEncode_String, all);
  QUIRE_IN_EACH(BulkDecode_String, all);
  QUIRE_IN_EACH(BulkDecode_FreshString, all);
  QUIRE_IN_EACH(BulkDecode_Iconv, all);
  QUIRE_IN_EACH(BulkEncode_String, all);
  QUIRE_IN_EACH(BulkEncode_Iconv, all);
#ifdef QUIRE_BENCH_WITH_ICU
  QUIRE_IN_EACH(JapanesePath_Icu, paths);
  QUIRE_IN_EACH(WideJapanesePath_Icu, paths);
  QUIRE_IN_EACH(ShortDecode_Icu, all);
  QUIRE_IN_EACH(ShortEncode_Icu, all);
#endif
#undef QUIRE_IN_EACH
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
