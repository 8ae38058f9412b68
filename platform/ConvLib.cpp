#include "platform/ConvLib.h"

#include <cstring>

#include "platform/conv/Codecs.h"

namespace {

// The encodings that the component knows; UCS-2 comes in both byte orders.
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

// The two encodings of one conversion, kept in the context's work bytes
// between the calls. Each is stored and read on its own: reading both at
// once would wait for the two stores, and the caller's zero-fill, to drain.
enum Side { kFrom = 0, kTo = 1 };

Encoding loadEncoding(const ConvContext* context, Side side) {
  std::int32_t value;
  std::memcpy(&value, context->workState + side * sizeof value, sizeof value);
  return value > kNoEncoding && value < kEncodingCount ? static_cast<Encoding>(value)
                                                       : kNoEncoding;
}

void storeEncoding(ConvContext* context, Side side, Encoding encoding) {
  const std::int32_t value = encoding;
  std::memcpy(context->workState + side * sizeof value, &value, sizeof value);
}

// The first letter leaves at most two names to compare in full.
Encoding encodingByName(const char* name, std::int32_t bigEndian) {
  if (name == nullptr) return kNoEncoding;
  // Compared here: the names are short, and two calls to strcmp cost an
  // assignment more than the comparisons themselves.
  const auto is = [name](const char* known) {
    const char* p = name;
    while (*known != 0 && *p == *known) ++p, ++known;
    return *p == *known;
  };
  switch (name[0]) {
    case 'I':
      if (is("ISO-10646-UCS-2")) return bigEndian ? kUtf16BE : kUtf16LE;
      return is("ISO-2022-JP") ? kIso2022Jp : kNoEncoding;
    case 'W': return is("WINDOWS31J") ? kWindows31J : kNoEncoding;
    case 'E': return is("EUC-JP") ? kEucJp : kNoEncoding;
    case 'U': return is("UTF-8") ? kUtf8 : kNoEncoding;
    case 'C': return is("ChineseGBK") ? kGbk : kNoEncoding;
    default: return kNoEncoding;
  }
}

bool isWide(Encoding e) { return e == kUtf16BE || e == kUtf16LE; }

// Decoder and encoder of each multibyte encoding, little-endian units first.
struct Codecs {
  convlib::Codec decode[2];
  convlib::Codec encode[2];
};

#define QUIRE_CODECS(name)                                                \
  {                                                                      \
    {convlib::decode##name<false>, convlib::decode##name<true>},         \
        {convlib::encode##name<false>, convlib::encode##name<true>}      \
  }
const Codecs kCodecs[] = {{{nullptr, nullptr}, {nullptr, nullptr}},
                          QUIRE_CODECS(Windows31J),
                          QUIRE_CODECS(EucJp),
                          QUIRE_CODECS(Iso2022Jp),
                          QUIRE_CODECS(Utf8),
                          QUIRE_CODECS(Gbk)};
#undef QUIRE_CODECS

int execute(ConvContext* context) {
  if (context == nullptr || context->target == nullptr) return -1;
  const Encoding from = loadEncoding(context, kFrom);
  const Encoding to = loadEncoding(context, kTo);
  // Exactly one side is UCS-2; the last byte (decoding: the last unit) of the
  // target stays zero so that the result is always terminated.
  if (from == kNoEncoding || to == kNoEncoding || isWide(from) == isWide(to) ||
      context->targetCapacity <= 0) {
    return -1;
  }
  const auto* in = static_cast<const unsigned char*>(context->source);
  const std::size_t inBytes = context->sourceBytes > 0 && in != nullptr
                                  ? static_cast<std::size_t>(context->sourceBytes)
                                  : 0;
  auto* out = static_cast<unsigned char*>(context->target);
  const std::size_t capacity = static_cast<std::size_t>(context->targetCapacity);
  if (isWide(to)) {
    if (capacity < 2) return -1;
    const bool big = to == kUtf16BE;
    unsigned char* end = kCodecs[from].decode[big](in, in + inBytes, out,
                                                         out + (capacity / 2 * 2 - 2));
    end[0] = end[1] = 0;
  } else {
    const bool big = from == kUtf16BE;
    // ISO-2022-JP keeps room for the escape that ends it in its initial state.
    const std::size_t reserve = to == kIso2022Jp ? 3 : 0;
    if (capacity - 1 < reserve) {
      out[0] = 0;
      return 0;
    }
    const std::size_t units = inBytes / 2 * 2;
    unsigned char* end = kCodecs[to].encode[big](in, in + units, out,
                                                       out + (capacity - 1 - reserve));
    end[0] = 0;
  }
  return 0;
}

}  // namespace

extern "C" {

int convOpenOutput(ConvContext* context, const ConvOutputOptions* options,
                   const char* toCode) {
  if (context == nullptr || options == nullptr) return 1;
  const Encoding to = encodingByName(toCode, options->bigEndian);
  storeEncoding(context, kTo, to);
  return to == kNoEncoding ? 1 : 0;
}

int convOpenInput(ConvContext* context, const ConvInputOptions* options,
                  const char* fromCode) {
  if (context == nullptr || options == nullptr) return 1;
  const Encoding from = encodingByName(fromCode, options->bigEndian);
  storeEncoding(context, kFrom, from);
  return from == kNoEncoding ? 1 : 0;
}

int convExecute(ConvContext* context) { return execute(context); }

int convClose(ConvContext* context) {
  if (context == nullptr) return -1;
  storeEncoding(context, kFrom, kNoEncoding);
  storeEncoding(context, kTo, kNoEncoding);
  return 0;
}

}  // extern "C"
