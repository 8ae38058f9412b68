#ifndef QUIRE_PLATFORM_ASCII_H_
#define QUIRE_PLATFORM_ASCII_H_

#include <cstddef>

namespace convlib {

// Every supported multibyte encoding maps these units to themselves, so text
// made only of them needs no table. ESC, SO and SI are left out: they switch
// the shift state of ISO-2022-JP.
inline bool isPlainAsciiUnit(unsigned unit) {
  return unit < 0x80 && unit != 0x1B && unit != 0x0E && unit != 0x0F;
}

inline bool isPlainAscii(const char* text, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!isPlainAsciiUnit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

inline bool isPlainAscii(const unsigned short* text, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!isPlainAsciiUnit(text[i])) return false;
  return true;
}

}  // namespace convlib

#endif  // QUIRE_PLATFORM_ASCII_H_
