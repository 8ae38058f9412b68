#include "quire/VelParamString.h"

#include <cstring>

#include "platform/ByteOrder.h"
#include "platform/conv/Ascii.h"
#include "platform/conv/Coder.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"

namespace Quire {
namespace {

const unsigned short kNoUnits[] = {0};

// Converted text passes through a piece of this size on the stack.
constexpr std::size_t kPieceBytes = 1024;

// Units before the terminating zero, four to a step where the generic loop
// takes one: each unit is read only after the one before it proved non-zero.
std::size_t unitLength(const unsigned short* s) {
  std::size_t n = 0;
  while (s[n] != 0 && s[n + 1] != 0 && s[n + 2] != 0 && s[n + 3] != 0) n += 4;
  while (s[n] != 0) ++n;
  return n;
}

// Never shrinks, so that a source inside the form stays where it is.
template <typename Form>
void makeRoom(Form& form, std::size_t count) {
  if (form.capacity() < count) form.reserve(count);
}

// Stores count characters of text as the form given and their conversion by
// coder as the other form, at most most characters long. A failed allocation
// leaves both forms as they were: the first piece is converted before either
// changes (short text then takes just its room), and both get their room
// before the commit. The rest goes straight into the reserved room, which
// faults no page before it is written.
template <typename Given, typename Other>
void assignBoth(Given& given, const typename Given::value_type* text, std::size_t count,
                Other& other, std::size_t most, convlib::CoderStream& coder) {
  typename Other::value_type piece[kPieceBytes / sizeof(typename Other::value_type)];
  const auto bytesOf = [](const typename Given::value_type* units) {
    return reinterpret_cast<const unsigned char*>(units);
  };
  const auto convertInto = [&piece, &coder](const unsigned char* in, std::size_t bytes) {
    return coder.convert(in, bytes, reinterpret_cast<unsigned char*>(piece), sizeof piece, true);
  };
  std::size_t left = count * sizeof *text;
  convlib::CoderProgress run = convertInto(bytesOf(text), left);
  const bool whole = run.result == convlib::CoderResult::kInputEmpty;
  makeRoom(given, count);
  makeRoom(other, whole ? run.written / sizeof *piece : most);
  given.assign(text, count);
  other.assign(piece, run.written / sizeof *piece);
  // The rest is read from the stored form, which text may overlap.
  for (const unsigned char* in = bytesOf(given.data()); !whole;) {
    in += run.read;
    left -= run.read;
    run = convertInto(in, left);
    other.append(piece, run.written / sizeof *piece);
    if (run.result == convlib::CoderResult::kInputEmpty) break;
  }
}

// For text too long to convert: stores it, and the other form is emptied.
template <typename Given, typename Other>
void assignUnconverted(Given& given, const typename Given::value_type* text, std::size_t count,
                       Other& other) {
  makeRoom(given, count);
  given.assign(text, count);
  other.clear();
}

}  // namespace

VelParamString::VelParamString() = default;

VelParamString::VelParamString(const char* s) { *this = s; }

VelParamString::VelParamString(const unsigned short* s) { *this = s; }

VelParamString::VelParamString(const VelParamString& other) { *this = other; }

VelParamString::~VelParamString() = default;

VelParamString& VelParamString::operator=(const VelParamString& other) {
  if (this != &other) {
    makeRoom(mbcsText, other.mbcsText.size());
    makeRoom(ucs2Text, other.ucs2Text.size());
    mbcsText = other.mbcsText;
    ucs2Text = other.ucs2Text;
  }
  return *this;
}

// Plain ASCII reads the same in every supported encoding, so the environment
// is not read for it, and any codec converts it.
VelParamString& VelParamString::operator=(const char* s) {
  if (s == nullptr) s = "";
  const std::size_t n = std::strlen(s);
  const bool plain = convlib::isPlainAscii(s, n);
  if (!plain && n > static_cast<std::size_t>(VelCodeConverter::kMaxConvertible)) {
    assignUnconverted(mbcsText, s, n, ucs2Text);
    return *this;
  }
  convlib::Decoder decoder(plain ? convlib::kWindows31J : currentEncoding(),
                           platform::hostIsBigEndian());
  // n bytes never give more than n units.
  assignBoth(mbcsText, s, n, ucs2Text, n, decoder);
  return *this;
}

VelParamString& VelParamString::operator=(const unsigned short* s) {
  if (s == nullptr) s = kNoUnits;
  const std::size_t n = unitLength(s);
  const bool plain = convlib::isPlainAscii(s, n);
  if (!plain && n > static_cast<std::size_t>(VelCodeConverter::kMaxConvertible)) {
    assignUnconverted(ucs2Text, s, n, mbcsText);
    return *this;
  }
  const convlib::EncodingId encoding = plain ? convlib::kWindows31J : currentEncoding();
  convlib::Encoder encoder(encoding, platform::hostIsBigEndian());
  assignBoth(ucs2Text, s, n, mbcsText, plain ? n : convlib::maxEncodedBytes(encoding, n), encoder);
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
