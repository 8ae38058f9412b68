// Arbitrary bytes as a PDF string through both text functions: the string's reference count must
// come back and both forms must be terminated texts. The first byte picks the multibyte encoding.
#include "fuzz/FuzzSupport.h"
#include "platform/DocCore.h"
#include "quire/PDFStringText.h"

using namespace quire_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  choose(data[0]);
  auto* string = new DocCore::PDFString(std::string(reinterpret_cast<const char*>(data + 1),
                                                    size - 1));
  Quire::VelParamString multibyte, unicode;
  Quire::getMBCstring(string, multibyte);
  checkForms(multibyte);
  Quire::getUNICODEstring(string, unicode);
  check(string->refCount() == 1);
  checkForms(unicode);
  // The wide form is the string's own text, whatever the encoding lost.
  check(Wide(unicode.w_str()) == Wide(string->getCPUEndianUniStr()));
  string->release();
  return 0;
}
