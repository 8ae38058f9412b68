#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/DocCore.h"
#include "quire/PDFStringText.h"
#include "tests/TestSupport.h"

namespace {

using namespace DocCore;
using namespace Quire;
using namespace quire_test;

// The test's reference, given back at its end.
template <typename T> std::shared_ptr<T> held(T* object) {
  return std::shared_ptr<T>(object, [](const PDFRCObject* string) { string->release(); });
}

// A string whose stored bytes can be read.
struct StoredString : PDFString {
  using PDFString::PDFString;
  const std::string& stored() const { return bytes_; }
};

// Its text cannot be read: stands for any failure while the text is copied.
struct UnreadableString : PDFString {
  UnreadableString() : PDFString("text") {}
  [[noreturn]] static void fail() { throw std::runtime_error("unreadable"); }
  const unsigned short* getBigEndianUniStr() const override { fail(); }
  const unsigned short* getLittleEndianUniStr() const override { fail(); }
  const unsigned short* getCPUEndianUniStr() const override { fail(); }
};

// WINDOWS31J lacks € and 😀: getMBCstring gives a '?' for each in both forms (the fuzz seeds
// check that getUNICODEstring keeps them).

TEST(PDFStringTextTest, GetMBCstringLosesWhatTheEncodingLacks) {
  const ScopedEncoding sjis("WINDOWS31J");
  const auto unicode = held(new PDFString(bytesOf(u16(u"\uFEFF日本語€😀"), true)));
  VelParamString mbc;
  getMBCstring(unicode.get(), mbc);
  EXPECT_STREQ(mbc.c_str(), "\x93\xFA\x96\x7B\x8C\xEA??");
  EXPECT_EQ(Wide(mbc.w_str()), u16(u"日本語??"));
}

// Null or any object that is not a string, a document here: getMBCstring leaves its result
// as it was, getUNICODEstring empties it.
TEST(PDFStringTextTest, AnythingButAStringGivesNoText) {
  const auto document = held(new PDFDocument);
  for (void* object : {static_cast<void*>(nullptr), static_cast<void*>(document.get())}) {
    VelParamString kept("kept"), emptied("kept");
    getMBCstring(object, kept);
    getUNICODEstring(object, emptied);
    EXPECT_STREQ(kept.c_str(), "kept");
    EXPECT_TRUE(emptied.cstr_length() == 0 && emptied.wstr_length() == 0);
  }
}

// Only getUNICODEstring stores the string as Unicode; a failure reading it passes, after the
// reference has gone back.

TEST(PDFStringTextTest, EachFunctionChangesTheStringAsItMustAndGivesItsReferenceBack) {
  const auto string = held(new StoredString("abc"));
  const auto unreadable = held<PDFString>(new UnreadableString);
  const std::string stored[] = {"abc", bytesOf(u16(u"\uFEFFabc"), true)};
  for (int i = 0; i < 2; ++i) {
    const auto extract = i == 0 ? &getMBCstring : &getUNICODEstring;
    VelParamString result;
    extract(string.get(), result);
    EXPECT_EQ(string->stored(), stored[i]);
    EXPECT_THROW(extract(unreadable.get(), result), std::runtime_error);
  }
  EXPECT_TRUE(string->refCount() == 1 && unreadable->refCount() == 1);
}

}  // namespace
