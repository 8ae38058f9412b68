#ifndef QUIRE_PLATFORM_CONV_CODECS_H_
#define QUIRE_PLATFORM_CONV_CODECS_H_

// The codecs behind the component. Each converts the text from in to inEnd
// into the room from out to outEnd and returns where its output ends; UTF-16
// units are in the order kBigEndian names.
// Decoders turn each byte that cannot start a character (an incomplete one at
// the end too) into U+FFFD and go on with the next byte; characters beyond
// the BMP become surrogate pairs. Encoders turn a character that the encoding
// cannot hold, or a lone surrogate, into "?". Both stop before the first
// character whose output does not fit, as iconv does.
namespace convlib {

using Codec = unsigned char* (*)(const unsigned char* in, const unsigned char* inEnd,
                                 unsigned char* out, unsigned char* outEnd);

#define QUIRE_CODEC(name)                                                   \
  template <bool kBigEndian>                                               \
  unsigned char* name(const unsigned char* in, const unsigned char* inEnd, \
                      unsigned char* out, unsigned char* outEnd)
QUIRE_CODEC(decodeUtf8);
QUIRE_CODEC(encodeUtf8);
QUIRE_CODEC(decodeWindows31J);
QUIRE_CODEC(encodeWindows31J);
QUIRE_CODEC(decodeEucJp);
QUIRE_CODEC(encodeEucJp);
QUIRE_CODEC(decodeGbk);
QUIRE_CODEC(encodeGbk);
QUIRE_CODEC(decodeIso2022Jp);
// Ends in the initial state: the caller leaves three bytes behind outEnd for
// the closing ESC ( B, which goes there only when needed.
QUIRE_CODEC(encodeIso2022Jp);
#undef QUIRE_CODEC

// Each family's file builds its codecs for both byte orders.
#define QUIRE_BOTH_ORDERS(name)                                                       \
  template unsigned char* name<false>(const unsigned char*, const unsigned char*,     \
                                      unsigned char*, unsigned char*);                \
  template unsigned char* name<true>(const unsigned char*, const unsigned char*,      \
                                     unsigned char*, unsigned char*)

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_CODECS_H_
