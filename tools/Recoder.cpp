#include "tools/Recoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/EncodingChoice.h"

namespace quire_tool {
namespace {

using Quire::VelCodeConverter;

// Only the first byte of a run of bytes that could each start a two-byte
// character surely starts one, so such a run at the end of a piece waits
// whole; that keeps even malformed text as one conversion would read it.
// A longer run is cut after its last character as well-formed text reads.
constexpr std::size_t kLongestWait = 4096;
constexpr std::size_t kLongestHeldUnits = 1 << 20;
constexpr unsigned char kEscape = 0x1B;
constexpr unsigned short kReplacement = 0xFFFD;

CharacterForm formOf(const char* name) {
  if (std::strcmp(name, "WINDOWS31J") == 0) return CharacterForm::kWindows31J;
  if (std::strcmp(name, "ChineseGBK") == 0) return CharacterForm::kGbk;
  if (std::strcmp(name, "EUC-JP") == 0) return CharacterForm::kEucJp;
  if (std::strcmp(name, "ISO-2022-JP") == 0) return CharacterForm::kIso2022Jp;
  return CharacterForm::kUtf8;
}

// Bytes in the character that b starts, in well-formed text; 1 for a byte
// that never starts a longer one. ISO-2022-JP's are those of a two-byte set.
std::size_t characterLength(CharacterForm form, unsigned char b) {
  switch (form) {
    case CharacterForm::kWindows31J:
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
    case CharacterForm::kGbk: return b >= 0x81 && b <= 0xFE ? 2 : 1;
    case CharacterForm::kEucJp: return b == 0x8F ? 3 : b == 0x8E || (b >= 0xA1 && b <= 0xFE) ? 2 : 1;
    case CharacterForm::kIso2022Jp: return b >= 0x21 && b < 0x7F ? 2 : 1;
    case CharacterForm::kUtf8: return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  }
  return 1;
}

// The end of the whole characters in [from, end), from a place where one
// starts. A byte that starts no longer character ends one, whatever came
// before it.
std::size_t wholeAfterLeadRun(CharacterForm form, const unsigned char* b, std::size_t from,
                              std::size_t end) {
  std::size_t run = end;
  while (run > from && characterLength(form, b[run - 1]) > 1) --run;
  if (end - run <= kLongestWait) return run;
  std::size_t i = run;
  while (i < end && i + characterLength(form, b[i]) <= end) i += characterLength(form, b[i]);
  return i;
}

// In UTF-8 every byte but 10xxxxxx starts a character.
std::size_t wholeUtf8(const unsigned char* b, std::size_t end) {
  for (std::size_t back = 1; back <= 4 && back <= end; ++back) {
    const std::size_t start = end - back;
    if ((b[start] & 0xC0) != 0x80)
      return start + characterLength(CharacterForm::kUtf8, b[start]) > end ? start : end;
  }
  return end;
}

// 1 for an ISO-2022-JP escape sequence to a one-byte set at p, 2 for one to
// a two-byte set, 0 for anything else (which the decoder reads as text).
int shiftAt(const unsigned char* p, std::size_t left) {
  if (left < 3 || p[0] != kEscape) return 0;
  if (p[1] == '(' && (p[2] == 'B' || p[2] == 'J')) return 1;
  if (p[1] == '$' && (p[2] == '@' || p[2] == 'B')) return 2;
  return 0;
}

// ISO-2022-JP's encoder stays in JIS X 0201 Roman, which it enters for ¥ and
// ‾, for the ASCII that the set shares; anything else returns it to ASCII.
bool staysRoman(unsigned unit) { return unit >= 0x21 && unit <= 0x7D && unit != 0x5C; }
bool entersRoman(unsigned unit) { return unit == 0xA5 || unit == 0x203E; }

// The end of the longest start of units after which ISO-2022-JP's encoder
// is in ASCII, so that output cut there ends as one conversion's would.
// units start in ASCII.
std::size_t asciiStateCut(const std::vector<unsigned short>& units) {
  std::size_t cut = units.size();
  while (cut > 0) {
    if (units[cut - 1] >= 0x80) {
      --cut;
    } else if (!staysRoman(units[cut - 1])) {
      return cut;
    } else {
      std::size_t start = cut - 1;
      while (start > 0 && staysRoman(units[start - 1])) --start;
      if (start == 0 || !entersRoman(units[start - 1])) return cut;
      cut = start - 1;
    }
  }
  return 0;
}

// Whether any of the four 16-bit lanes of word is zero.
bool hasZeroLane(std::uint64_t word) {
  return ((word - 0x0001000100010001) & ~word & 0x8000800080008000) != 0;
}

std::uint64_t inEveryLane(std::uint64_t unit) { return 0x0001000100010001u * unit; }

// The length of the terminated units, counting U+FFFD into replaced and
// taking each "?" off questions. Four units at a time pass in one step
// unless they hold one of the three.
std::size_t scanUnits(const std::vector<unsigned short>& units, long long* replaced,
                      long long* questions) {
  std::size_t n = 0;
  for (;;) {
    if (n + 4 <= units.size()) {
      std::uint64_t word;
      std::memcpy(&word, &units[n], sizeof word);
      if (!hasZeroLane(word) && !hasZeroLane(word ^ inEveryLane(kReplacement)) &&
          !hasZeroLane(word ^ inEveryLane('?'))) {
        n += 4;
        continue;
      }
    }
    const unsigned short unit = units[n];
    if (unit == 0) return n;
    *replaced += unit == kReplacement;
    *questions -= unit == '?';
    ++n;
  }
}

long long occurrences(const char* bytes, std::size_t count, const std::string& pattern) {
  if (pattern.empty()) return 0;
  const std::string_view text(bytes, count);
  long long found = 0;
  for (std::size_t at = text.find(pattern); at != std::string_view::npos;
       at = text.find(pattern, at + pattern.size()))
    ++found;
  return found;
}

}  // namespace

Recoder::Recoder(const char* fromCode, const char* toCode)
    : decoder_(fromCode, Quire::kUcs2Encoding),
      encoder_(Quire::kUcs2Encoding, toCode),
      from_(formOf(fromCode)),
      toIso2022Jp_(formOf(toCode) == CharacterForm::kIso2022Jp) {
  const unsigned short replacement[] = {kReplacement, 0};
  char bytes[16];
  VelCodeConverter(Quire::kUcs2Encoding, fromCode).encodeBuffer(replacement, 1, bytes, sizeof bytes);
  if (std::strcmp(bytes, "?") != 0) replacementInSource_ = bytes;
  encoder_.encodeBuffer(replacement, 1, bytes, sizeof bytes);
  replacementBecomesQuestion_ = std::strcmp(bytes, "?") == 0;
}

void Recoder::add(const char* bytes, std::size_t count, std::string* out) {
  while (count > 0) {
    const char* zero = static_cast<const char*>(std::memchr(bytes, 0, count));
    const std::size_t run = zero != nullptr ? static_cast<std::size_t>(zero - bytes) : count;
    pending_.append(bytes, run);
    if (zero == nullptr) {
      std::string shift;
      const auto* b = reinterpret_cast<const unsigned char*>(pending_.data());
      const std::size_t whole =
          from_ == CharacterForm::kIso2022Jp ? wholeIso2022Jp(&shift)
          : from_ == CharacterForm::kUtf8    ? wholeUtf8(b, pending_.size())
                                             : wholeAfterLeadRun(from_, b, 0, pending_.size());
      convert(whole, false, out);
      pending_.replace(0, whole, shift);
      return;
    }
    finish(out);
    out->push_back('\0');
    bytes += run + 1;
    count -= run + 1;
  }
}

void Recoder::finish(std::string* out) {
  convert(pending_.size(), true, out);
  pending_.clear();
}

long long Recoder::unencodableCharacters() const {
  // Each byte that did not decode became U+FFFD, and that became "?".
  return questionsAdded_ - (replacementBecomesQuestion_ ? undecodable_ : 0);
}

// The pending bytes up to the end of their last whole character; shift gets
// the escape sequence of the shift state there.
std::size_t Recoder::wholeIso2022Jp(std::string* shift) const {
  const auto* b = reinterpret_cast<const unsigned char*>(pending_.data());
  std::size_t end = pending_.size();
  // An escape sequence still arriving waits whole.
  for (std::size_t back = 1; back <= 3 && back <= end; ++back) {
    if (b[end - back] != kEscape) continue;
    if (shiftAt(b + end - back, back) == 0) end -= back;
    break;
  }
  for (std::size_t shiftEnd = end; shiftEnd >= 3; --shiftEnd) {
    const int set = shiftAt(b + shiftEnd - 3, 3);
    if (set == 0) continue;
    shift->assign(pending_, shiftEnd - 3, 3);
    return set == 2 ? wholeAfterLeadRun(CharacterForm::kIso2022Jp, b, shiftEnd, end) : end;
  }
  return end;
}

void Recoder::convert(std::size_t count, bool last, std::string* out) {
  std::size_t decoded = 0;
  if (count > 0) {
    const int bytes = static_cast<int>(count);
    units_.resize(count + 1);
    decoder_.decodeBuffer(pending_.data(), bytes, units_.data(),
                          VelCodeConverter::decodeCapacity(bytes));
    // Every unit is encoded once, so the "?" already here are taken off the
    // encoder's "?" now.
    long long replaced = 0;
    decoded = scanUnits(units_, &replaced, &questionsAdded_);
    if (replaced > 0) undecodable_ += replaced - occurrences(pending_.data(), count, replacementInSource_);
  }
  if (!toIso2022Jp_) {
    encode(units_.data(), decoded, out);
    return;
  }
  heldUnits_.insert(heldUnits_.end(), units_.data(), units_.data() + decoded);
  std::size_t cut = last ? heldUnits_.size() : asciiStateCut(heldUnits_);
  if (heldUnits_.size() - cut > kLongestHeldUnits) cut = heldUnits_.size();
  encode(heldUnits_.data(), cut, out);
  heldUnits_.erase(heldUnits_.begin(), heldUnits_.begin() + static_cast<std::ptrdiff_t>(cut));
}

void Recoder::encode(const unsigned short* units, std::size_t count, std::string* out) {
  if (count == 0) return;
  const int n = static_cast<int>(count);
  encoded_.resize(static_cast<std::size_t>(VelCodeConverter::encodeCapacity(n)));
  encoder_.encodeBuffer(units, n, encoded_.data(), static_cast<int>(encoded_.size()));
  const std::size_t length = std::strlen(encoded_.data());
  questionsAdded_ += static_cast<long long>(questionMarks(encoded_.data(), length));
  out->append(encoded_.data(), length);
}

std::size_t Recoder::questionMarks(const char* bytes, std::size_t count) const {
  std::size_t marks = 0;
  if (!toIso2022Jp_) {
    for (const char* end = bytes + count;
         (bytes = static_cast<const char*>(std::memchr(bytes, '?', end - bytes))) != nullptr; ++bytes)
      ++marks;
    return marks;
  }
  // In a two-byte set, 0x3F is half of a character.
  bool twoByte = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[i] == kEscape && i + 1 < count)
      twoByte = bytes[i + 1] == '$';
    else if (bytes[i] == '?' && !twoByte)
      ++marks;
  }
  return marks;
}

}  // namespace quire_tool
