#ifndef QUIRE_TEXT_VELCODECONVERTER_H_
#define QUIRE_TEXT_VELCODECONVERTER_H_

#include <string>

#include "quire/VelParamString.h"

namespace Quire {

// One direction of conversion between a multibyte encoding and UCS-2 (in the
// processor's byte order), named by two encoding names. Holds no other state:
// every conversion sets up the component afresh. When the component refuses
// the names, the target is left empty.
class VelCodeConverter {
 public:
  VelCodeConverter(const char* fromCode, const char* toCode);

  // Zero-fills the target over targetBytes, then writes at most targetBytes
  // of terminated UCS-2.
  void decodeBuffer(const char* source, int sourceBytes, unsigned short* target,
                    int targetBytes) const;
  // Zero-fills the target over targetBytes, then writes at most targetBytes
  // of terminated multibyte text.
  void encodeBuffer(const unsigned short* source, int sourceUnits, char* target,
                    int targetBytes) const;

  // The narrow form of source, read in fromCode, becomes target's text.
  void decode(const VelParamString& source, VelParamString& target) const;
  // The wide form of source becomes target's text, in toCode.
  void encode(const VelParamString& source, VelParamString& target) const;

  // Room that the conversions of n bytes or n units need.
  static int decodeCapacity(int sourceBytes) { return 2 * sourceBytes + 2; }
  static int encodeCapacity(int sourceUnits) { return 6 * (sourceUnits + 1); }
  // Longest text whose conversion buffer an int can still measure.
  static constexpr int kMaxConvertible = 0x7FFFFFFF / 6 - 1;

 private:
  std::string fromCode;
  std::string toCode;
};

// Re-encodes text's narrow form, read as storedEncoding, into the current
// multibyte encoding, in place; the wide form follows.
void reencodeToCurrent(VelParamString& text, const char* storedEncoding);

}  // namespace Quire

#endif  // QUIRE_TEXT_VELCODECONVERTER_H_
