#include "quire/VelParamString.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/conv/Ascii.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace Quire {
namespace {

using Wide = std::basic_string<unsigned short>;

const unsigned short kNoUnits[] = {0};

// Up to this many bytes a conversion's result is built on the stack.
constexpr int kStackBytes = 1024;

// Units before the first zero among the first count, four to a step: the
// conversion buffer is ours, so whole words inside it may be read.
std::size_t unitsBeforeZero(const unsigned short* units, std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    std::uint64_t word;
    std::memcpy(&word, units + i, sizeof word);
    if (((word - 0x0001000100010001) & ~word & 0x8000800080008000) != 0) break;
  }
  while (i < count && units[i] != 0) ++i;
  return i;
}

// Units before the terminating zero, four to a step where the generic loop
// takes one: each unit is read only after the one before it proved non-zero.
std::size_t unitLength(const unsigned short* s) {
  std::size_t n = 0;
  while (s[n] != 0 && s[n + 1] != 0 && s[n + 2] != 0 && s[n + 3] != 0) n += 4;
  while (s[n] != 0) ++n;
  return n;
}

}  // namespace

VelParamString::VelParamString() = default;

VelParamString::VelParamString(const char* s) { *this = s; }

VelParamString::VelParamString(const unsigned short* s) { *this = s; }

VelParamString::VelParamString(const VelParamString& other) { *this = other; }

VelParamString::~VelParamString() = default;

VelParamString& VelParamString::operator=(const VelParamString& other) {
  if (this != &other) {
    mbcsText = other.mbcsText;
    ucs2Text = other.ucs2Text;
  }
  return *this;
}

VelParamString& VelParamString::operator=(const char* s) {
  mbcsText.assign(s != nullptr ? s : "");
  const std::size_t n = mbcsText.size();
  // Plain ASCII reads the same in every supported encoding, so neither the
  // environment nor the component is needed.
  if (convlib::isPlainAscii(mbcsText.data(), n)) {
    ucs2Text = Wide(mbcsText.begin(), mbcsText.end());
    return *this;
  }
  if (n > static_cast<std::size_t>(VelCodeConverter::kMaxConvertible)) {
    ucs2Text.clear();
    return *this;
  }
  // n bytes never give more than n units. Short text is decoded on the stack,
  // long text on the heap, and copied once: sizing the wide form first would
  // fill it unit by unit, which costs more than the copy.
  const int bytes = static_cast<int>(n);
  const int capacity = VelCodeConverter::decodeCapacity(bytes);
  unsigned short stackBuffer[kStackBytes / 2];
  std::unique_ptr<unsigned short[]> heapBuffer;
  unsigned short* buffer = stackBuffer;
  if (capacity > kStackBytes) {
    heapBuffer.reset(new unsigned short[n + 1]);
    buffer = heapBuffer.get();
  }
  decodeBuffer(getMBCSEncoding(), kUcs2Encoding, mbcsText.data(), bytes, buffer, capacity);
  ucs2Text.assign(buffer, unitsBeforeZero(buffer, n));
  return *this;
}

VelParamString& VelParamString::operator=(const unsigned short* s) {
  if (s == nullptr) s = kNoUnits;
  const std::size_t n = unitLength(s);
  ucs2Text.assign(s, n);
  if (convlib::isPlainAscii(ucs2Text.data(), n)) {
    mbcsText = std::string(ucs2Text.begin(), ucs2Text.end());
    return *this;
  }
  if (n > static_cast<std::size_t>(VelCodeConverter::kMaxConvertible)) {
    mbcsText.clear();
    return *this;
  }
  const int units = static_cast<int>(n);
  const int capacity = VelCodeConverter::encodeCapacity(units);
  char stackBuffer[kStackBytes];
  std::unique_ptr<char[]> heapBuffer;
  char* buffer = stackBuffer;
  if (capacity > kStackBytes) {
    heapBuffer.reset(new char[capacity]);
    buffer = heapBuffer.get();
  }
  encodeBuffer(kUcs2Encoding, getMBCSEncoding(), ucs2Text.data(), units, buffer, capacity);
  mbcsText.assign(buffer);
  return *this;
}

int VelParamString::length() const {
  if (wstr_length() > 0) return wstr_length();
  if (cstr_length() > 0) return cstr_length();
  return 0;
}

int VelParamString::cstr_length() const { return static_cast<int>(mbcsText.size()); }

int VelParamString::wstr_length() const { return static_cast<int>(ucs2Text.size()); }

const char* VelParamString::c_str() const { return mbcsText.c_str(); }

const unsigned short* VelParamString::w_str() const { return ucs2Text.c_str(); }

int VelParamString::compare(const char* s) {
  return mbcsText.compare(s != nullptr ? s : "");
}

int VelParamString::compare(const unsigned short* s) {
  return ucs2Text.compare(s != nullptr ? s : kNoUnits);
}

}  // namespace Quire
