// Arbitrary bytes as a PDF string through both text functions: the string's
// reference count must come back after each call and both forms must be
// terminated texts. The first byte picks the multibyte encoding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/DocCore.h"
#include "quire/PDFStringText.h"

namespace {

using Wide = std::basic_string<unsigned short>;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

void checkTerminated(const Quire::VelParamString& text) {
  check(std::strlen(text.c_str()) == static_cast<std::size_t>(text.cstr_length()));
  check(Wide(text.w_str()).size() == static_cast<std::size_t>(text.wstr_length()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8",
                                           "ChineseGBK"};
  ::setenv("VEL30_MBCS_ENCODING", kEncodings[data[0] % 5], 1);

  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  auto* string = new DocCore::PDFString(bytes);
  Quire::VelParamString multibyte;
  Quire::getMBCstring(string, multibyte);
  check(string->refCount() == 1);
  checkTerminated(multibyte);

  Quire::VelParamString unicode;
  Quire::getUNICODEstring(string, unicode);
  check(string->refCount() == 1);
  checkTerminated(unicode);
  // The wide form is the string's own text, whatever the encoding lost.
  check(Wide(unicode.w_str()) == Wide(string->getCPUEndianUniStr()));
  string->release();
  return 0;
}
