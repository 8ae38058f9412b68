#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/DocCore.h"
#include "quire/PDFStringText.h"
#include "tests/TestSupport.h"

namespace {

using DocCore::PDFName;
using DocCore::PDFString;
using Quire::getMBCstring;
using Quire::getUNICODEstring;
using Quire::VelParamString;
using quire_test::ScopedEncoding;
using quire_test::u16;
using quire_test::Wide;

// Gives the creator's reference back at the end of a test.
struct Release {
  void operator()(const DocCore::PDFRCObject* object) const { object->release(); }
};
template <typename T>
using Owned = std::unique_ptr<T, Release>;

Owned<PDFString> makeString(const std::string& bytes) {
  return Owned<PDFString>(new PDFString(bytes));
}

std::string utf16be(const Wide& units) {
  std::string bytes = "\xFE\xFF";
  for (const unsigned short unit : units) {
    bytes.push_back(static_cast<char>(unit >> 8));
    bytes.push_back(static_cast<char>(unit & 0xFF));
  }
  return bytes;
}

Wide unicodeText(const std::string& bytes) {
  const auto string = makeString(bytes);
  VelParamString result;
  getUNICODEstring(string.get(), result);
  return result.w_str();
}

// The units as they lie in memory, up to the terminating zero.
std::string memoryBytes(const unsigned short* units) {
  return std::string(reinterpret_cast<const char*>(units), 2 * Wide(units).size());
}

// Its text cannot be read: stands for any failure while the text is copied.
class UnreadableString : public PDFString {
 public:
  UnreadableString() : PDFString("text") {}
  const unsigned short* getBigEndianUniStr() const override { return fail(); }
  const unsigned short* getLittleEndianUniStr() const override { return fail(); }
  const unsigned short* getCPUEndianUniStr() const override { return fail(); }

 private:
  static const unsigned short* fail() { throw std::runtime_error("unreadable"); }
};

TEST(PDFStringTextTest, AnythingButAStringLeavesOrEmptiesTheResult) {
  const ScopedEncoding encoding("UTF-8");
  const Owned<PDFName> name(new PDFName("Title"));
  for (void* object : {static_cast<void*>(nullptr), static_cast<void*>(name.get())}) {
    VelParamString kept("kept");
    getMBCstring(object, kept);
    EXPECT_STREQ(kept.c_str(), "kept");
    EXPECT_EQ(Wide(kept.w_str()), u16(u"kept"));

    VelParamString emptied("kept");
    getUNICODEstring(object, emptied);
    EXPECT_EQ(emptied.cstr_length(), 0);
    EXPECT_EQ(emptied.wstr_length(), 0);
  }
  EXPECT_EQ(name->refCount(), 1);
}

TEST(PDFStringTextTest, ReferenceCountComesBackOnEveryWayOut) {
  const auto string = makeString(utf16be(u16(u"abc")));
  // A second holder, so that one release too many shows in the count.
  string->addRef();
  VelParamString result;
  getMBCstring(string.get(), result);
  EXPECT_EQ(string->refCount(), 2);
  getUNICODEstring(string.get(), result);
  EXPECT_EQ(string->refCount(), 2);
  string->release();

  const Owned<PDFString> unreadable(new UnreadableString);
  EXPECT_THROW(getMBCstring(unreadable.get(), result), std::runtime_error);
  EXPECT_EQ(unreadable->refCount(), 1);
  EXPECT_THROW(getUNICODEstring(unreadable.get(), result), std::runtime_error);
  EXPECT_EQ(unreadable->refCount(), 1);
}

TEST(PDFStringTextTest, OnlyTheWideFormKeepsWhatTheEncodingCannotHold) {
  const Wide text = u16(u"日本語€😀");
  const auto string = makeString(utf16be(text));
  const char* const sjis = "\x93\xFA\x96\x7B\x8C\xEA??";
  {
    const ScopedEncoding encoding("WINDOWS31J");
    VelParamString mbc;
    getMBCstring(string.get(), mbc);
    EXPECT_STREQ(mbc.c_str(), sjis);
    EXPECT_EQ(Wide(mbc.w_str()), u16(u"日本語??"));

    VelParamString uni;
    getUNICODEstring(string.get(), uni);
    EXPECT_EQ(Wide(uni.w_str()), text);
    EXPECT_STREQ(uni.c_str(), sjis);
  }
  const ScopedEncoding encoding("UTF-8");
  VelParamString mbc;
  getMBCstring(string.get(), mbc);
  EXPECT_STREQ(mbc.c_str(), u8"日本語€😀");
  EXPECT_EQ(Wide(mbc.w_str()), text);
}

TEST(PDFStringTextTest, OnlyTheUnicodeCallPreparesTheString) {
  const auto string = makeString("\x80");
  VelParamString result;
  getMBCstring(string.get(), result);
  EXPECT_EQ(string->bytes(), "\x80");
  getUNICODEstring(string.get(), result);
  EXPECT_EQ(string->bytes(), "\xFE\xFF\x20\x22");
}

TEST(PDFStringTest, PdfDocEncodingDiffersFromLatin1WhereItShould) {
  EXPECT_EQ(unicodeText("A\x80\xA0\x18\x1F\x8A\x93\x9E\xA9\xE9"),
            u16(u"A\u2022\u20AC\u02D8\u02DC\u2212\uFB01\u017E\u00A9\u00E9"));
  EXPECT_EQ(unicodeText("\x7F\x9F\xAD"), u16(u"\uFFFD\uFFFD\uFFFD"));
  // Without the whole FE FF mark the bytes are PDFDocEncoding.
  EXPECT_EQ(unicodeText("\xFE\x41"), u16(u"\u00FE\u0041"));
}

TEST(PDFStringTest, Utf16TextEndsAtItsBytes) {
  EXPECT_EQ(unicodeText("\xFE\xFF"), Wide());
  EXPECT_EQ(unicodeText(std::string("\xFE\xFF\x00\x41\x42", 5)), u16(u"A\uFFFD"));
  EXPECT_EQ(unicodeText(std::string("\xFE\xFF\x00\x41\x00\x00\x00\x42", 8)), u16(u"A"));
}

TEST(PDFStringTest, AccessorsGiveTheSameTextInTheirByteOrders) {
  const auto string = makeString("\x80" "A");
  const std::string big("\x20\x22\x00\x41", 4);
  const std::string little("\x22\x20\x41\x00", 4);
  for (const char* when : {"before treatUnicodeStr", "after treatUnicodeStr"}) {
    SCOPED_TRACE(when);
    EXPECT_EQ(memoryBytes(string->getBigEndianUniStr()), big);
    EXPECT_EQ(memoryBytes(string->getLittleEndianUniStr()), little);
    EXPECT_EQ(memoryBytes(string->getCPUEndianUniStr()),
              platform::hostIsBigEndian() != 0 ? big : little);
    string->treatUnicodeStr();
  }
  EXPECT_EQ(string->bytes(), std::string("\xFE\xFF\x20\x22\x00\x41", 6));
}

}  // namespace
