#ifndef QUIRE_PLATFORM_CONV_CODER_H_
#define QUIRE_PLATFORM_CONV_CODER_H_

#include <cstddef>

#include "platform/conv/Encodings.h"

// The codec engine: a decoder and an encoder for each encoding, which take a
// text in pieces of any size and keep between calls what a piece leaves open
// (a character cut by its end, ISO-2022-JP's shift state). A text converted
// in pieces gives the bytes and counts of the same text in one call.
//
// Decoders turn each byte that cannot start a character (an incomplete one at
// the end of the text too) into U+FFFD and go on with the next byte;
// characters beyond the BMP become surrogate pairs. Encoders turn a character
// that the encoding cannot hold, or a lone surrogate, into "?". Both stop
// before the first character whose output does not fit, as iconv does.
namespace convlib {

enum class CoderResult {
  kInputEmpty,  // all of the input is taken (a cut character waits inside)
  kOutputFull,  // stopped for room: call again with the rest of the input
};

struct CoderProgress {
  CoderResult result;
  std::size_t read;     // input bytes taken
  std::size_t written;  // output bytes written
};

// What a family's kernel carries from one call to the next.
struct CoderState {
  unsigned shift;      // ISO-2022-JP's character set; 0 is the initial one
  long long replaced;  // U+FFFD or "?" written for what did not convert
};

// Where a kernel stopped: full when the output lacked room for the next
// character; otherwise in == inEnd, or (unless last) in is where a character
// starts that the input holds only the beginning of.
struct KernelRun {
  const unsigned char* in;
  unsigned char* out;
  bool full;
};

using Kernel = KernelRun (*)(CoderState& state, const unsigned char* in,
                             const unsigned char* inEnd, unsigned char* out,
                             unsigned char* outEnd, bool last);

// A decoder or an encoder: the kernel's state and the bytes of a character
// that the last piece cut.
class CoderStream {
 public:
  // Converts in into out: a decoder's bytes into UTF-16 units, an encoder's
  // whole units into bytes. With last the text ends with this piece: a
  // character that it cuts does not convert, ISO-2022-JP returns to its
  // initial shift state (an escape that may need a call of its own when the
  // room runs out), and the next call starts a text of its own. Room for
  // eight bytes lets every call move on.
  CoderProgress convert(const unsigned char* in, std::size_t inBytes, unsigned char* out,
                        std::size_t outBytes, bool last);

 protected:
  explicit CoderStream(Kernel kernel) : kernel_(kernel) {}

  CoderState state_ = {0, 0};

 private:
  // No character is longer than this; one cut by a piece's end is shorter.
  static constexpr std::size_t kLongest = 4;

  void keep(const unsigned char* bytes, std::size_t count);

  Kernel kernel_;
  unsigned char kept_[kLongest];
  std::size_t keptCount_ = 0;
};

// Text in a multibyte encoding into UTF-16 units in the order bigEndian names.
class Decoder : public CoderStream {
 public:
  Decoder(EncodingId encoding, bool bigEndian);

  // Bytes that became U+FFFD, in every text so far.
  long long undecodableBytes() const { return state_.replaced; }
};

// UTF-16 units in the order bigEndian names into a multibyte encoding.
class Encoder : public CoderStream {
 public:
  Encoder(EncodingId encoding, bool bigEndian);

  // Characters that became "?", in every text so far.
  long long unencodableCharacters() const { return state_.replaced; }
};

// The most bytes that a text of units takes in encoding, the return to the
// initial shift state included.
std::size_t maxEncodedBytes(EncodingId encoding, std::size_t units);

// The most bytes that the return to the initial shift state takes.
std::size_t closingBytes(EncodingId encoding);

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_CODER_H_
