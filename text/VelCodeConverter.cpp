#include "text/VelCodeConverter.h"

#include <cstring>
#include <memory>

#include "platform/ByteOrder.h"
#include "platform/ConvLib.h"
#include "text/EncodingChoice.h"

namespace Quire {
namespace {

// Runs one conversion through the component. A refusal from either open
// stops it before anything else is called, and the zero-filled target then
// reads as empty text.
void convert(const char* fromCode, const char* toCode, const void* source, int sourceBytes,
             void* target, int targetBytes, int inputBigEndian, int outputBigEndian) {
  if (target == nullptr || targetBytes <= 0) return;
  ConvContext context;
  std::memset(&context, 0, sizeof context);
  context.source = source;
  context.sourceBytes = source != nullptr && sourceBytes > 0 ? sourceBytes : 0;
  context.target = target;
  context.targetCapacity = targetBytes;
  std::memset(target, 0, static_cast<std::size_t>(targetBytes));

  ConvInputOptions input{inputBigEndian, 0, 1};
  ConvOutputOptions output;
  std::memset(&output, 0, sizeof output);
  output.bigEndian = outputBigEndian;
  output.word3 = 1;

  if (convOpenOutput(&context, &output, toCode) != 0) return;
  if (convOpenInput(&context, &input, fromCode) != 0) return;
  convExecute(&context);
  convClose(&context);
}

}  // namespace

VelCodeConverter::VelCodeConverter(const char* from, const char* to)
    : fromCode(from != nullptr ? from : ""), toCode(to != nullptr ? to : "") {}

void VelCodeConverter::decodeBuffer(const char* source, int sourceBytes, unsigned short* target,
                                    int targetBytes) const {
  convert(fromCode.c_str(), toCode.c_str(), source, sourceBytes, target, targetBytes, 1,
          platform::hostIsBigEndian());
}

void VelCodeConverter::encodeBuffer(const unsigned short* source, int sourceUnits, char* target,
                                    int targetBytes) const {
  const int sourceBytes =
      sourceUnits > 0 && sourceUnits <= 0x7FFFFFFF / 2 ? 2 * sourceUnits : 0;
  convert(fromCode.c_str(), toCode.c_str(), source, sourceBytes, target, targetBytes,
          platform::hostIsBigEndian(), 1);
}

void VelCodeConverter::decode(const VelParamString& source,
                              VelParamString& target) const {
  const int n = source.cstr_length();
  if (n > kMaxConvertible) {
    target = static_cast<const unsigned short*>(nullptr);
    return;
  }
  std::unique_ptr<unsigned short[]> buffer(new unsigned short[2 * n + 2]);
  decodeBuffer(source.c_str(), n, buffer.get(), decodeCapacity(n));
  target = buffer.get();
}

void VelCodeConverter::encode(const VelParamString& source,
                              VelParamString& target) const {
  const int n = source.wstr_length();
  if (n > kMaxConvertible) {
    target = static_cast<const char*>(nullptr);
    return;
  }
  std::unique_ptr<char[]> buffer(new char[encodeCapacity(n)]);
  encodeBuffer(source.w_str(), n, buffer.get(), encodeCapacity(n));
  target = buffer.get();
}

void reencodeToCurrent(VelParamString& text, const char* storedEncoding) {
  VelParamString wide;
  VelCodeConverter(storedEncoding, kUcs2Encoding).decode(text, wide);
  VelCodeConverter(kUcs2Encoding, getMBCSEncoding()).encode(wide, text);
}

}  // namespace Quire
