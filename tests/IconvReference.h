// The C library's iconv as the reference that the conversion component is held to, for the
// tests and the fuzz targets (Linux only).
#ifndef QUIRE_TESTS_ICONVREFERENCE_H_
#define QUIRE_TESTS_ICONVREFERENCE_H_

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ConvLib.h"
#include "tests/TestSupport.h"
#include "text/EncodingChoice.h"

namespace quire_test {

// The code point of the unit or surrogate pair at byte at, and its bytes.
inline unsigned codePointAt(const std::string& units, std::size_t at, bool bigEndian,
                            std::size_t* bytes) {
  const auto unit = [&](std::size_t i) {
    const auto* b = reinterpret_cast<const unsigned char*>(&units[at + i]);
    return bigEndian ? b[0] << 8 | b[1] : b[1] << 8 | b[0];
  };
  const unsigned high = unit(0), low = at + 4 <= units.size() ? unit(2) : 0;
  *bytes = (high & 0xFC00) == 0xD800 && (low & 0xFC00) == 0xDC00 ? 4 : 2;
  return *bytes == 4 ? 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00) : high;
}

// One conversion through the component, of source with nothing behind it to read, into
// capacity bytes and eight poison bytes: the target, or "refused" when either name is.
inline std::string convert(const char* from, const char* to, const std::string& source,
                           int capacity, bool bigEndian) {
  const std::vector<char> exact(source.begin(), source.end());
  std::string target(static_cast<std::size_t>(capacity) + 8, '\xA5');
  ConvContext context{exact.data(), static_cast<std::int32_t>(exact.size()), 0, &target[0],
                      capacity, {}};
  const bool decoding = to != nullptr && std::strcmp(to, Quire::kUcs2Encoding) == 0;
  const ConvInputOptions input{decoding ? 1 : bigEndian, 0, 1};
  const ConvOutputOptions output{decoding ? bigEndian : 1, 0, 1, {}};
  if (convOpenOutput(&context, &output, to) != 0 || convOpenInput(&context, &input, from) != 0)
    return "refused";
  convExecute(&context);
  convClose(&context);
  return target;
}

// What iconv gives for in into capacity bytes, without the zero: U+FFFD for each byte that it
// refuses to decode, "?" for each character that it (or the library) refuses to encode,
// ISO-2022-JP back in its initial state before that and at the end; refused counts them.
inline std::string viaIconv(const char* encoding, bool bigEndian, bool decoding, std::string in,
                            std::size_t capacity, long long* refused = nullptr) {
  const convlib::EncodingId id = convlib::encodingNamed(encoding);
  const std::size_t reserve = !decoding && id == convlib::kIso2022Jp ? 3 : 0;
  if (capacity < (decoding ? 2 : 1) + reserve) return std::string();
  for (std::size_t at = 0, bytes = 0; !decoding && at < in.size(); at += bytes) {
    // Where the library departs from iconv on purpose, one that iconv refuses: U+00A5 and
    // U+203E would be a backslash and a tilde unshifted; iconv drops tag characters silently.
    const unsigned cp = codePointAt(in, at, bigEndian, &bytes);
    if (((id == convlib::kWindows31J || id == convlib::kEucJp) && (cp == 0xA5 || cp == 0x203E)) ||
        (id != convlib::kUtf8 && cp >= 0xE0000 && cp <= 0xE007F))
      in.replace(at, bytes, bytesOf(bytes == 4 ? Wide{0xD83D, 0xDE00} : Wide{0xFFFF}, bigEndian));
  }
  const char* const wide = bigEndian ? "UTF-16BE" : "UTF-16LE";
  const char* const narrow = convlib::kEncodings[id].iconvName;
  // Opening is slow: descriptors are kept and reset, but closed after running out of room,
  // when they may keep more than their shift state.
  static iconv_t kept[convlib::kEncodingCount][2][2];
  iconv_t& cd = kept[id][bigEndian][decoding];
  if (cd == nullptr) cd = decoding ? iconv_open(wide, narrow) : iconv_open(narrow, wide);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const std::string mark = decoding ? bytesOf({0xFFFD}, bigEndian) : "?";
  std::string out(capacity, '\0');
  char* src = &in[0];
  char* dst = &out[0];
  std::size_t inLeft = in.size(), skip = 1;
  std::size_t outLeft = decoding ? capacity / 2 * 2 - 2 : capacity - 1 - reserve;
  while (inLeft > 0 && iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
    if (errno == E2BIG || (!decoding && iconv(cd, nullptr, nullptr, &dst, &outLeft) != 0) ||
        outLeft < mark.size())
      break;
    dst = std::copy(mark.begin(), mark.end(), dst);
    outLeft -= mark.size();
    if (refused != nullptr) ++*refused;
    if (!decoding) codePointAt(in, static_cast<std::size_t>(src - &in[0]), bigEndian, &skip);
    src += skip;
    inLeft -= skip;
  }
  outLeft += reserve;
  iconv(cd, nullptr, nullptr, &dst, &outLeft);
  if (inLeft > 0 && iconv_close(cd) == 0) cd = nullptr;
  out.resize(static_cast<std::size_t>(dst - out.data()));
  return out;
}

// Empty when the component writes what iconv gives for in into capacity bytes, then a zero unit
// and untouched poison; else the conversion and both targets.
inline std::string unlikeIconv(const char* encoding, bool bigEndian, bool decoding,
                               const std::string& in, int capacity) {
  const std::string iconv = viaIconv(encoding, bigEndian, decoding, in, std::size_t(capacity));
  const char* const ucs2 = Quire::kUcs2Encoding;
  const std::string ours = decoding ? convert(encoding, ucs2, in, capacity, bigEndian)
                                    : convert(ucs2, encoding, in, capacity, bigEndian);
  const std::size_t end = iconv.size() + (decoding ? 2 : 1);
  if (end + 8 <= ours.size() && ours.compare(0, iconv.size(), iconv) == 0 &&
      ours.find_first_not_of('\0', iconv.size()) == end &&
      ours.find_first_not_of('\xA5', end) == std::string::npos)
    return "";
  return std::string(encoding) + (bigEndian ? " big-endian " : " ") +
         (decoding ? "decoding " : "encoding ") + in + " into " + std::to_string(capacity) +
         " bytes: ours " + ours + ", iconv " + iconv;
}

}  // namespace quire_test

#endif  // QUIRE_TESTS_ICONVREFERENCE_H_
