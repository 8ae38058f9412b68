#include "platform/ConvLib.h"

#include <cerrno>
#include <cstring>

#include "platform/Ascii.h"
#include "platform/IconvPool.h"

namespace {

using convlib::Encoding;
using convlib::IconvPool;

// Kept in the context's work bytes between the calls of one conversion.
struct WorkState {
  Encoding from;
  Encoding to;
};
static_assert(sizeof(WorkState) <= sizeof(ConvContext::workState),
              "work state fits the context");

WorkState loadState(const ConvContext* context) {
  WorkState state;
  std::memcpy(&state, context->workState, sizeof state);
  return state;
}

void storeState(ConvContext* context, const WorkState& state) {
  std::memcpy(context->workState, &state, sizeof state);
}

Encoding encodingByName(const char* name, std::int32_t bigEndian) {
  if (name == nullptr) return convlib::kNoEncoding;
  if (std::strcmp(name, "ISO-10646-UCS-2") == 0)
    return bigEndian ? convlib::kUtf16BE : convlib::kUtf16LE;
  if (std::strcmp(name, "WINDOWS31J") == 0) return convlib::kWindows31J;
  if (std::strcmp(name, "EUC-JP") == 0) return convlib::kEucJp;
  if (std::strcmp(name, "ISO-2022-JP") == 0) return convlib::kIso2022Jp;
  if (std::strcmp(name, "UTF-8") == 0) return convlib::kUtf8;
  if (std::strcmp(name, "ChineseGBK") == 0) return convlib::kGbk;
  return convlib::kNoEncoding;
}

bool isWide(Encoding e) { return e == convlib::kUtf16BE || e == convlib::kUtf16LE; }

unsigned loadUnit(const unsigned char* p, bool bigEndian) {
  return bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

void storeUnit(unsigned char* p, unsigned unit, bool bigEndian) {
  p[bigEndian ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
  p[bigEndian ? 1 : 0] = static_cast<unsigned char>(unit & 0xFF);
}

bool isHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Multibyte bytes into UTF-16. Bytes that do not decode become U+FFFD and
// the conversion goes on with the next byte; an incomplete character at the
// end becomes one U+FFFD.
std::size_t decode(Encoding from, Encoding to, const unsigned char* in,
                   std::size_t inLeft, unsigned char* out,
                   std::size_t outLeft) {
  const bool bigEndian = to == convlib::kUtf16BE;
  unsigned char* const start = out;
  if (convlib::isPlainAscii(reinterpret_cast<const char*>(in), inLeft)) {
    for (; inLeft > 0 && outLeft >= 2; --inLeft, outLeft -= 2, out += 2)
      storeUnit(out, *in++, bigEndian);
    return out - start;
  }
  iconv_t cd = IconvPool::acquire(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
  char* dst = reinterpret_cast<char*>(out);
  while (inLeft > 0) {
    if (iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    const int error = errno;
    if ((error != EILSEQ && error != EINVAL) || outLeft < 2) break;
    storeUnit(reinterpret_cast<unsigned char*>(dst), 0xFFFD, bigEndian);
    dst += 2;
    outLeft -= 2;
    if (error == EINVAL) break;  // the rest is one incomplete character
    ++src;
    --inLeft;
  }
  IconvPool::release(from, to, cd);
  return reinterpret_cast<unsigned char*>(dst) - start;
}

// UTF-16 into multibyte bytes. A character that the target cannot hold, or a
// lone surrogate, becomes "?" and the conversion goes on. A stateful target
// returns to its initial shift state before each "?" and at the end.
std::size_t encode(Encoding from, Encoding to, const unsigned char* in,
                   std::size_t inLeft, unsigned char* out,
                   std::size_t outLeft) {
  const bool bigEndian = from == convlib::kUtf16BE;
  inLeft &= ~static_cast<std::size_t>(1);
  unsigned char* const start = out;
  bool ascii = true;
  for (std::size_t i = 0; i < inLeft && ascii; i += 2)
    ascii = convlib::isPlainAsciiUnit(loadUnit(in + i, bigEndian));
  if (ascii) {
    for (; inLeft > 0 && outLeft > 0; inLeft -= 2, --outLeft, in += 2)
      *out++ = static_cast<unsigned char>(loadUnit(in, bigEndian));
    return out - start;
  }
  iconv_t cd = IconvPool::acquire(from, to);
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  // Room kept back so that ISO-2022-JP can always end with ESC ( B.
  const std::size_t reserve = to == convlib::kIso2022Jp ? 3 : 0;
  if (outLeft < reserve) {
    IconvPool::release(from, to, cd);
    return 0;
  }
  outLeft -= reserve;
  char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
  char* dst = reinterpret_cast<char*>(out);
  while (inLeft > 0) {
    if (iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    const int error = errno;
    if (error != EILSEQ && error != EINVAL) break;
    const unsigned char* unit = reinterpret_cast<const unsigned char*>(src);
    std::size_t skip = 2;
    if (inLeft >= 4 && isHighSurrogate(loadUnit(unit, bigEndian)) &&
        isLowSurrogate(loadUnit(unit + 2, bigEndian))) {
      skip = 4;
    }
    if (iconv(cd, nullptr, nullptr, &dst, &outLeft) == static_cast<size_t>(-1) ||
        outLeft < 1) {
      break;
    }
    *dst++ = '?';
    --outLeft;
    src += skip;
    inLeft -= skip < inLeft ? skip : inLeft;
  }
  outLeft += reserve;
  iconv(cd, nullptr, nullptr, &dst, &outLeft);
  IconvPool::release(from, to, cd);
  return reinterpret_cast<unsigned char*>(dst) - start;
}

}  // namespace

extern "C" {

int convOpenOutput(ConvContext* context, const ConvOutputOptions* options,
                   const char* toCode) {
  if (context == nullptr || options == nullptr) return 1;
  WorkState state = loadState(context);
  state.to = encodingByName(toCode, options->bigEndian);
  storeState(context, state);
  return state.to == convlib::kNoEncoding ? 1 : 0;
}

int convOpenInput(ConvContext* context, const ConvInputOptions* options,
                  const char* fromCode) {
  if (context == nullptr || options == nullptr) return 1;
  WorkState state = loadState(context);
  state.from = encodingByName(fromCode, options->bigEndian);
  storeState(context, state);
  return state.from == convlib::kNoEncoding ? 1 : 0;
}

int convExecute(ConvContext* context) {
  if (context == nullptr || context->target == nullptr) return -1;
  const WorkState state = loadState(context);
  // Exactly one side is UCS-2; the last byte (decoding: the last unit) of the
  // target stays zero so that the result is always terminated.
  if (state.from == convlib::kNoEncoding || state.to == convlib::kNoEncoding ||
      isWide(state.from) == isWide(state.to) || context->targetCapacity <= 0) {
    return -1;
  }
  const auto* in = static_cast<const unsigned char*>(context->source);
  std::size_t inLeft = context->sourceBytes > 0 && in != nullptr
                           ? static_cast<std::size_t>(context->sourceBytes)
                           : 0;
  auto* out = static_cast<unsigned char*>(context->target);
  const std::size_t capacity = static_cast<std::size_t>(context->targetCapacity);
  if (isWide(state.to)) {
    if (capacity < 2) return -1;
    const std::size_t written =
        decode(state.from, state.to, in, inLeft, out, capacity / 2 * 2 - 2);
    out[written] = out[written + 1] = 0;
  } else {
    const std::size_t written =
        encode(state.from, state.to, in, inLeft, out, capacity - 1);
    out[written] = 0;
  }
  return 0;
}

int convClose(ConvContext* context) {
  if (context == nullptr) return -1;
  storeState(context, WorkState{convlib::kNoEncoding, convlib::kNoEncoding});
  return 0;
}

}  // extern "C"
