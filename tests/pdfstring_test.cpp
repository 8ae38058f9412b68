#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/ByteOrder.h"
#include "platform/DocCore.h"
#include "quire/PDFStringText.h"
#include "tests/TestSupport.h"

namespace {

using namespace DocCore;
using namespace Quire;
using namespace quire_test;

using Extractor = void (*)(void*, VelParamString&);
const Extractor kBoth[] = {&getMBCstring, &getUNICODEstring};

// Holds a second reference, so that one release too many shows, and gives
// both back at the end of the test.
struct Release {
  void operator()(const PDFRCObject* object) const { object->release(); object->release(); }
};
template <typename T> std::unique_ptr<T, Release> held(T* object) {
  object->addRef();
  return std::unique_ptr<T, Release>(object);
}

// The units as they lie in memory, up to the terminating zero.
std::string memoryBytes(const unsigned short* units) {
  return std::string(reinterpret_cast<const char*>(units), 2 * Wide(units).size());
}

// Its text cannot be read: stands for any failure while the text is copied.
struct UnreadableString : PDFString {
  UnreadableString() : PDFString("text") {}
  [[noreturn]] static void fail() { throw std::runtime_error("unreadable"); }
  const unsigned short* getBigEndianUniStr() const override { fail(); }
  const unsigned short* getLittleEndianUniStr() const override { fail(); }
  const unsigned short* getCPUEndianUniStr() const override { fail(); }
};

TEST(PDFStringTextTest, NonStringsAreLeftOrEmptiedAndCountsComeBackOnEveryWayOut) {
  const ScopedEncoding encoding("UTF-8");
  const auto name = held(new PDFName("Title"));
  for (void* object : {static_cast<void*>(nullptr), static_cast<void*>(name.get())}) {
    VelParamString kept("kept"), emptied("kept");
    getMBCstring(object, kept);
    getUNICODEstring(object, emptied);
    EXPECT_STREQ(kept.c_str(), "kept");
    EXPECT_EQ(Wide(kept.w_str()), u16(u"kept"));
    EXPECT_TRUE(emptied.cstr_length() == 0 && emptied.wstr_length() == 0);
  }
  const auto string = held(new PDFString("abc"));
  const auto unreadable = held<PDFString>(new UnreadableString);
  VelParamString result;
  for (Extractor extract : kBoth) {
    extract(string.get(), result);
    EXPECT_THROW(extract(unreadable.get(), result), std::runtime_error);
    EXPECT_TRUE(name->refCount() == 2 && string->refCount() == 2 && unreadable->refCount() == 2);
  }
}

TEST(PDFStringTextTest, OnlyTheWideFormKeepsWhatTheEncodingCannotHold) {
  // 日本語€😀 in UTF-16BE after its mark.
  const auto string = held(new PDFString(
      std::string("\xFE\xFF\x65\xE5\x67\x2C\x8A\x9E\x20\xAC\xD8\x3D\xDE\x00", 14)));
  // The encoding, the text in it, and what of the text survived.
  const struct { const char* encoding; const char* narrow; const char16_t* survived; } cases[] = {
      {"WINDOWS31J", "\x93\xFA\x96\x7B\x8C\xEA??", u"日本語??"}, {"UTF-8", u8"日本語€😀", u"日本語€😀"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    const ScopedEncoding encoding(c.encoding);
    VelParamString mbc, uni;
    getMBCstring(string.get(), mbc);
    getUNICODEstring(string.get(), uni);
    EXPECT_STREQ(mbc.c_str(), c.narrow);
    EXPECT_EQ(Wide(mbc.w_str()), u16(c.survived));
    EXPECT_STREQ(uni.c_str(), c.narrow);
    EXPECT_EQ(Wide(uni.w_str()), u16(u"日本語€😀"));
  }
}

// The stand-in's accessors as extraction relies on them: the byte order that
// each names, and the text stored as UTF-16BE by getUNICODEstring only.
TEST(PDFStringTest, AccessorsGiveTheirByteOrderBeforeAndAfterTreatUnicodeStr) {
  const auto string = held(new PDFString("\x80" "A"));  // U+2022 in PDFDocEncoding
  const std::string big("\x20\x22\x00\x41", 4), little("\x22\x20\x41\x00", 4);
  const std::string stored[] = {"\x80" "A", std::string("\xFE\xFF\x20\x22\x00\x41", 6)};
  for (int i = 0; i < 2; ++i) {
    VelParamString result;
    kBoth[i](string.get(), result);
    EXPECT_EQ(string->bytes(), stored[i]);
    EXPECT_EQ(memoryBytes(string->getBigEndianUniStr()), big);
    EXPECT_EQ(memoryBytes(string->getLittleEndianUniStr()), little);
    EXPECT_EQ(memoryBytes(string->getCPUEndianUniStr()),
              platform::hostIsBigEndian() ? big : little);
  }
}

}  // namespace
