#ifndef QUIRE_PLATFORM_CONV_ASCII_H_
#define QUIRE_PLATFORM_CONV_ASCII_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace convlib {

// Every supported multibyte encoding maps these units to themselves, so text
// made only of them needs no table. ESC, SO and SI are left out: they switch
// the shift state of ISO-2022-JP.
inline bool isPlainAsciiUnit(unsigned unit) {
  return unit < 0x80 && unit != 0x1B && unit != 0x0E && unit != 0x0F;
}

// Non-zero when some byte of word is zero.
inline std::uint64_t zeroByteIn(std::uint64_t word) {
  return (word - 0x0101010101010101) & ~word & 0x8080808080808080;
}

// True when none of the eight bytes of word has its top bit set or is ESC,
// SO or SI (which differ in the lowest bit only).
inline bool isPlainAsciiWord(std::uint64_t word) {
  const std::uint64_t ones = 0x0101010101010101;
  return ((word & 0x80 * ones) | zeroByteIn(word ^ 0x1B * ones) |
          zeroByteIn((word | ones) ^ 0x0F * ones)) == 0;
}

inline bool isPlainAscii(const char* text, std::size_t count) {
  // Eight bytes at a time, as paths are mostly plain.
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    if (!isPlainAsciiWord(word)) return false;
  }
  for (; i < count; ++i)
    if (!isPlainAsciiUnit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// True when the four UCS-2 units in word are plain ASCII; highBytes marks
// the bytes of word that hold the units' high bytes, which must be zero.
inline bool isPlainAsciiUnits(std::uint64_t word, std::uint64_t highBytes) {
  return (word & highBytes) == 0 && isPlainAsciiWord(word);
}

// Units in the processor's byte order: read as one word, every unit keeps
// its high byte in the upper half of its 16 bits.
inline bool isPlainAscii(const unsigned short* text, std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    std::uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    if (!isPlainAsciiUnits(word, 0xFF00FF00FF00FF00)) return false;
  }
  for (; i < count; ++i)
    if (!isPlainAsciiUnit(text[i])) return false;
  return true;
}

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_ASCII_H_
