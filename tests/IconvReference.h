// The C library's iconv as the reference that the conversion component is
// held to, driven by the component's rules for what iconv refuses: U+FFFD per
// byte that does not decode, "?" per character that does not encode (a lone
// surrogate too), ISO-2022-JP back in its initial state before each "?" and
// at the end. Shared by the tests and the fuzz targets (Linux only).
#ifndef QUIRE_TESTS_ICONVREFERENCE_H_
#define QUIRE_TESTS_ICONVREFERENCE_H_

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>

namespace quire_test {

class IconvReference {
 public:
  // encoding is one of the library's five names; units on the UCS-2 side are
  // in the order bigEndian names.
  IconvReference(const char* encoding, bool bigEndian)
      : encoding_(encoding),
        iso2022Jp_(encoding_ == "ISO-2022-JP"),
        bigEndian_(bigEndian),
        wide_(bigEndian ? "UTF-16BE" : "UTF-16LE"),
        decoder_(open(wide_, iconvName(encoding))),
        encoder_(open(iconvName(encoding), wide_)) {}
  ~IconvReference() {
    iconv_close(decoder_);
    iconv_close(encoder_);
  }
  IconvReference(const IconvReference&) = delete;
  IconvReference& operator=(const IconvReference&) = delete;

  // The units (as bytes) that decoding bytes into capacity bytes gives,
  // without the terminating zero unit.
  std::string decode(const std::string& bytes, std::size_t capacity) {
    if (capacity < 2) return std::string();
    refresh(decoder_, decoderFull_, wide_, iconvName(encoding_.c_str()));
    std::string out(capacity, '\0');
    char* src = const_cast<char*>(bytes.data());
    char* dst = &out[0];
    std::size_t inLeft = bytes.size();
    std::size_t outLeft = capacity / 2 * 2 - 2;
    while (inLeft > 0) {
      if (iconv(decoder_, &src, &inLeft, &dst, &outLeft) != kFailed) break;
      if (errno == E2BIG) decoderFull_ = true;
      if ((errno != EILSEQ && errno != EINVAL) || outLeft < 2) break;
      put(dst, 0xFFFD);
      dst += 2;
      outLeft -= 2;
      ++src;
      --inLeft;
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
  }

  // The bytes that encoding units (as bytes) into capacity bytes gives,
  // without the terminating zero. With withOwnRules, also what the library
  // decides apart from iconv: U+00A5 and U+203E never become ASCII bytes in
  // WINDOWS31J or EUC-JP, and tag characters (which iconv drops) are refused
  // like any other the encoding cannot hold.
  std::string encode(const std::string& units, std::size_t capacity, bool withOwnRules = true) {
    if (capacity < 1) return std::string();
    refresh(encoder_, encoderFull_, iconvName(encoding_.c_str()), wide_);
    std::string out(capacity, '\0');
    const std::size_t reserve = iso2022Jp_ ? 3 : 0;
    if (capacity - 1 < reserve) return std::string();
    std::string source = units.substr(0, units.size() / 2 * 2);
    if (withOwnRules) refuseAsTheLibraryDoes(source);
    char* src = &source[0];
    char* dst = &out[0];
    std::size_t inLeft = source.size();
    std::size_t outLeft = capacity - 1 - reserve;
    while (inLeft > 0) {
      if (iconv(encoder_, &src, &inLeft, &dst, &outLeft) != kFailed) break;
      if (errno == E2BIG) encoderFull_ = true;
      if (errno != EILSEQ && errno != EINVAL) break;
      const std::size_t skip = pairAt(src, inLeft) ? 4 : 2;
      if (iconv(encoder_, nullptr, nullptr, &dst, &outLeft) == kFailed || outLeft < 1) {
        encoderFull_ = true;
        break;
      }
      *dst++ = '?';
      --outLeft;
      src += skip;
      inLeft -= skip;
    }
    outLeft += reserve;
    iconv(encoder_, nullptr, nullptr, &dst, &outLeft);
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
  }

 private:
  static constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

  static const char* iconvName(const char* encoding) {
    const std::string name = encoding;
    if (name == "WINDOWS31J") return "WINDOWS-31J";
    if (name == "ChineseGBK") return "GBK";
    return encoding;
  }

  // Back to the initial state. After iconv ran out of room a descriptor can
  // keep more than its shift state, so it is then opened anew.
  static void refresh(iconv_t& cd, bool& full, const char* to, const char* from) {
    if (full) {
      iconv_close(cd);
      cd = open(to, from);
      full = false;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }

  static iconv_t open(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    return cd;
  }

  unsigned unitAt(const char* p) const {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return bigEndian_ ? b[0] << 8 | b[1] : b[1] << 8 | b[0];
  }

  void put(char* p, unsigned unit) const {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    p[0] = bigEndian_ ? high : low;
    p[1] = bigEndian_ ? low : high;
  }

  bool pairAt(const char* p, std::size_t left) const {
    return left >= 4 && (unitAt(p) & 0xFC00) == 0xD800 && (unitAt(p + 2) & 0xFC00) == 0xDC00;
  }

  // Swaps each character that the library refuses although iconv does not
  // for one that iconv refuses in the same way: U+FFFF in the BMP, U+1F600
  // beyond it.
  void refuseAsTheLibraryDoes(std::string& units) const {
    const bool pathSafe = encoding_ == "WINDOWS31J" || encoding_ == "EUC-JP";
    for (std::size_t at = 0; at + 2 <= units.size();) {
      const unsigned cp = unitAt(&units[at]);
      if (pairAt(&units[at], units.size() - at)) {
        const unsigned low = unitAt(&units[at + 2]);
        if (encoding_ != "UTF-8" && cp == 0xDB40 && low <= 0xDC7F) {
          put(&units[at], 0xD83D);
          put(&units[at + 2], 0xDE00);
        }
        at += 4;
        continue;
      }
      if (pathSafe && (cp == 0xA5 || cp == 0x203E)) put(&units[at], 0xFFFF);
      at += 2;
    }
  }

  std::string encoding_;
  bool iso2022Jp_;
  bool bigEndian_;
  const char* wide_;
  bool decoderFull_ = false;
  bool encoderFull_ = false;
  iconv_t decoder_;
  iconv_t encoder_;
};

}  // namespace quire_test

#endif  // QUIRE_TESTS_ICONVREFERENCE_H_
