#include "tools/Recoder.h"

#include <cstring>

#include "platform/ByteOrder.h"

namespace quire_tool {
namespace {

using convlib::CoderProgress;
using convlib::CoderResult;

bool lacksReplacement(convlib::EncodingId encoding) {
  convlib::Encoder probe(encoding, platform::hostIsBigEndian());
  const unsigned short replacement = 0xFFFD;
  unsigned char out[8];
  probe.convert(reinterpret_cast<const unsigned char*>(&replacement), sizeof replacement, out,
               sizeof out, true);
  return probe.unencodableCharacters() == 1;
}

}  // namespace

// UCS-2 between the two codecs is in the processor's byte order.
Recoder::Recoder(const char* fromCode, const char* toCode)
    : decoder_(convlib::encodingNamed(fromCode), platform::hostIsBigEndian()),
      encoder_(convlib::encodingNamed(toCode), platform::hostIsBigEndian()),
      replacementUnencodable_(lacksReplacement(convlib::encodingNamed(toCode))) {}

void Recoder::add(const char* bytes, std::size_t count, std::string* out) {
  while (count > 0) {
    const char* zero = static_cast<const char*>(std::memchr(bytes, 0, count));
    if (zero == nullptr) {
      convert(bytes, count, false, out);
      return;
    }
    const auto run = static_cast<std::size_t>(zero - bytes);
    convert(bytes, run, true, out);
    out->push_back('\0');
    bytes += run + 1;
    count -= run + 1;
  }
}

void Recoder::finish(std::string* out) { convert("", 0, true, out); }

long long Recoder::unencodableCharacters() const {
  return encoder_.unencodableCharacters() -
         (replacementUnencodable_ ? decoder_.undecodableBytes() : 0);
}

void Recoder::convert(const char* bytes, std::size_t count, bool last, std::string* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  for (;;) {
    unsigned char units[1 << 13];
    const CoderProgress decoded = decoder_.convert(in, count, units, sizeof units, last);
    in += decoded.read;
    count -= decoded.read;
    const bool done = decoded.result == CoderResult::kInputEmpty;
    encode(units, decoded.written, last && done, out);
    if (done) return;
  }
}

void Recoder::encode(const unsigned char* units, std::size_t bytes, bool last, std::string* out) {
  for (;;) {
    unsigned char encoded[1 << 14];
    const CoderProgress run = encoder_.convert(units, bytes, encoded, sizeof encoded, last);
    out->append(reinterpret_cast<const char*>(encoded), run.written);
    units += run.read;
    bytes -= run.read;
    if (run.result == CoderResult::kInputEmpty) return;
  }
}

}  // namespace quire_tool
