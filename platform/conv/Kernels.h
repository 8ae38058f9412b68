#ifndef QUIRE_PLATFORM_CONV_KERNELS_H_
#define QUIRE_PLATFORM_CONV_KERNELS_H_

#include "platform/conv/Coder.h"

// The kernels behind the engine, one decoder and one encoder per encoding,
// with UTF-16 units in the order kBigEndian names. Each converts the text
// from in to inEnd into the room from out to outEnd as Coder.h says, and
// stops where KernelRun says.
namespace convlib {

#define QUIRE_KERNEL(name)                                                                  \
  template <bool kBigEndian>                                                                \
  KernelRun name(CoderState& state, const unsigned char* in, const unsigned char* inEnd,   \
                 unsigned char* out, unsigned char* outEnd, bool last)
QUIRE_KERNEL(decodeUtf8);
QUIRE_KERNEL(encodeUtf8);
QUIRE_KERNEL(decodeWindows31J);
QUIRE_KERNEL(encodeWindows31J);
QUIRE_KERNEL(decodeEucJp);
QUIRE_KERNEL(encodeEucJp);
QUIRE_KERNEL(decodeGbk);
QUIRE_KERNEL(encodeGbk);
QUIRE_KERNEL(decodeIso2022Jp);
QUIRE_KERNEL(encodeIso2022Jp);
#undef QUIRE_KERNEL

// Each family's file builds its kernels for both byte orders.
#define QUIRE_BOTH_ORDERS(name)                                                            \
  template KernelRun name<false>(CoderState&, const unsigned char*, const unsigned char*, \
                                 unsigned char*, unsigned char*, bool);                  \
  template KernelRun name<true>(CoderState&, const unsigned char*, const unsigned char*,  \
                                unsigned char*, unsigned char*, bool)

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_KERNELS_H_
