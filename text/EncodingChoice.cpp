#include "text/EncodingChoice.h"

#include <cstdlib>
#include <cstring>

namespace Quire {

const char kUcs2Encoding[] = "ISO-10646-UCS-2";
const char kDefaultMbcsEncoding[] = "WINDOWS31J";

namespace {

// Tested in this order.
const char* const kMbcsNames[] = {kDefaultMbcsEncoding, "EUC-JP", "ISO-2022-JP",
                                  "UTF-8", "ChineseGBK"};

const char* matchName(const char* text, std::size_t length) {
  for (const char* name : kMbcsNames) {
    if (std::strlen(name) == length && std::memcmp(name, text, length) == 0)
      return name;
  }
  return nullptr;
}

}  // namespace

const char* findMbcsEncoding(const char* name) {
  return name == nullptr ? nullptr : matchName(name, std::strlen(name));
}

const char* getMBCSEncoding(EncodingSource* source) {
  if (const char* chosen = std::getenv("VEL30_MBCS_ENCODING")) {
    if (source != nullptr) *source = EncodingSource::kVel30Variable;
    const char* name = findMbcsEncoding(chosen);
    return name != nullptr ? name : kDefaultMbcsEncoding;
  }
  if (const char* lang = std::getenv("LANG")) {
    // Segments between full stops are compared in place, without a copy.
    for (const char* segment = lang;;) {
      const char* stop = std::strchr(segment, '.');
      const std::size_t length =
          stop != nullptr ? static_cast<std::size_t>(stop - segment) : std::strlen(segment);
      if (const char* name = matchName(segment, length)) {
        if (source != nullptr) *source = EncodingSource::kLangVariable;
        return name;
      }
      if (stop == nullptr) break;
      segment = stop + 1;
    }
  }
  if (source != nullptr) *source = EncodingSource::kDefault;
  return kDefaultMbcsEncoding;
}

const char* getMBCSEncoding() { return getMBCSEncoding(nullptr); }

}  // namespace Quire
