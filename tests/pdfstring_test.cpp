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

// Holds a second reference, so that one release too many shows, and gives
// both back at the end of the test.
template <typename T> std::shared_ptr<T> held(T* object) {
  object->addRef();
  return std::shared_ptr<T>(object, [](const PDFRCObject* both) {
    for (int i = 0; i < 2; ++i) both->release();
  });
}

// A string whose stored bytes can be read.
struct StoredString : PDFString {
  using PDFString::PDFString;
  const std::string& stored() const { return bytes_; }
};

// Any object that is not a string will do for the functions that take strings.
struct PDFName : PDFRCObject {
  PDFName() : PDFRCObject(ObjType::kName) {}
};

// Its text cannot be read: stands for any failure while the text is copied.
struct UnreadableString : PDFString {
  UnreadableString() : PDFString("text") {}
  [[noreturn]] static void fail() { throw std::runtime_error("unreadable"); }
  const unsigned short* getBigEndianUniStr() const override { fail(); }
  const unsigned short* getLittleEndianUniStr() const override { fail(); }
  const unsigned short* getCPUEndianUniStr() const override { fail(); }
};

TEST(PDFStringTextTest, WhatEachFunctionKeepsAndCountsComeBackOnEveryWayOut) {
  const ScopedEncoding sjis("WINDOWS31J");
  // 日本語€😀 in UTF-16BE after its mark.
  const std::string bytes("\xFE\xFF\x65\xE5\x67\x2C\x8A\x9E\x20\xAC\xD8\x3D\xDE\x00", 14);
  const auto unicode = held(new PDFString(bytes));
  VelParamString mbc, uni;
  getMBCstring(unicode.get(), mbc);
  getUNICODEstring(unicode.get(), uni);
  // WINDOWS31J lacks € and 😀: a '?' for each, in both forms from getMBCstring.
  EXPECT_STREQ(mbc.c_str(), "\x93\xFA\x96\x7B\x8C\xEA??");
  EXPECT_EQ(Wide(mbc.w_str()), u16(u"日本語??"));
  EXPECT_STREQ(uni.c_str(), "\x93\xFA\x96\x7B\x8C\xEA??");
  EXPECT_EQ(Wide(uni.w_str()), u16(u"日本語€😀"));
  // getMBCstring takes the accessor named after the host's byte order; the
  // one that big-endian hosts use gives its units in that order here too.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(unicode->getBigEndianUniStr()), 12),
            bytes.substr(2));

  const auto name = held(new PDFName);
  for (void* object : {static_cast<void*>(nullptr), static_cast<void*>(name.get())}) {
    VelParamString kept("kept"), emptied("kept");
    getMBCstring(object, kept);
    getUNICODEstring(object, emptied);
    EXPECT_STREQ(kept.c_str(), "kept");
    EXPECT_TRUE(emptied.cstr_length() == 0 && emptied.wstr_length() == 0);
  }
  const auto string = held(new StoredString("abc"));
  const auto unreadable = held<PDFString>(new UnreadableString);
  // Only getUNICODEstring has the string stored as Unicode text.
  const std::string stored[] = {"abc", std::string("\xFE\xFF\0a\0b\0c", 8)};
  for (int i = 0; i < 2; ++i) {
    const auto extract = i == 0 ? &getMBCstring : &getUNICODEstring;
    VelParamString result;
    extract(string.get(), result);
    EXPECT_EQ(string->stored(), stored[i]);
    EXPECT_THROW(extract(unreadable.get(), result), std::runtime_error);
    EXPECT_TRUE(name->refCount() == 2 && string->refCount() == 2 && unreadable->refCount() == 2);
  }
}

}  // namespace
