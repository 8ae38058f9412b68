#include "platform/conv/Coder.h"

#include <algorithm>
#include <cstring>

#include "platform/conv/Kernels.h"

namespace convlib {
namespace {

struct Kernels {
  Kernel decode[2];  // little-endian units first
  Kernel encode[2];
};

#define QUIRE_KERNELS(name)                                                         \
  {                                                                                 \
    {decode##name<false>, decode##name<true>}, {encode##name<false>, encode##name<true>} \
  }
const Kernels kKernels[kEncodingCount] = {QUIRE_KERNELS(Windows31J), QUIRE_KERNELS(EucJp),
                                          QUIRE_KERNELS(Iso2022Jp), QUIRE_KERNELS(Utf8),
                                          QUIRE_KERNELS(Gbk)};
#undef QUIRE_KERNELS
static_assert(kWindows31J == 0 && kEucJp == 1 && kIso2022Jp == 2 && kUtf8 == 3 && kGbk == 4,
              "kernels in the table's order");

}  // namespace

CoderProgress CoderStream::convert(const unsigned char* in, std::size_t inBytes,
                                   unsigned char* out, std::size_t outBytes, bool last) {
  unsigned char* const outEnd = out + outBytes;
  std::size_t read = 0;
  unsigned char* q = out;
  if (keptCount_ > 0) {
    // The cut character first, with as much of this piece as any character
    // needs to end; once past it, the piece is read in place.
    unsigned char window[2 * kLongest];
    const std::size_t kept = keptCount_, taken = std::min(inBytes, kLongest);
    std::memcpy(window, kept_, kept);
    if (taken > 0) std::memcpy(window + kept, in, taken);
    const KernelRun run =
        kernel_(state_, window, window + kept + taken, q, outEnd, last && taken == inBytes);
    q = run.out;
    const auto used = static_cast<std::size_t>(run.in - window);
    if (used < kept) {
      // Out of room, or a piece too short to end the character.
      keep(window + used, (run.full ? kept : kept + taken) - used);
      return {run.full ? CoderResult::kOutputFull : CoderResult::kInputEmpty,
              run.full ? 0 : inBytes, static_cast<std::size_t>(q - out)};
    }
    keptCount_ = 0;
    read = used - kept;
  }
  const KernelRun run = kernel_(state_, in + read, in + inBytes, q, outEnd, last);
  read = static_cast<std::size_t>(run.in - in);
  if (!run.full) {
    keep(run.in, inBytes - read);
    read = inBytes;
    if (last) {
      state_.shift = 0;
      keptCount_ = 0;
    }
  }
  return {run.full ? CoderResult::kOutputFull : CoderResult::kInputEmpty, read,
          static_cast<std::size_t>(run.out - out)};
}

void CoderStream::keep(const unsigned char* bytes, std::size_t count) {
  if (count > 0) std::memcpy(kept_, bytes, count);
  keptCount_ = count;
}

Decoder::Decoder(EncodingId encoding, bool bigEndian)
    : CoderStream(kKernels[encoding].decode[bigEndian]) {}

Encoder::Encoder(EncodingId encoding, bool bigEndian)
    : CoderStream(kKernels[encoding].encode[bigEndian]) {}

std::size_t maxEncodedBytes(EncodingId encoding, std::size_t units) {
  // Three bytes a unit (UTF-8 below U+10000, EUC-JP's JIS X 0212); in
  // ISO-2022-JP an escape may come before each two-byte character.
  return kEncodings[encoding].family == Family::kIso2022Jp ? 5 * units + closingBytes(encoding)
                                                           : 3 * units;
}

std::size_t closingBytes(EncodingId encoding) {
  return kEncodings[encoding].family == Family::kIso2022Jp ? 3 : 0;  // ESC ( B
}

}  // namespace convlib
