#ifndef QUIRE_PLATFORM_ICONVPOOL_H_
#define QUIRE_PLATFORM_ICONVPOOL_H_

#include <iconv.h>

namespace convlib {

// Encodings that the component knows; the UCS-2 side comes in both orders.
enum Encoding : int {
  kNoEncoding = 0,
  kWindows31J,
  kEucJp,
  kIso2022Jp,
  kUtf8,
  kGbk,
  kUtf16BE,
  kUtf16LE,
  kEncodingCount
};

// iconv descriptors are costly to open, so finished ones wait here for the
// next conversion of the same pair. Taking and giving back are lock-free;
// descriptors that find no free slot are closed.
class IconvPool {
 public:
  // A descriptor in its initial state, or (iconv_t)-1 when iconv refuses.
  static iconv_t acquire(Encoding from, Encoding to);
  static void release(Encoding from, Encoding to, iconv_t descriptor);
};

}  // namespace convlib

#endif  // QUIRE_PLATFORM_ICONVPOOL_H_
