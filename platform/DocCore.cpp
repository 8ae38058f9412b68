#include "platform/DocCore.h"

#include <utility>

#include "platform/ByteOrder.h"

namespace DocCore {
namespace {

using Units = std::basic_string<unsigned short>;

constexpr unsigned short kReplacement = 0xFFFD;

unsigned short fromPdfDocEncoding(unsigned char byte) {
  // Where PDFDocEncoding differs from Latin-1: accents at 0x18-0x1F,
  // punctuation and Latin letters at 0x80-0x9E, the euro sign at 0xA0.
  static constexpr unsigned short kAccents[] = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                                                0x02DD, 0x02DB, 0x02DA, 0x02DC};
  static constexpr unsigned short kHigh[] = {
      0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,
      0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018,
      0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160,
      0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E};
  if (byte >= 0x18 && byte <= 0x1F) return kAccents[byte - 0x18];
  if (byte >= 0x80 && byte <= 0x9E) return kHigh[byte - 0x80];
  if (byte == 0xA0) return 0x20AC;
  // Undefined codes become U+FFFD: a character was there, but none we know.
  if (byte == 0x7F || byte == 0x9F || byte == 0xAD) return kReplacement;
  // Other control codes pass as they are, as PDF readers commonly take them.
  return byte;
}

Units decode(const std::string& bytes) {
  const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  Units units;
  if (bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<unsigned short>(byteAt(i) << 8 | byteAt(i + 1)));
    // A trailing odd byte is half a unit: mark it rather than drop it unseen.
    if (bytes.size() % 2 != 0) units.push_back(kReplacement);
  } else {
    for (std::size_t i = 0; i < bytes.size(); ++i) units.push_back(fromPdfDocEncoding(byteAt(i)));
  }
  return units;
}

Units byteSwapped(Units units) {
  for (unsigned short& unit : units) unit = static_cast<unsigned short>(unit >> 8 | unit << 8);
  return units;
}

}  // namespace

PDFRCObject::~PDFRCObject() = default;

int PDFRCObject::addRef() const {
  return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

int PDFRCObject::release() const {
  const int count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0) delete this;
  return count;
}

PDFDocument::PDFDocument() : PDFRCObject(ObjType::kDocument) {}

PDFDocument::~PDFDocument() = default;

PDFString::PDFString(std::string bytes)
    : PDFRCObject(ObjType::kString),
      bytes_(std::move(bytes)),
      hostOrder_(decode(bytes_)),
      swapped_(byteSwapped(hostOrder_)) {}

PDFString::~PDFString() = default;

void PDFString::treatUnicodeStr() {
  std::string unicode = "\xFE\xFF";
  for (const unsigned short unit : hostOrder_) {
    unicode.push_back(static_cast<char>(unit >> 8));
    unicode.push_back(static_cast<char>(unit & 0xFF));
  }
  bytes_ = std::move(unicode);
}

const unsigned short* PDFString::getBigEndianUniStr() const {
  return (platform::hostIsBigEndian() ? hostOrder_ : swapped_).c_str();
}

const unsigned short* PDFString::getLittleEndianUniStr() const {
  return (platform::hostIsBigEndian() ? swapped_ : hostOrder_).c_str();
}

const unsigned short* PDFString::getCPUEndianUniStr() const { return hostOrder_.c_str(); }

}  // namespace DocCore
