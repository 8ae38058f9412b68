// Arbitrary bytes in one of the five encodings (chosen by the first byte),
// decoded through the component, VelCodeConverter and VelParamString.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ConvLib.h"
#include "quire/VelParamString.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace {

const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8", "ChineseGBK"};

using Wide = std::basic_string<unsigned short>;

void check(bool condition) {
  if (!condition) std::abort();
}

// The target bytes of one conversion through the component, with or without
// its fast paths.
std::vector<unsigned char> decodeRaw(const char* encoding, const char* bytes, std::size_t count,
                                     int capacity, int bigEndian,
                                     int (*execute)(ConvContext*)) {
  std::vector<unsigned char> target(static_cast<std::size_t>(capacity), 0xA5);
  ConvContext context;
  std::memset(&context, 0, sizeof context);
  context.source = bytes;
  context.sourceBytes = static_cast<std::int32_t>(count);
  context.target = target.data();
  context.targetCapacity = capacity;
  const ConvInputOptions input{1, 0, 1};
  ConvOutputOptions output;
  std::memset(&output, 0, sizeof output);
  output.bigEndian = bigEndian;
  output.word3 = 1;
  check(convOpenOutput(&context, &output, Quire::kUcs2Encoding) == 0);
  check(convOpenInput(&context, &input, encoding) == 0);
  execute(&context);
  convClose(&context);
  return target;
}

bool hasZeroUnit(const std::vector<unsigned char>& target) {
  for (std::size_t i = 0; i + 1 < target.size(); i += 2)
    if (target[i] == 0 && target[i + 1] == 0) return true;
  return false;
}

bool isPlainAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80 || c == 0x1B || c == 0x0E || c == 0x0F) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* encoding = kEncodings[data[0] % 5];
  const int bigEndian = data[0] / 5 % 2;
  // Read in place, so that a read past the end shows; the copy serves the
  // string, which takes text up to the first zero byte.
  const char* const raw = reinterpret_cast<const char*>(data) + 1;
  const std::string bytes(raw, size - 1);

  // The fast paths against iconv alone, with room to spare and with little.
  // They leave all that follows their first unknown byte to iconv, so every
  // starting point is tried.
  for (std::size_t start = 0; start <= bytes.size(); ++start) {
    const std::size_t count = bytes.size() - start;
    const int full = static_cast<int>(2 * count + 2);
    const auto fast = decodeRaw(encoding, raw + start, count, full, bigEndian, convExecute);
    check(fast == decodeRaw(encoding, raw + start, count, full, bigEndian,
                            convlib::executeThroughIconvOnly));
    check(hasZeroUnit(fast));
  }
  const int tight = 2 + data[0] / 10 % 16;
  const auto cut = decodeRaw(encoding, raw, bytes.size(), tight, bigEndian, convExecute);
  check(cut == decodeRaw(encoding, raw, bytes.size(), tight, bigEndian,
                         convlib::executeThroughIconvOnly));
  check(hasZeroUnit(cut));

  const int n = static_cast<int>(bytes.size());
  std::vector<unsigned short> units(static_cast<std::size_t>(n) + 2, 0xA5A5);
  Quire::VelCodeConverter(encoding, Quire::kUcs2Encoding)
      .decodeBuffer(raw, n, units.data(), Quire::VelCodeConverter::decodeCapacity(n));
  check(units[static_cast<std::size_t>(n)] == 0 && units[static_cast<std::size_t>(n) + 1] == 0xA5A5);

  ::setenv("VEL30_MBCS_ENCODING", encoding, 1);
  const std::string text = bytes.c_str();
  const Quire::VelParamString s(text.c_str());
  check(text == s.c_str() && s.cstr_length() == static_cast<int>(text.size()));
  const Wide wide = s.w_str();
  check(s.wstr_length() == static_cast<int>(wide.size()));
  check(s.length() == (wide.empty() ? s.cstr_length() : s.wstr_length()));
  check(wide == Wide(units.data()) || text.size() != bytes.size());

  Quire::VelParamString viaConverter;
  Quire::VelCodeConverter(encoding, Quire::kUcs2Encoding).decode(s, viaConverter);
  check(wide == viaConverter.w_str());

  if (isPlainAscii(text)) {
    check(wide == Wide(text.begin(), text.end()));
    check(text == Quire::VelParamString(wide.c_str()).c_str());
  }
  return 0;
}
