// Arbitrary UCS-2 units (pairs of bytes after the first, which chooses one of
// the five encodings) encoded through the component, VelCodeConverter and
// VelParamString.
#include "fuzz/FuzzSupport.h"

using namespace quire_fuzz;

namespace {

// ISO-2022-JP text that ends in the initial state: its last escape, if any,
// is ESC ( B. Only for text without ESC units of its own.
bool endsUnshifted(const void* text) {
  const char* bytes = static_cast<const char*>(text);
  const char* last = std::strrchr(bytes, '\x1B');
  return last == nullptr || std::strncmp(last, "\x1B(B", 3) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Choice c = choose(data[0]);
  Wide units;
  std::vector<char> source;  // exactly the units, in the chosen order: nothing behind them
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    units.push_back(static_cast<unsigned short>(data[i] | data[i + 1] << 8));
    source.push_back(static_cast<char>(data[c.bigEndian ? i + 1 : i]));
    source.push_back(static_cast<char>(data[c.bigEndian ? i : i + 1]));
  }
  const bool checkShift =
      std::strcmp(c.encoding, "ISO-2022-JP") == 0 && units.find(0x1B) == Wide::npos;
  compareWithIconv(Quire::kUcs2Encoding, c.encoding, source.data(), source.size(),
                   1 + static_cast<int>(c.spare % 24), c.bigEndian, [&](const auto& target) {
                     if (checkShift) check(endsUnshifted(&target[0]));
                   });

  const int n = static_cast<int>(units.size());
  const int capacity = Quire::VelCodeConverter::encodeCapacity(n);
  std::vector<char> bytes(static_cast<std::size_t>(capacity) + 1, 'x');
  Quire::VelCodeConverter(Quire::kUcs2Encoding, c.encoding)
      .encodeBuffer(units.data(), n, bytes.data(), capacity);
  check(bytes[static_cast<std::size_t>(capacity) - 1] == 0 && bytes.back() == 'x');

  // The string takes units up to the first zero unit.
  const Wide text = units.c_str();
  const Quire::VelParamString s(text.c_str());
  checkForms(s);
  const std::string narrow = s.c_str();
  check(text == s.w_str());
  check(narrow == bytes.data() || text.size() != units.size());
  if (checkShift) check(endsUnshifted(narrow.c_str()));
  Quire::VelParamString viaConverter;
  Quire::VelCodeConverter(Quire::kUcs2Encoding, c.encoding).encode(s, viaConverter);
  check(narrow == viaConverter.c_str());
  if (isPlainAscii(text)) {
    check(narrow == std::string(text.begin(), text.end()));
    check(text == Quire::VelParamString(narrow.c_str()).w_str());
  }
  return 0;
}
