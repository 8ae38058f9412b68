// Bytes in the encoding that the first byte picks, through the component, converter and string.
#include "fuzz/FuzzSupport.h"
#include "platform/conv/Ascii.h"

using namespace quire_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Choice c = choose(data[0]);
  // Read in place by the converter, so that a read past the end shows.
  const char* const raw = reinterpret_cast<const char*>(data) + 1;
  const std::string bytes(raw, size - 1);
  const int n = static_cast<int>(bytes.size());
  compareWithIconv(c, true, bytes);

  std::vector<unsigned short> units(static_cast<std::size_t>(n) + 2, 0xA5A5);
  Quire::VelCodeConverter(c.encoding, Quire::kUcs2Encoding)
      .decodeBuffer(raw, n, units.data(), Quire::VelCodeConverter::decodeCapacity(n));
  check(units[units.size() - 2] == 0 && units.back() == 0xA5A5);

  // The string takes text up to the first zero byte.
  const std::string text = bytes.c_str();
  const Quire::VelParamString s(text.c_str());
  checkForms(s);
  const Wide wide = s.w_str();
  check(text == s.c_str());
  Quire::VelParamString viaConverter;
  Quire::VelCodeConverter(c.encoding, Quire::kUcs2Encoding).decode(s, viaConverter);
  check(wide == viaConverter.w_str());
  // Plain text comes back from its wide form through the string's shortcut the other way.
  if (convlib::isPlainAscii(text.data(), text.size()))
    check(text == Quire::VelParamString(wide.c_str()).c_str());
  return 0;
}
