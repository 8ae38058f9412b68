#ifndef QUIRE_PLATFORM_CONV_UNITS_H_
#define QUIRE_PLATFORM_CONV_UNITS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#elif defined(__ARM_NEON)
#include <arm_neon.h>
#endif

#include "platform/ByteOrder.h"

// UTF-16 units in a byte order fixed at compile time, and the plain ASCII
// runs that every codec takes many bytes at a time.
namespace convlib {

#if !defined(__SSE2__) && defined(__ARM_NEON)
// Whether some byte of v has its top bit set, with what 32-bit NEON has too.
inline bool anyTopBit(uint8x16_t v) {
  const uint64x2_t words = vreinterpretq_u64_u8(v);
  return ((vgetq_lane_u64(words, 0) | vgetq_lane_u64(words, 1)) & 0x8080808080808080) != 0;
}
#endif

template <bool kBigEndian>
inline unsigned loadUnit(const unsigned char* p) {
  std::uint16_t unit;
  std::memcpy(&unit, p, sizeof unit);
  if (kBigEndian != (platform::hostIsBigEndian() != 0))
    unit = static_cast<std::uint16_t>(unit >> 8 | unit << 8);
  return unit;
}

template <bool kBigEndian>
inline void storeUnit(unsigned char* p, unsigned unit) {
  auto value = static_cast<std::uint16_t>(unit);
  if (kBigEndian != (platform::hostIsBigEndian() != 0))
    value = static_cast<std::uint16_t>(value >> 8 | value << 8);
  std::memcpy(p, &value, sizeof value);
}

// The code point of the surrogate pair that the text from p to end starts
// with, or 0 when it starts with none.
template <bool kBigEndian>
inline unsigned pairAt(const unsigned char* p, const unsigned char* end) {
  if (end - p < 4) return 0;
  const unsigned high = loadUnit<kBigEndian>(p), low = loadUnit<kBigEndian>(p + 2);
  if ((high & 0xFC00) != 0xD800 || (low & 0xFC00) != 0xDC00) return 0;
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Whether unit, at p, is a high surrogate that the piece ends with and whose low
// surrogate may start the next piece of the text.
inline bool pairMayContinue(unsigned unit, const unsigned char* p, const unsigned char* end,
                            bool last) {
  return !last && (unit & 0xFC00) == 0xD800 && end - p < 4;
}

// Widens the ASCII bytes at p (with kStopAtEscape, not ESC either) into
// units at q, as far as the text and the room go, and moves both on.
template <bool kBigEndian, bool kStopAtEscape>
inline void widenAscii(const unsigned char*& p, const unsigned char* end, unsigned char*& q,
                       const unsigned char* qEnd) {
  const std::size_t bytes = static_cast<std::size_t>(end - p);
  const std::size_t room = static_cast<std::size_t>(qEnd - q) / 2;
  const std::size_t n = bytes < room ? bytes : room;
  std::size_t i = 0;
#ifdef __SSE2__
  // x86, so the processor's order is little-endian.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    int odd = _mm_movemask_epi8(v);
    if (kStopAtEscape) odd |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(0x1B)));
    if (odd != 0) break;
    const __m128i low = kBigEndian ? _mm_unpacklo_epi8(zero, v) : _mm_unpacklo_epi8(v, zero);
    const __m128i high = kBigEndian ? _mm_unpackhi_epi8(zero, v) : _mm_unpackhi_epi8(v, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 2 * i), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 2 * i + 16), high);
  }
#elif defined(__ARM_NEON)
  // Interleaved in memory order, which holds on either byte order of the processor.
  const uint8x16_t zero = vdupq_n_u8(0);
  for (; i + 16 <= n; i += 16) {
    const uint8x16_t v = vld1q_u8(p + i);
    if (anyTopBit(kStopAtEscape ? vorrq_u8(v, vceqq_u8(v, vdupq_n_u8(0x1B))) : v)) break;
    vst2q_u8(q + 2 * i, kBigEndian ? uint8x16x2_t{{zero, v}} : uint8x16x2_t{{v, zero}});
  }
#endif
  for (; i < n; ++i) {
    const unsigned b = p[i];
    if (b >= 0x80 || (kStopAtEscape && b == 0x1B)) break;
    storeUnit<kBigEndian>(q + 2 * i, b);
  }
  p += i;
  q += 2 * i;
}

// Narrows the ASCII units at p into bytes at q, as far as the text and the
// room go, and moves both on.
template <bool kBigEndian>
inline void narrowAscii(const unsigned char*& p, const unsigned char* end, unsigned char*& q,
                        const unsigned char* qEnd) {
  const std::size_t units = static_cast<std::size_t>(end - p) / 2;
  const std::size_t room = static_cast<std::size_t>(qEnd - q);
  const std::size_t n = units < room ? units : room;
  std::size_t i = 0;
#ifdef __SSE2__
  for (; i + 16 <= n; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i + 16));
    if (kBigEndian) {
      a = _mm_or_si128(_mm_slli_epi16(a, 8), _mm_srli_epi16(a, 8));
      b = _mm_or_si128(_mm_slli_epi16(b, 8), _mm_srli_epi16(b, 8));
    }
    // Every unit below 0x80, so that packing them to bytes keeps them.
    const __m128i high = _mm_and_si128(_mm_or_si128(a, b), _mm_set1_epi16(-0x80));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(q + i), _mm_packus_epi16(a, b));
  }
#elif defined(__ARM_NEON)
  for (; i + 16 <= n; i += 16) {
    // The first byte of each unit in one vector, the second in the other.
    const uint8x16x2_t units = vld2q_u8(p + 2 * i);
    const uint8x16_t low = units.val[kBigEndian ? 1 : 0], high = units.val[kBigEndian ? 0 : 1];
    // A unit with a high byte counts as one with its top bit set.
    if (anyTopBit(vorrq_u8(low, vtstq_u8(high, high)))) break;
    vst1q_u8(q + i, low);
  }
#endif
  for (; i < n; ++i) {
    const unsigned unit = loadUnit<kBigEndian>(p + 2 * i);
    if (unit >= 0x80) break;
    q[i] = static_cast<unsigned char>(unit);
  }
  p += 2 * i;
  q += i;
}

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_UNITS_H_
