// Arbitrary UCS-2 units (pairs of bytes after the first, which chooses one of
// the five encodings) encoded through the component, VelCodeConverter and
// VelParamString.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ByteOrder.h"
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
// its fast paths; the units are handed over in the order bigEndian names.
std::vector<unsigned char> encodeRaw(const char* encoding, const Wide& units, int capacity,
                                     int bigEndian, int (*execute)(ConvContext*)) {
  std::vector<char> source;  // exactly the units: nothing behind them to read
  for (unsigned short u : units) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    source.push_back(bigEndian ? high : low);
    source.push_back(bigEndian ? low : high);
  }
  std::vector<unsigned char> target(static_cast<std::size_t>(capacity), 0xA5);
  ConvContext context;
  std::memset(&context, 0, sizeof context);
  context.source = source.data();
  context.sourceBytes = static_cast<std::int32_t>(source.size());
  context.target = target.data();
  context.targetCapacity = capacity;
  const ConvInputOptions input{bigEndian, 0, 1};
  ConvOutputOptions output;
  std::memset(&output, 0, sizeof output);
  output.bigEndian = 1;
  output.word3 = 1;
  check(convOpenOutput(&context, &output, encoding) == 0);
  check(convOpenInput(&context, &input, Quire::kUcs2Encoding) == 0);
  execute(&context);
  convClose(&context);
  return target;
}

bool isPlainAscii(const Wide& text) {
  for (unsigned short u : text)
    if (u >= 0x80 || u == 0x1B || u == 0x0E || u == 0x0F) return false;
  return true;
}

// ISO-2022-JP text that ends in the initial state: its last escape, if any,
// is ESC ( B. Only for text without ESC units of its own.
bool endsUnshifted(const std::string& bytes) {
  const std::size_t last = bytes.rfind('\x1B');
  return last == std::string::npos || bytes.compare(last, 3, "\x1B(B") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* encoding = kEncodings[data[0] % 5];
  const bool iso2022 = data[0] % 5 == 2;
  const int bigEndian = data[0] / 5 % 2;
  Wide units;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    units.push_back(static_cast<unsigned short>(data[i] | data[i + 1] << 8));
  const bool checkShift = iso2022 && units.find(0x1B) == Wide::npos;

  // The fast paths against iconv alone, with room to spare and with little.
  // They leave all that follows their first unknown unit to iconv, so every
  // starting point is tried.
  for (std::size_t start = 0; start <= units.size(); ++start) {
    const Wide rest = units.substr(start);
    const int full = 6 * static_cast<int>(rest.size() + 1);
    const auto fast = encodeRaw(encoding, rest, full, bigEndian, convExecute);
    check(fast == encodeRaw(encoding, rest, full, bigEndian, convlib::executeThroughIconvOnly));
    check(std::find(fast.begin(), fast.end(), 0) != fast.end());
    if (checkShift) check(endsUnshifted(reinterpret_cast<const char*>(fast.data())));
  }
  const int tight = 1 + data[0] / 10 % 24;
  const auto cut = encodeRaw(encoding, units, tight, bigEndian, convExecute);
  check(cut == encodeRaw(encoding, units, tight, bigEndian, convlib::executeThroughIconvOnly));
  check(std::find(cut.begin(), cut.end(), 0) != cut.end());
  if (checkShift) check(endsUnshifted(reinterpret_cast<const char*>(cut.data())));

  const int n = static_cast<int>(units.size());
  const int capacity = Quire::VelCodeConverter::encodeCapacity(n);
  std::vector<char> bytes(static_cast<std::size_t>(capacity) + 1, 'x');
  Quire::VelCodeConverter(Quire::kUcs2Encoding, encoding)
      .encodeBuffer(units.data(), n, bytes.data(), capacity);
  check(bytes[static_cast<std::size_t>(capacity) - 1] == 0 && bytes.back() == 'x');

  // The string takes units up to the first zero unit.
  ::setenv("VEL30_MBCS_ENCODING", encoding, 1);
  const Wide text = units.c_str();
  const Quire::VelParamString s(text.c_str());
  check(text == s.w_str() && s.wstr_length() == static_cast<int>(text.size()));
  const std::string narrow = s.c_str();
  check(s.cstr_length() == static_cast<int>(narrow.size()));
  check(narrow == bytes.data() || text.size() != units.size());
  if (checkShift) check(endsUnshifted(narrow));

  Quire::VelParamString viaConverter;
  Quire::VelCodeConverter(Quire::kUcs2Encoding, encoding).encode(s, viaConverter);
  check(narrow == viaConverter.c_str());

  if (isPlainAscii(text)) {
    check(narrow == std::string(text.begin(), text.end()));
    check(text == Quire::VelParamString(narrow.c_str()).w_str());
  }
  return 0;
}
