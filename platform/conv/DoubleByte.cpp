// WINDOWS-31J, EUC-JP and GBK: one or two bytes a character (EUC-JP's JIS X
// 0212 takes three), looked up in the constant tables of Tables.h.
#include <algorithm>

#include "platform/conv/Kernels.h"
#include "platform/conv/Tables.h"
#include "platform/conv/Units.h"

namespace convlib {
namespace {

// The bytes of the longest character that lead may start.
template <bool kEucJp>
inline std::size_t longestFrom(const DecodeTable& table, unsigned lead) {
  return kEucJp && lead == 0x8F ? 3 : table.rowOf[lead - 0x80u] != 0 ? 2 : 1;
}

// The character at p (left bytes) and its length; 0 when no character starts
// there.
template <bool kEucJp>
inline std::size_t readDoubleByte(const DecodeTable& table, const unsigned char* p,
                                  std::size_t left, unsigned* unit) {
  // Lead bytes first: they start most characters of such text.
  const unsigned lead = p[0] - 0x80u;
  const unsigned row = table.rowOf[lead];
  if (row != 0 && left >= 2) {
    const unsigned trail = p[1] - table.trailLow;
    const unsigned found = trail < table.width ? table.pairs[row * table.width + trail] : 0;
    if (found != 0) {
      *unit = found;
      return 2;
    }
  }
  if (table.single[lead] != 0) {
    *unit = table.single[lead];
    return 1;
  }
  if (kEucJp && p[0] == 0x8F && left >= 3) {
    const unsigned first = p[1] - 0xA1u, second = p[2] - 0xA1u;
    const unsigned found = first < 94 && second < 94 ? kJis0212Decode[first * 94 + second] : 0;
    if (found != 0) {
      *unit = found;
      return 3;
    }
  }
  return 0;
}

template <bool kBigEndian, bool kEucJp>
KernelRun decodeDoubleByte(const DecodeTable& tables, CoderState& state, const unsigned char* p,
                           const unsigned char* end, unsigned char* q, unsigned char* qEnd,
                           bool last) {
  // A copy, which the stores through q cannot change: the loop keeps it in
  // registers instead of reloading it for every character.
  const DecodeTable table = tables;
  while (p < end) {
    const std::size_t room = static_cast<std::size_t>(qEnd - q) / 2;
    if (room == 0) return {p, q, true};
    if (*p < 0x80) {
      widenAscii<kBigEndian, false>(p, end, q, qEnd);
      continue;
    }
    const auto left = static_cast<std::size_t>(end - p);
    if (!last && left < longestFrom<kEucJp>(table, *p)) break;  // the next piece may end it
    unsigned unit = 0xFFFD;
    std::size_t used = readDoubleByte<kEucJp>(table, p, left, &unit);
    if (used == 0) {
      used = 1;
      ++state.replaced;
    }
    p += used;
    storeUnit<kBigEndian>(q, unit);
    q += 2;
    // Two-byte characters seldom come alone: take those that follow here. A
    // byte that leads none finds only the empty row 0.
    const std::size_t most = std::min(static_cast<std::size_t>(end - p) / 2, room - 1);
    std::size_t i = 0;
    for (; i < most; ++i) {
      const unsigned char* c = p + 2 * i;
      const unsigned trail = c[1] - table.trailLow;
      if (c[0] < 0x80 || trail >= table.width) break;
      const unsigned found = table.pairs[table.rowOf[c[0] - 0x80u] * table.width + trail];
      if (found == 0) break;
      storeUnit<kBigEndian>(q + 2 * i, found);
    }
    p += 2 * i;
    q += 2 * i;
  }
  return {p, q, false};
}

template <bool kBigEndian, bool kEucJp>
KernelRun encodeDoubleByte(const EncodeTable& tables, CoderState& state, const unsigned char* p,
                           const unsigned char* end, unsigned char* q, unsigned char* qEnd,
                           bool last) {
  const EncodeTable table = tables;  // kept in registers, as in decoding
  while (end - p >= 2) {
    const std::size_t room = static_cast<std::size_t>(qEnd - q);
    if (room == 0) return {p, q, true};
    const unsigned unit = loadUnit<kBigEndian>(p);
    if (unit < 0x80) {
      narrowAscii<kBigEndian>(p, end, q, qEnd);
      continue;
    }
    std::size_t used = 2;
    unsigned code = 0;
    if ((unit & 0xF800) != 0xD800) {
      code = encodeCell(table, unit);
    } else if (pairMayContinue(unit, p, end, last)) {
      break;
    } else if (pairAt<kBigEndian>(p, end) != 0) {
      used = 4;  // beyond the BMP: none of these encodings holds it
    }
    // iconv's EUC-JP wants room for two bytes before it refuses a character
    // (a lone surrogate it refuses earlier).
    if (kEucJp && code == 0 && room < 2 && ((unit & 0xF800) != 0xD800 || used == 4))
      return {p, q, true};
    if (code == 0) {
      *q++ = '?';
      ++state.replaced;
    } else if (code < 0x100) {
      *q++ = static_cast<unsigned char>(code);
    } else if (kEucJp && (code & 0x80) == 0) {
      if (room < 3) return {p, q, true};
      q[0] = 0x8F;
      q[1] = static_cast<unsigned char>(code >> 8);
      q[2] = static_cast<unsigned char>(code | 0x80);
      q += 3;
    } else {
      if (room < 2) return {p, q, true};
      q[0] = static_cast<unsigned char>(code >> 8);
      q[1] = static_cast<unsigned char>(code);
      q += 2;
    }
    p += used;
    // Two-byte codes seldom come alone: take those that follow here. ASCII
    // and surrogates have no cell, so they end the run as well.
    const std::size_t most = std::min(static_cast<std::size_t>(end - p) / 2,
                                      static_cast<std::size_t>(qEnd - q) / 2);
    std::size_t i = 0;
    for (; i < most; ++i) {
      code = encodeCell(table, loadUnit<kBigEndian>(p + 2 * i));
      if (code < 0x100 || (kEucJp && (code & 0x80) == 0)) break;
      q[2 * i] = static_cast<unsigned char>(code >> 8);
      q[2 * i + 1] = static_cast<unsigned char>(code);
    }
    p += 2 * i;
    q += 2 * i;
  }
  return {p, q, false};
}

}  // namespace

template <bool kBigEndian>
KernelRun decodeWindows31J(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                          unsigned char* out, unsigned char* outEnd, bool last) {
  return decodeDoubleByte<kBigEndian, false>(kWindows31JDecode, state, in, inEnd, out, outEnd,
                                             last);
}

template <bool kBigEndian>
KernelRun encodeWindows31J(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                          unsigned char* out, unsigned char* outEnd, bool last) {
  return encodeDoubleByte<kBigEndian, false>(kWindows31JEncode, state, in, inEnd, out, outEnd,
                                             last);
}

template <bool kBigEndian>
KernelRun decodeEucJp(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                     unsigned char* out, unsigned char* outEnd, bool last) {
  return decodeDoubleByte<kBigEndian, true>(kEucJpDecode, state, in, inEnd, out, outEnd, last);
}

template <bool kBigEndian>
KernelRun encodeEucJp(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                     unsigned char* out, unsigned char* outEnd, bool last) {
  return encodeDoubleByte<kBigEndian, true>(kEucJpEncode, state, in, inEnd, out, outEnd, last);
}

template <bool kBigEndian>
KernelRun decodeGbk(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                   unsigned char* out, unsigned char* outEnd, bool last) {
  return decodeDoubleByte<kBigEndian, false>(kGbkDecode, state, in, inEnd, out, outEnd, last);
}

template <bool kBigEndian>
KernelRun encodeGbk(CoderState& state, const unsigned char* in, const unsigned char* inEnd,
                   unsigned char* out, unsigned char* outEnd, bool last) {
  return encodeDoubleByte<kBigEndian, false>(kGbkEncode, state, in, inEnd, out, outEnd, last);
}

QUIRE_BOTH_ORDERS(decodeWindows31J);
QUIRE_BOTH_ORDERS(encodeWindows31J);
QUIRE_BOTH_ORDERS(decodeEucJp);
QUIRE_BOTH_ORDERS(encodeEucJp);
QUIRE_BOTH_ORDERS(decodeGbk);
QUIRE_BOTH_ORDERS(encodeGbk);

}  // namespace convlib
