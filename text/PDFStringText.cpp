#include "quire/PDFStringText.h"

#include "platform/ByteOrder.h"
#include "text/EncodingChoice.h"
#include "text/PDFStringRef.h"
#include "text/VelCodeConverter.h"

namespace Quire {

void getMBCstring(void* object, VelParamString& result) {
  const PDFStringRef string(object, true);
  if (string.get() == nullptr) return;
  // Whichever accessor names the processor's order hands over units that
  // need no swapping.
  const unsigned short* text = platform::hostIsBigEndian() != 0
                                   ? string.get()->getBigEndianUniStr()
                                   : string.get()->getLittleEndianUniStr();
  const VelParamString wide(text);
  VelCodeConverter(kUcs2Encoding, getMBCSEncoding()).encode(wide, result);
}

void getUNICODEstring(void* object, VelParamString& result) {
  const PDFStringRef string(object, true);
  if (string.get() == nullptr) {
    result = VelParamString();
    return;
  }
  string.get()->treatUnicodeStr();
  result = string.get()->getCPUEndianUniStr();
}

}  // namespace Quire
