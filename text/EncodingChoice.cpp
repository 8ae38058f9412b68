#include "text/EncodingChoice.h"

#include <cstdlib>
#include <cstring>

namespace Quire {
namespace {

using convlib::EncodingId;
using convlib::kEncodings;

// The first encoding, in the table's order, whose name is the length bytes at
// text (which a zero or a full stop follows); kEncodingCount for none. No two
// names share their first letter, so at most one is compared in full.
EncodingId matchName(const char* text, std::size_t length) {
  int id = 0;
  for (; id < convlib::kEncodingCount; ++id) {
    const char* name = kEncodings[id].name;
    if (name[0] == text[0] && std::strlen(name) == length && std::memcmp(name, text, length) == 0)
      break;
  }
  return static_cast<EncodingId>(id);
}

EncodingId chooseEncoding(EncodingSource* source) {
  if (const char* chosen = std::getenv("VEL30_MBCS_ENCODING")) {
    if (source != nullptr) *source = EncodingSource::kVel30Variable;
    const EncodingId id = matchName(chosen, std::strlen(chosen));
    return id != convlib::kEncodingCount ? id : convlib::kWindows31J;
  }
  if (const char* lang = std::getenv("LANG")) {
    // Segments between full stops are compared in place, without a copy.
    for (const char* segment = lang;;) {
      const char* stop = std::strchr(segment, '.');
      const std::size_t length =
          stop != nullptr ? static_cast<std::size_t>(stop - segment) : std::strlen(segment);
      const EncodingId id = matchName(segment, length);
      if (id != convlib::kEncodingCount) {
        if (source != nullptr) *source = EncodingSource::kLangVariable;
        return id;
      }
      if (stop == nullptr) break;
      segment = stop + 1;
    }
  }
  if (source != nullptr) *source = EncodingSource::kDefault;
  return convlib::kWindows31J;
}

}  // namespace

const char* getMBCSEncoding(EncodingSource* source) {
  return kEncodings[chooseEncoding(source)].name;
}

const char* getMBCSEncoding() { return getMBCSEncoding(nullptr); }

EncodingId currentEncoding() { return chooseEncoding(nullptr); }

}  // namespace Quire
