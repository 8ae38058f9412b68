#ifndef QUIRE_PLATFORM_BYTEORDER_H_
#define QUIRE_PLATFORM_BYTEORDER_H_

#include <cstring>

namespace platform {

// 1 on a big-endian processor: the second byte of the 16-bit value 255 is
// not zero there.
inline int hostIsBigEndian() {
  const unsigned short probe = 255;
  unsigned char bytes[sizeof probe];
  std::memcpy(bytes, &probe, sizeof probe);
  return bytes[1] != 0 ? 1 : 0;
}

}  // namespace platform

#endif  // QUIRE_PLATFORM_BYTEORDER_H_
