#include <algorithm>

#include "platform/conv/Kernels.h"
#include "platform/conv/Units.h"

namespace convlib {
namespace {

bool isTrail(unsigned byte) { return (byte & 0xC0) == 0x80; }

// The bytes of the longest character that lead may start.
std::size_t longestFrom(unsigned lead) {
  return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                         : 1;
}

// The code point of the well-formed character at p and its length, or 0 for
// a byte that cannot start one. The second byte's ranges keep out overlong
// forms, surrogates and code points past U+10FFFF, which iconv refuses.
inline std::size_t readUtf8(const unsigned char* p, std::size_t left, unsigned* cp) {
  const unsigned lead = p[0];
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (left < 2 || !isTrail(p[1])) return 0;
    *cp = (lead & 0x1F) << 6 | (p[1] & 0x3F);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;
    if (left < 3 || p[1] < low || p[1] > high || !isTrail(p[2])) return 0;
    *cp = (lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    if (left < 4 || p[1] < low || p[1] > high || !isTrail(p[2]) || !isTrail(p[3])) return 0;
    *cp = (lead & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    return 4;
  }
  return 0;
}

}  // namespace

template <bool kBigEndian>
KernelRun decodeUtf8(CoderState& state, const unsigned char* p, const unsigned char* end,
                     unsigned char* q, unsigned char* qEnd, bool last) {
  while (p < end) {
    const std::size_t room = static_cast<std::size_t>(qEnd - q) / 2;
    if (room == 0) return {p, q, true};
    const unsigned lead = *p;
    if (lead < 0x80) {
      widenAscii<kBigEndian, false>(p, end, q, qEnd);
      continue;
    }
    // Three bytes, most of CJK text, in a loop of their own without the
    // general reader: at least U+0800 and no surrogate is what the second
    // byte's ranges say.
    if ((lead & 0xF0) == 0xE0) {
      const std::size_t most = std::min(static_cast<std::size_t>(end - p) / 3, room);
      std::size_t i = 0;
      for (; i < most; ++i) {
        const unsigned char* c = p + 3 * i;
        // 1110xxxx 10xxxxxx 10xxxxxx, tested at once.
        if (((c[0] & 0xF0u) | (c[1] & 0xC0u) << 8 | (c[2] & 0xC0u) << 16) != 0x8080E0) break;
        const unsigned cp = (c[0] & 0x0Fu) << 12 | (c[1] & 0x3Fu) << 6 | (c[2] & 0x3Fu);
        if (cp < 0x800 || (cp & 0xF800) == 0xD800) break;
        storeUnit<kBigEndian>(q + 2 * i, cp);
      }
      p += 3 * i;
      q += 2 * i;
      if (i > 0) continue;
    }
    const auto left = static_cast<std::size_t>(end - p);
    if (!last && left < longestFrom(lead)) break;  // the next piece may end the character
    unsigned cp = 0xFFFD;
    std::size_t used = readUtf8(p, left, &cp);
    if (used == 0) {
      used = 1;
      ++state.replaced;
    }
    if (cp > 0xFFFF) {
      if (room < 2) return {p, q, true};
      storeUnit<kBigEndian>(q, 0xD7C0 + (cp >> 10));
      storeUnit<kBigEndian>(q + 2, 0xDC00 | (cp & 0x3FF));
      q += 4;
    } else {
      storeUnit<kBigEndian>(q, cp);
      q += 2;
    }
    p += used;
  }
  return {p, q, false};
}

template <bool kBigEndian>
KernelRun encodeUtf8(CoderState& state, const unsigned char* p, const unsigned char* end,
                     unsigned char* q, unsigned char* qEnd, bool last) {
  while (end - p >= 2) {
    const std::size_t room = static_cast<std::size_t>(qEnd - q);
    if (room == 0) return {p, q, true};
    unsigned cp = loadUnit<kBigEndian>(p);
    if (cp < 0x80) {
      narrowAscii<kBigEndian>(p, end, q, qEnd);
      continue;
    }
    if (cp < 0x800) {
      if (room < 2) return {p, q, true};
      q[0] = static_cast<unsigned char>(0xC0 | cp >> 6);
      q[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
      q += 2;
      p += 2;
      continue;
    }
    if ((cp & 0xF800) != 0xD800) {
      // Three bytes a unit, most of CJK text, in a loop of its own.
      const std::size_t most = std::min(static_cast<std::size_t>(end - p) / 2, room / 3);
      if (most == 0) return {p, q, true};
      std::size_t i = 0;
      do {
        q[3 * i] = static_cast<unsigned char>(0xE0 | cp >> 12);
        q[3 * i + 1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
        q[3 * i + 2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        if (++i == most) break;
        cp = loadUnit<kBigEndian>(p + 2 * i);
      } while (cp >= 0x800 && (cp & 0xF800) != 0xD800);
      p += 2 * i;
      q += 3 * i;
      continue;
    }
    if (pairMayContinue(cp, p, end, last)) break;
    cp = pairAt<kBigEndian>(p, end);
    if (cp == 0) {
      *q++ = '?';  // a lone surrogate
      ++state.replaced;
      p += 2;
      continue;
    }
    if (room < 4) return {p, q, true};
    q[0] = static_cast<unsigned char>(0xF0 | cp >> 18);
    q[1] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
    q[2] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
    q[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    q += 4;
    p += 4;
  }
  return {p, q, false};
}

QUIRE_BOTH_ORDERS(decodeUtf8);
QUIRE_BOTH_ORDERS(encodeUtf8);

}  // namespace convlib
