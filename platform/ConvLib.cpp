#include "platform/ConvLib.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/Ascii.h"
#include "platform/ByteOrder.h"
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

// The first letter leaves at most two names to compare in full.
Encoding encodingByName(const char* name, std::int32_t bigEndian) {
  if (name == nullptr) return convlib::kNoEncoding;
  // Compared here: the names are short, and two calls to strcmp cost an
  // assignment more than the comparisons themselves.
  const auto is = [name](const char* known) {
    const char* p = name;
    while (*known != 0 && *p == *known) ++p, ++known;
    return *p == *known;
  };
  switch (name[0]) {
    case 'I':
      if (is("ISO-10646-UCS-2")) return bigEndian ? convlib::kUtf16BE : convlib::kUtf16LE;
      return is("ISO-2022-JP") ? convlib::kIso2022Jp : convlib::kNoEncoding;
    case 'W': return is("WINDOWS31J") ? convlib::kWindows31J : convlib::kNoEncoding;
    case 'E': return is("EUC-JP") ? convlib::kEucJp : convlib::kNoEncoding;
    case 'U': return is("UTF-8") ? convlib::kUtf8 : convlib::kNoEncoding;
    case 'C': return is("ChineseGBK") ? convlib::kGbk : convlib::kNoEncoding;
    default: return convlib::kNoEncoding;
  }
}

bool isWide(Encoding e) { return e == convlib::kUtf16BE || e == convlib::kUtf16LE; }

// Units move whole, turned only when the asked order is not the processor's.
unsigned turned(unsigned unit, bool bigEndian) {
  return bigEndian == (platform::hostIsBigEndian() != 0) ? unit : (unit >> 8 | unit << 8) & 0xFFFF;
}

unsigned loadUnit(const unsigned char* p, bool bigEndian) {
  std::uint16_t unit;
  std::memcpy(&unit, p, sizeof unit);
  return turned(unit, bigEndian);
}

void storeUnit(unsigned char* p, unsigned unit, bool bigEndian) {
  const auto value = static_cast<std::uint16_t>(turned(unit, bigEndian));
  std::memcpy(p, &value, sizeof value);
}

bool isHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// iconv's answers for one pair of encodings, asked a row of 256 at a time on
// first need and kept. Zero marks what the fast path leaves to iconv. Static
// storage starts all zero; threads that race to fill a row write the same
// answers.
struct AnswerTable {
  std::atomic<bool> ready[256];
  std::atomic<std::uint32_t> answer[256][256];
};

// Asks iconv for a whole row; kept out of line, away from the loops.
[[gnu::noinline]] void fillRow(AnswerTable& table, Encoding from, Encoding to, unsigned row,
                               std::uint32_t (*ask)(iconv_t, unsigned, unsigned)) {
  iconv_t cd = IconvPool::acquire(from, to);
  if (cd == kNoDescriptor) return;
  for (unsigned c = 0; c < 256; ++c)
    table.answer[row][c].store(ask(cd, row, c), std::memory_order_relaxed);
  IconvPool::release(from, to, cd);
  table.ready[row].store(true, std::memory_order_release);
}

std::uint32_t lookUp(AnswerTable& table, Encoding from, Encoding to, unsigned row,
                     unsigned column, std::uint32_t (*ask)(iconv_t, unsigned, unsigned)) {
  const std::uint32_t answer = table.answer[row][column].load(std::memory_order_relaxed);
  if (answer != 0 || table.ready[row].load(std::memory_order_acquire)) return answer;
  fillRow(table, from, to, row, ask);
  return table.answer[row][column].load(std::memory_order_relaxed);
}

// Bytes used (high half) and unit (low half) of the one character that
// iconv reads at the start of lead, trail; 0 when it reads none.
std::uint32_t askDecode(iconv_t cd, unsigned lead, unsigned trail) {
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char out[2];
  char* src = in;
  char* dst = reinterpret_cast<char*>(out);
  std::size_t inLeft = 2;
  std::size_t outLeft = 2;
  iconv(cd, &src, &inLeft, &dst, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (outLeft != 0) return 0;
  return static_cast<std::uint32_t>(2 - inLeft) << 16 | loadUnit(out, true);
}

// Byte count (high half) and the one or two bytes (low half, first byte
// higher) that iconv writes for the BMP unit high:low; 0 when it writes none
// or more.
std::uint32_t askEncode(iconv_t cd, unsigned high, unsigned low) {
  char in[2] = {static_cast<char>(high), static_cast<char>(low)};
  unsigned char out[4];
  char* src = in;
  char* dst = reinterpret_cast<char*>(out);
  std::size_t inLeft = 2;
  std::size_t outLeft = sizeof out;
  iconv(cd, &src, &inLeft, &dst, &outLeft);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const std::size_t count = sizeof out - outLeft;
  if (inLeft != 0 || count == 0 || count > 2) return 0;
  const std::uint32_t bytes = count == 2 ? out[0] << 8 | out[1] : out[0];
  return static_cast<std::uint32_t>(count) << 16 | bytes;
}

AnswerTable windows31JDecoding;
AnswerTable windows31JEncoding;

// Readers give the code point of the character at the start of p and the
// bytes it takes, or 0 for a character that they leave to iconv.
[[gnu::always_inline]] inline std::size_t
readPlainAscii(const unsigned char* p, std::size_t, unsigned* cp) {
  if (!convlib::isPlainAsciiUnit(*p)) return 0;
  *cp = *p;
  return 1;
}

bool isTrail(unsigned byte) { return (byte & 0xC0) == 0x80; }

// Well-formed UTF-8 only; iconv deals with the rest, so that bad bytes are
// reported as it reports them. The second byte's ranges keep out overlong
// forms, surrogates and code points past U+10FFFF.
[[gnu::always_inline]] inline std::size_t
readUtf8(const unsigned char* p, std::size_t left, unsigned* cp) {
  const unsigned lead = p[0];
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (left < 2 || !isTrail(p[1])) return 0;
    *cp = (lead & 0x1F) << 6 | (p[1] & 0x3F);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;
    if (left < 3 || p[1] < low || p[1] > high || !isTrail(p[2])) return 0;
    *cp = (lead & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    if (left < 4 || p[1] < low || p[1] > high || !isTrail(p[2]) || !isTrail(p[3])) return 0;
    *cp = (lead & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    return 4;
  }
  return 0;
}

// WINDOWS-31J characters are one or two bytes long, so iconv's answer for
// the first two bytes decides.
[[gnu::always_inline]] inline std::size_t
readWindows31J(const unsigned char* p, std::size_t left, unsigned* cp) {
  if (readPlainAscii(p, left, cp) == 1) return 1;
  if (left < 2) return 0;
  const std::uint32_t answer = lookUp(windows31JDecoding, convlib::kWindows31J,
                                      convlib::kUtf16BE, p[0], p[1], askDecode);
  *cp = answer & 0xFFFF;
  // The same as answer >> 16, but as a branch: the next character's reads
  // need not wait for this table load, which doubles the speed.
  return answer >= 2u << 16 ? 2 : answer >> 16;
}

// Writers give the byte count of code point cp and, when they fit in room,
// put the bytes at out; 0 for a character that they leave to iconv.
[[gnu::always_inline]] inline std::size_t
writePlainAscii(unsigned cp, unsigned char* out, std::size_t room) {
  if (!convlib::isPlainAsciiUnit(cp)) return 0;
  if (room >= 1) out[0] = static_cast<unsigned char>(cp);
  return 1;
}

[[gnu::always_inline]] inline std::size_t
writeUtf8(unsigned cp, unsigned char* out, std::size_t room) {
  if (cp < 0x80) {
    if (room >= 1) out[0] = static_cast<unsigned char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    if (room < 2) return 2;
    out[0] = static_cast<unsigned char>(0xC0 | cp >> 6);
    out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    if (room < 3) return 3;
    out[0] = static_cast<unsigned char>(0xE0 | cp >> 12);
    out[1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 3;
  }
  if (room < 4) return 4;
  out[0] = static_cast<unsigned char>(0xF0 | cp >> 18);
  out[1] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
  out[2] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
  out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
  return 4;
}

[[gnu::always_inline]] inline std::size_t
writeWindows31J(unsigned cp, unsigned char* out, std::size_t room) {
  if (convlib::isPlainAsciiUnit(cp)) return writePlainAscii(cp, out, room);
  if (cp > 0xFFFF) return 0;
  const std::uint32_t answer = lookUp(windows31JEncoding, convlib::kUtf16BE,
                                      convlib::kWindows31J, cp >> 8, cp & 0xFF, askEncode);
  const std::size_t length = answer >> 16;
  if (length > room) return length;
  if (length == 2) {
    out[0] = static_cast<unsigned char>(answer >> 8);
    out[1] = static_cast<unsigned char>(answer);
  } else if (length == 1) {
    out[0] = static_cast<unsigned char>(answer);
  }
  return length;
}

// The fast paths convert the start of a text themselves and leave the rest,
// from the first character they do not know, to iconv. The text up to there
// is stateless (or, in ISO-2022-JP, plain ASCII in the initial state), so
// iconv goes on exactly as if it had converted all. Like iconv, they stop
// before a character that does not fit, and then report false.
// Moves the caller's positions and counts on to where a fast path stopped.
void advanceTo(const unsigned char* p, unsigned char* q, const unsigned char*& in,
               std::size_t& inLeft, unsigned char*& out, std::size_t& outLeft) {
  inLeft -= static_cast<std::size_t>(p - in);
  outLeft -= static_cast<std::size_t>(q - out);
  in = p;
  out = q;
}

using Reader = std::size_t (*)(const unsigned char*, std::size_t, unsigned*);
using Writer = std::size_t (*)(unsigned, unsigned char*, std::size_t);

// Every reader and writer maps plain ASCII to itself, so the loops take it
// eight bytes, or four units, at a time: each such run in a path is then a
// step, not a character's work per byte.
// The four bytes of x, each moved to the low byte of its own 16 bits.
std::uint64_t spreadBytes(std::uint64_t x) {
  x = (x | x << 16) & 0x0000FFFF0000FFFF;
  return (x | x << 8) & 0x00FF00FF00FF00FF;
}

template <bool bigEndian>
[[gnu::always_inline]] inline bool copyPlainBytes(const unsigned char* p, unsigned char* q) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if (!convlib::isPlainAsciiWord(word)) return false;
  // Read as one word, the first four bytes in memory are its low half on a
  // little-endian processor and its high half on a big-endian one. Spread
  // out, they are four units in the processor's order; a shift turns them.
  const bool hostBig = platform::hostIsBigEndian() != 0;
  const int shift = bigEndian == hostBig ? 0 : 8;
  const std::uint64_t units[2] = {spreadBytes(hostBig ? word >> 32 : word & 0xFFFFFFFF) << shift,
                                  spreadBytes(hostBig ? word & 0xFFFFFFFF : word >> 32) << shift};
  std::memcpy(q, units, sizeof units);
  return true;
}

template <bool bigEndian>
[[gnu::always_inline]] inline bool copyPlainUnits(const unsigned char* p, unsigned char* q) {
  // Read as one word, units in the processor's order keep their high bytes
  // in the upper half of each 16 bits; turned units in the lower half.
  const bool swapped = bigEndian != (platform::hostIsBigEndian() != 0);
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if (!convlib::isPlainAsciiUnits(word, swapped ? 0x00FF00FF00FF00FF : 0xFF00FF00FF00FF00))
    return false;
  const int low = bigEndian ? 1 : 0;
  q[0] = p[low];
  q[1] = p[2 + low];
  q[2] = p[4 + low];
  q[3] = p[6 + low];
  return true;
}

// The byte order is a template argument so that the loops carry no test of
// it; the readers and writers are forced inline into them for the same reason.
template <Reader Read, bool bigEndian>
bool decodeRun(const unsigned char*& in, std::size_t& inLeft, unsigned char*& out,
               std::size_t& outLeft) {
  // Local copies: stores through out could otherwise alias the counters.
  const unsigned char* p = in;
  const unsigned char* const end = in + inLeft;
  unsigned char* q = out;
  unsigned char* const outEnd = out + outLeft;
  bool fits = true;
  for (unsigned cp = 0; p < end;) {
    if (*p < 0x80 && end - p >= 8 && outEnd - q >= 16 && copyPlainBytes<bigEndian>(p, q)) {
      p += 8;
      q += 16;
      continue;
    }
    const std::size_t used = Read(p, static_cast<std::size_t>(end - p), &cp);
    if (used == 0) break;
    if (cp > 0xFFFF) {
      if (outEnd - q < 4) {
        fits = false;
        break;
      }
      storeUnit(q, 0xD7C0 + (cp >> 10), bigEndian);
      storeUnit(q + 2, 0xDC00 | (cp & 0x3FF), bigEndian);
      q += 4;
    } else {
      if (outEnd - q < 2) {
        fits = false;
        break;
      }
      storeUnit(q, cp, bigEndian);
      q += 2;
    }
    p += used;
  }
  advanceTo(p, q, in, inLeft, out, outLeft);
  return fits;
}

template <Writer Write, bool bigEndian>
bool encodeRun(const unsigned char*& in, std::size_t& inLeft, unsigned char*& out,
               std::size_t& outLeft) {
  const unsigned char* p = in;
  const unsigned char* const end = in + inLeft;
  unsigned char* q = out;
  unsigned char* const outEnd = out + outLeft;
  bool fits = true;
  while (end - p >= 2) {
    unsigned cp = loadUnit(p, bigEndian);
    if (cp < 0x80 && end - p >= 8 && outEnd - q >= 4 && copyPlainUnits<bigEndian>(p, q)) {
      p += 8;
      q += 4;
      continue;
    }
    std::size_t used = 2;
    if ((cp & 0xF800) == 0xD800) {  // a surrogate: only a whole pair is known
      if (!isHighSurrogate(cp) || end - p < 4 || !isLowSurrogate(loadUnit(p + 2, bigEndian)))
        break;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (loadUnit(p + 2, bigEndian) - 0xDC00);
      used = 4;
    }
    const std::size_t room = static_cast<std::size_t>(outEnd - q);
    const std::size_t count = Write(cp, q, room);
    if (count == 0) break;
    if (count > room) {
      fits = false;
      break;
    }
    p += used;
    q += count;
  }
  advanceTo(p, q, in, inLeft, out, outLeft);
  return fits;
}

template <bool bigEndian>
bool decodeKnown(Encoding from, const unsigned char*& in, std::size_t& inLeft,
                 unsigned char*& out, std::size_t& outLeft) {
  switch (from) {
    case convlib::kUtf8: return decodeRun<readUtf8, bigEndian>(in, inLeft, out, outLeft);
    case convlib::kWindows31J:
      return decodeRun<readWindows31J, bigEndian>(in, inLeft, out, outLeft);
    default: return decodeRun<readPlainAscii, bigEndian>(in, inLeft, out, outLeft);
  }
}

template <bool bigEndian>
bool encodeKnown(Encoding to, const unsigned char*& in, std::size_t& inLeft,
                 unsigned char*& out, std::size_t& outLeft) {
  switch (to) {
    case convlib::kUtf8: return encodeRun<writeUtf8, bigEndian>(in, inLeft, out, outLeft);
    case convlib::kWindows31J:
      return encodeRun<writeWindows31J, bigEndian>(in, inLeft, out, outLeft);
    default: return encodeRun<writePlainAscii, bigEndian>(in, inLeft, out, outLeft);
  }
}

// Multibyte bytes into UTF-16. Each byte that does not decode, also in an
// incomplete character at the end, becomes U+FFFD, and the conversion goes
// on with the next byte.
std::size_t decode(Encoding from, Encoding to, const unsigned char* in,
                   std::size_t inLeft, unsigned char* out, std::size_t outLeft,
                   bool fast) {
  const bool bigEndian = to == convlib::kUtf16BE;
  unsigned char* const start = out;
  if (fast && !(bigEndian ? decodeKnown<true>(from, in, inLeft, out, outLeft)
                          : decodeKnown<false>(from, in, inLeft, out, outLeft))) {
    return out - start;
  }
  if (inLeft == 0) return out - start;
  iconv_t cd = IconvPool::acquire(from, to);
  if (cd == kNoDescriptor) return out - start;
  char* src = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
  char* dst = reinterpret_cast<char*>(out);
  while (inLeft > 0) {
    if (iconv(cd, &src, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    const int error = errno;
    if ((error != EILSEQ && error != EINVAL) || outLeft < 2) break;
    storeUnit(reinterpret_cast<unsigned char*>(dst), 0xFFFD, bigEndian);
    dst += 2;
    outLeft -= 2;
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
                   std::size_t inLeft, unsigned char* out, std::size_t outLeft,
                   bool fast) {
  const bool bigEndian = from == convlib::kUtf16BE;
  inLeft &= ~static_cast<std::size_t>(1);
  unsigned char* const start = out;
  // Room kept back so that ISO-2022-JP can always end with ESC ( B.
  const std::size_t reserve = to == convlib::kIso2022Jp ? 3 : 0;
  if (outLeft < reserve) return 0;
  outLeft -= reserve;
  if (fast && !(bigEndian ? encodeKnown<true>(to, in, inLeft, out, outLeft)
                          : encodeKnown<false>(to, in, inLeft, out, outLeft))) {
    return out - start;
  }
  if (inLeft == 0) return out - start;
  iconv_t cd = IconvPool::acquire(from, to);
  if (cd == kNoDescriptor) return out - start;
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
    inLeft -= skip;  // a whole unit or pair: inLeft is even and holds it
  }
  outLeft += reserve;
  iconv(cd, nullptr, nullptr, &dst, &outLeft);
  IconvPool::release(from, to, cd);
  return reinterpret_cast<unsigned char*>(dst) - start;
}

// One conversion, with or without the fast paths.
int execute(ConvContext* context, bool fast) {
  if (context == nullptr || context->target == nullptr) return -1;
  const WorkState state = loadState(context);
  // Exactly one side is UCS-2; the last byte (decoding: the last unit) of the
  // target stays zero so that the result is always terminated.
  if (state.from == convlib::kNoEncoding || state.to == convlib::kNoEncoding ||
      state.from >= convlib::kEncodingCount || state.to >= convlib::kEncodingCount ||
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
        decode(state.from, state.to, in, inLeft, out, capacity / 2 * 2 - 2, fast);
    out[written] = out[written + 1] = 0;
  } else {
    const std::size_t written =
        encode(state.from, state.to, in, inLeft, out, capacity - 1, fast);
    out[written] = 0;
  }
  return 0;
}

}  // namespace

int convlib::executeThroughIconvOnly(ConvContext* context) {
  return execute(context, false);
}

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

int convExecute(ConvContext* context) { return execute(context, true); }

int convClose(ConvContext* context) {
  if (context == nullptr) return -1;
  storeState(context, WorkState{convlib::kNoEncoding, convlib::kNoEncoding});
  return 0;
}

}  // extern "C"
