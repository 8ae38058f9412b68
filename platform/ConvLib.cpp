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
  const WorkState state = loadState(context);
  // Exactly one side is UCS-2; the last byte (decoding: the last unit) of the
  // target stays zero so that the result is always terminated.
  if (state.from <= kNoEncoding || state.to <= kNoEncoding || state.from >= kEncodingCount ||
      state.to >= kEncodingCount || isWide(state.from) == isWide(state.to) ||
      context->targetCapacity <= 0) {
    return -1;
  }
  const auto* in = static_cast<const unsigned char*>(context->source);
  const std::size_t inBytes = context->sourceBytes > 0 && in != nullptr
                                  ? static_cast<std::size_t>(context->sourceBytes)
                                  : 0;
  auto* out = static_cast<unsigned char*>(context->target);
  const std::size_t capacity = static_cast<std::size_t>(context->targetCapacity);
  if (isWide(state.to)) {
    if (capacity < 2) return -1;
    const bool big = state.to == kUtf16BE;
    unsigned char* end = kCodecs[state.from].decode[big](in, in + inBytes, out,
                                                         out + (capacity / 2 * 2 - 2));
    end[0] = end[1] = 0;
  } else {
    const bool big = state.from == kUtf16BE;
    // ISO-2022-JP keeps room for the escape that ends it in its initial state.
    const std::size_t reserve = state.to == kIso2022Jp ? 3 : 0;
    if (capacity - 1 < reserve) {
      out[0] = 0;
      return 0;
    }
    const std::size_t units = inBytes / 2 * 2;
    unsigned char* end = kCodecs[state.to].encode[big](in, in + units, out,
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
  WorkState state = loadState(context);
  state.to = encodingByName(toCode, options->bigEndian);
  storeState(context, state);
  return state.to == kNoEncoding ? 1 : 0;
}

int convOpenInput(ConvContext* context, const ConvInputOptions* options,
                  const char* fromCode) {
  if (context == nullptr || options == nullptr) return 1;
  WorkState state = loadState(context);
  state.from = encodingByName(fromCode, options->bigEndian);
  storeState(context, state);
  return state.from == kNoEncoding ? 1 : 0;
}

int convExecute(ConvContext* context) { return execute(context); }

int convClose(ConvContext* context) {
  if (context == nullptr) return -1;
  storeState(context, WorkState{kNoEncoding, kNoEncoding});
  return 0;
}

}  // extern "C"
