// ISO-2022-JP as the C library's iconv reads and writes it: ASCII, JIS-Roman
// (ESC ( J) and JIS X 0208 (ESC $ B, read also after ESC $ @), the last
// through EUC-JP's tables without their top bits.
#include <algorithm>

#include "platform/conv/Kernels.h"
#include "platform/conv/Tables.h"
#include "platform/conv/Units.h"

namespace convlib {
namespace {

enum Set { kAscii, kRoman, kJis0208 };

const unsigned char kEsc = 0x1B;

// The set that the escape ESC first second chooses; false for any other.
bool escapeSet(unsigned first, unsigned second, Set* set) {
  if (first == '(' && (second == 'B' || second == 'J')) {
    *set = second == 'B' ? kAscii : kRoman;
    return true;
  }
  if (first == '$' && (second == 'B' || second == '@')) {
    *set = kJis0208;
    return true;
  }
  return false;
}

// The JIS X 0208 character of first, second, or 0: EUC-JP's table, whose
// lead and trail bytes are these with their top bits set.
inline unsigned readJis0208(const DecodeTable& eucJp, unsigned first, unsigned second) {
  if (first - 0x21u >= 0x5E) return 0;
  const unsigned trail = (second | 0x80) - eucJp.trailLow;
  return second < 0x80 && trail < eucJp.width ? eucJp.pairs[eucJp.rowOf[first] * eucJp.width + trail]
                                               : 0;
}

// JIS-Roman's one byte for cp when it is a graphic one, or 0.
unsigned romanByte(unsigned cp) {
  if (cp == 0xA5) return 0x5C;
  if (cp == 0x203E) return 0x7E;
  return cp > 0x20 && cp < 0x7E && cp != 0x5C ? cp : 0;
}

// The two bytes (first high) of cp in JIS X 0208, or 0.
unsigned jis0208Code(unsigned cp) {
  if (cp > 0xFFFF) return 0;
  const unsigned code = encodeCell(kEucJpEncode, cp);
  return code >= 0xA1A1 && (code & 0xFF) >= 0xA1 ? code & 0x7F7F : 0;
}

unsigned char* putEscape(unsigned char* q, Set set) {
  q[0] = kEsc;
  q[1] = set == kJis0208 ? '$' : '(';
  q[2] = set == kJis0208 ? 'B' : set == kRoman ? 'J' : 'B';
  return q + 3;
}

}  // namespace

template <bool kBigEndian>
KernelRun decodeIso2022Jp(CoderState& state, const unsigned char* p, const unsigned char* end,
                          unsigned char* q, unsigned char* qEnd, bool last) {
  const DecodeTable table = kEucJpDecode;  // kept in registers
  auto set = static_cast<Set>(state.shift);
  // Where the kernel stops, with the set that the next call starts in.
  const auto stop = [&](bool full) {
    state.shift = set;
    return KernelRun{p, q, full};
  };
  while (p < end) {
    const unsigned b = *p;
    const auto left = static_cast<std::size_t>(end - p);
    // An escape cut short by the end of the text is an incomplete character;
    // an unknown one is a plain ESC control.
    if (b == kEsc) {
      if (left >= 3 && escapeSet(p[1], p[2], &set)) {
        p += 3;
        continue;
      }
      if (left < 3 && !last) break;  // the next piece may end it
    }
    const std::size_t room = static_cast<std::size_t>(qEnd - q) / 2;
    if (room == 0) return stop(true);
    if (set == kAscii && b < 0x80 && b != kEsc) {
      widenAscii<kBigEndian, true>(p, end, q, qEnd);
      continue;
    }
    unsigned unit = b;
    if (b >= 0x80 || (b == kEsc && left < 3)) {
      unit = 0xFFFD;
      ++state.replaced;
    } else if (set == kAscii || b < 0x21 || b == 0x7F) {
      // controls read the same in every set
    } else if (set == kRoman) {
      unit = b == 0x5C ? 0xA5 : b == 0x7E ? 0x203E : b;
    } else {
      if (left < 2 && !last) break;  // the second byte may come next
      // JIS X 0208 pairs, in a loop of their own while they last.
      const std::size_t most = std::min(left / 2, room);
      std::size_t i = 0;
      for (; i < most; ++i) {
        const unsigned found = readJis0208(table, p[2 * i], p[2 * i + 1]);
        if (found == 0) break;
        storeUnit<kBigEndian>(q + 2 * i, found);
      }
      p += 2 * i;
      q += 2 * i;
      if (i > 0) continue;
      unit = 0xFFFD;  // no character, or one cut short by the end
      ++state.replaced;
    }
    storeUnit<kBigEndian>(q, unit);
    q += 2;
    ++p;
  }
  return stop(false);
}

template <bool kBigEndian>
KernelRun encodeIso2022Jp(CoderState& state, const unsigned char* p, const unsigned char* end,
                          unsigned char* q, unsigned char* qEnd, bool last) {
  auto set = static_cast<Set>(state.shift);
  // Where the kernel stops, with the set that the next call starts in.
  const auto stop = [&](bool full) {
    state.shift = set;
    return KernelRun{p, q, full};
  };
  while (end - p >= 2) {
    std::size_t room = static_cast<std::size_t>(qEnd - q);
    if (room == 0) return stop(true);
    unsigned cp = loadUnit<kBigEndian>(p);
    if (set == kAscii && cp < 0x80) {
      narrowAscii<kBigEndian>(p, end, q, qEnd);
      continue;
    }
    if (pairMayContinue(cp, p, end, last)) break;
    std::size_t used = 2;
    if (const unsigned pair = pairAt<kBigEndian>(p, end)) {
      cp = pair;
      used = 4;
    }
    // First the set in use, as iconv tries it.
    if (set == kRoman && romanByte(cp) != 0) {
      *q++ = static_cast<unsigned char>(romanByte(cp));
      p += used;
      continue;
    }
    if (set == kJis0208) {
      if (room < 2) return stop(true);
      if (const unsigned code = jis0208Code(cp)) {
        q[0] = static_cast<unsigned char>(code >> 8);
        q[1] = static_cast<unsigned char>(code);
        q += 2;
        p += used;
        continue;
      }
    }
    // Then ASCII, JIS-Roman, JIS X 0208 in turn; iconv writes the escape
    // even when the character then does not fit.
    Set wanted = kAscii;
    unsigned code = cp;
    if (cp >= 0x80) {
      code = romanByte(cp);
      wanted = code != 0 ? kRoman : kJis0208;
      if (code == 0) code = jis0208Code(cp);
    }
    if (cp >= 0x80 && code == 0) {
      if (set != kAscii) {
        if (room < 3) return stop(true);
        q = putEscape(q, kAscii);
        set = kAscii;
        room -= 3;
      }
      if (room < 1) return stop(true);
      *q++ = '?';
      ++state.replaced;
      p += used;
      continue;
    }
    if (room < 3) return stop(true);
    q = putEscape(q, wanted);
    set = wanted;
    if (room < (wanted == kJis0208 ? 5u : 4u)) return stop(true);
    if (wanted == kJis0208) {
      q[0] = static_cast<unsigned char>(code >> 8);
      q[1] = static_cast<unsigned char>(code);
      q += 2;
    } else {
      *q++ = static_cast<unsigned char>(code);
    }
    p += used;
  }
  // The text ends in the initial state.
  if (last && set != kAscii) {
    if (qEnd - q < 3) return stop(true);
    q = putEscape(q, kAscii);
    set = kAscii;
  }
  return stop(false);
}

QUIRE_BOTH_ORDERS(decodeIso2022Jp);
QUIRE_BOTH_ORDERS(encodeIso2022Jp);

}  // namespace convlib
