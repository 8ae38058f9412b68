#include "platform/ConvLib.h"

#include <cstring>

#include "platform/conv/Coder.h"

namespace {

using convlib::EncodingId;

// One side of a conversion, kept in the context's work bytes between the
// calls: 0 for none, a multibyte encoding's place in the table plus one, or
// UCS-2 in either byte order.
constexpr std::int32_t kNoEncoding = 0;
constexpr std::int32_t kUcs2LittleEndian = convlib::kEncodingCount + 1;
constexpr std::int32_t kUcs2BigEndian = convlib::kEncodingCount + 2;

// Each side is stored and read on its own: reading both at once would wait
// for the two stores, and the caller's zero-fill, to drain.
enum Side { kFrom = 0, kTo = 1 };

std::int32_t loadSide(const ConvContext* context, Side side) {
  std::int32_t value;
  std::memcpy(&value, context->workState + side * sizeof value, sizeof value);
  return value > kNoEncoding && value <= kUcs2BigEndian ? value : kNoEncoding;
}

void storeSide(ConvContext* context, Side side, std::int32_t value) {
  std::memcpy(context->workState + side * sizeof value, &value, sizeof value);
}

std::int32_t sideNamed(const char* name, std::int32_t bigEndian) {
  if (name != nullptr && std::strcmp(name, convlib::kUcs2Name) == 0)
    return bigEndian ? kUcs2BigEndian : kUcs2LittleEndian;
  const EncodingId id = convlib::encodingNamed(name);
  return id == convlib::kEncodingCount ? kNoEncoding : id + 1;
}

bool isUcs2(std::int32_t side) { return side >= kUcs2LittleEndian; }

EncodingId multibyte(std::int32_t side) { return static_cast<EncodingId>(side - 1); }

int execute(ConvContext* context) {
  if (context == nullptr || context->target == nullptr) return -1;
  const std::int32_t from = loadSide(context, kFrom);
  const std::int32_t to = loadSide(context, kTo);
  // Exactly one side is UCS-2; the last byte (decoding: the last unit) of the
  // target stays zero so that the result is always terminated.
  if (from == kNoEncoding || to == kNoEncoding || isUcs2(from) == isUcs2(to) ||
      context->targetCapacity <= 0) {
    return -1;
  }
  const auto* in = static_cast<const unsigned char*>(context->source);
  const std::size_t inBytes = context->sourceBytes > 0 && in != nullptr
                                  ? static_cast<std::size_t>(context->sourceBytes)
                                  : 0;
  auto* out = static_cast<unsigned char*>(context->target);
  const auto capacity = static_cast<std::size_t>(context->targetCapacity);
  if (isUcs2(to)) {
    if (capacity < 2) return -1;
    convlib::Decoder decoder(multibyte(from), to == kUcs2BigEndian);
    const std::size_t end = decoder.convert(in, inBytes, out, capacity / 2 * 2 - 2, true).written;
    out[end] = out[end + 1] = 0;
    return 0;
  }
  convlib::Encoder encoder(multibyte(to), from == kUcs2BigEndian);
  // ISO-2022-JP keeps room for the escape that ends it in its initial state,
  // which it writes there when the text is cut short.
  const std::size_t reserve = convlib::closingBytes(multibyte(to));
  if (capacity - 1 < reserve) {
    out[0] = 0;
    return 0;
  }
  const std::size_t room = capacity - 1 - reserve;
  const convlib::CoderProgress run = encoder.convert(in, inBytes / 2 * 2, out, room, true);
  std::size_t end = run.written;
  if (run.result == convlib::CoderResult::kOutputFull)
    end += encoder.convert(out, 0, out + end, room + reserve - end, true).written;
  out[end] = 0;
  return 0;
}

}  // namespace

extern "C" {

int convOpenOutput(ConvContext* context, const ConvOutputOptions* options,
                   const char* toCode) {
  if (context == nullptr || options == nullptr) return 1;
  const std::int32_t to = sideNamed(toCode, options->bigEndian);
  storeSide(context, kTo, to);
  return to == kNoEncoding ? 1 : 0;
}

int convOpenInput(ConvContext* context, const ConvInputOptions* options,
                  const char* fromCode) {
  if (context == nullptr || options == nullptr) return 1;
  const std::int32_t from = sideNamed(fromCode, options->bigEndian);
  storeSide(context, kFrom, from);
  return from == kNoEncoding ? 1 : 0;
}

int convExecute(ConvContext* context) { return execute(context); }

int convClose(ConvContext* context) {
  if (context == nullptr) return -1;
  storeSide(context, kFrom, kNoEncoding);
  storeSide(context, kTo, kNoEncoding);
  return 0;
}

}  // extern "C"
