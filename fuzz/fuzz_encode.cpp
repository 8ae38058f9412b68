// UCS-2 units (byte pairs after the first, which picks the encoding) through the component,
// converter and string.
#include "fuzz/FuzzSupport.h"

using namespace quire_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Choice c = choose(data[0]);
  Wide units;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    units += static_cast<unsigned short>(data[i] | data[i + 1] << 8);
  const std::string source = quire_test::bytesOf(units, c.bigEndian);
  compareWithIconv(c, false, source);

  // The string takes units up to the first zero unit; the converter's call between strings,
  // which writes into a buffer of just the room it asks for, gives the same text.
  const Wide text = units.c_str();
  const Quire::VelParamString s(text.c_str());
  checkForms(s);
  const std::string narrow = s.c_str();
  check(text == s.w_str());
  Quire::VelParamString viaConverter;
  Quire::VelCodeConverter(Quire::kUcs2Encoding, c.encoding).encode(s, viaConverter);
  check(narrow == viaConverter.c_str());
  return 0;
}
