#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;

Wide wide(const VelParamString& text) { return Wide(text.w_str()); }

// PDFの読み込みができません in each encoding.
const char kReadPdfWindows31j[] =
    "PDF\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xaa\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const char kReadPdfEucJp[] =
    "PDF\xa4\xce\xc6\xc9\xa4\xdf\xb9\xfe\xa4\xdf\xa4\xac\xa4\xc7\xa4\xad\xa4\xde\xa4\xbb\xa4\xf3";

// Every code's name and messages are compared with a reviewed list by the
// error_catalogue test; these are what that table cannot show.
TEST(VelExceptionTest, CodesWithoutARowKeepTheirValueAndGetTheDefaultTexts) {
  ScopedEncoding windows31j("WINDOWS31J");
  for (int code : {VelErrorCode::QUIRE_NO_ERROR(), VelErrorCode::GET_NULL(), -1, 99999,
                   VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS(),
                   VelErrorCode::CERTIFICATE_DEENCRYPT_ERROR()}) {
    VelException exception(code);
    EXPECT_EQ(exception.getErrorCode(), code);
    EXPECT_STREQ(exception.getErrorMessage().c_str(), "Other errors") << code;
    EXPECT_EQ(wide(exception.getErrorMessageJP()), u16(u"その他のエラーです")) << code;
    EXPECT_EQ(exception.getErrorMessageJP().cstr_length(), 18) << code;
  }
}

TEST(VelExceptionTest, FromTextCarriesTheTextAsItStands) {
  VelParamString text;
  {
    ScopedEncoding defaultEncoding(nullptr);
    text = u16(u"3ページ目がありません").c_str();
  }
  // Another encoding now, so that any conversion of the text would show.
  ScopedEncoding utf8("UTF-8");
  VelException exception(VelErrorCode::INVALID_PAGE_NUMBER(), text);
  EXPECT_EQ(exception.getErrorCode(), 5006);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), text.c_str());
  EXPECT_EQ(wide(exception.getErrorMessage()), wide(text));
  // The Japanese copy is read as WINDOWS31J, like a catalogue text.
  const VelParamString& japanese = exception.getErrorMessageJP();
  EXPECT_STREQ(japanese.c_str(), u8"3ページ目がありません");
  EXPECT_EQ(wide(japanese), wide(text));
}

TEST(VelExceptionTest, GetErrorMessageJPReadsTheHeldBytesAsWindows31JOnEveryCall) {
  // Each encoding (null: neither variable set) with the bytes of a first call.
  const std::pair<const char*, const char*> cases[] = {{nullptr, kReadPdfWindows31j},
      {"EUC-JP", kReadPdfEucJp}, {"UTF-8", u8"PDFの読み込みができません"}};
  for (const auto& chosen : cases) {
    SCOPED_TRACE(chosen.first != nullptr ? chosen.first : "neither variable");
    ScopedEncoding encoding(chosen.first);
    VelException exception(VelErrorCode::CANNOT_READ_PDF());
    const VelParamString& first = exception.getErrorMessageJP();
    EXPECT_STREQ(first.c_str(), chosen.second);
    EXPECT_EQ(wide(first), u16(u"PDFの読み込みができません"));
    EXPECT_EQ(&exception.getErrorMessageJP(), &first);
    // WINDOWS31J there and back keeps the bytes; others are read as WINDOWS31J again.
    EXPECT_EQ(chosen.first == nullptr, std::string(first.c_str()) == chosen.second);
  }

  // So are bytes that a caller puts in through the reference.
  ScopedEncoding eucJp("EUC-JP");
  VelException exception(VelErrorCode::CANNOT_READ_PDF());
  VelParamString& held = exception.getErrorMessageJP();
  held = "\x92\x86\x82\xA0";  // 中あ in WINDOWS31J
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), "\xC3\xE6\xA4\xA2");
  EXPECT_EQ(wide(held), u16(u"中あ"));
  EXPECT_EQ(exception.getErrorCode(), 1002);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), "Cannot read PDF");
}

TEST(VelExceptionTest, CopiesAndSelfAssignmentCarryTheConvertedMessage) {
  // Three members and nothing else, the layout that other libraries build against.
  static_assert(sizeof(VelException) == 2 * sizeof(VelParamString) + alignof(VelParamString),
                "code and two messages");
  VelException fromInt = 1002;  // the constructor from a code converts implicitly
  ScopedEncoding eucJp("EUC-JP");
  fromInt.getErrorMessageJP();
  VelException copy(fromInt), assigned(VelErrorCode::OTHER_ERRORS());
  assigned = fromInt;
  const VelException& same = fromInt;
  fromInt = same;
  // Each holds the converted EUC-JP bytes, so the next call converts those
  // alike; a copy of the catalogue bytes would give the EUC-JP text again.
  std::string again;  // the second conversion, alike in each
  for (VelException* exception : {&fromInt, &copy, &assigned}) {
    EXPECT_EQ(exception->getErrorCode(), 1002);
    EXPECT_STREQ(exception->getErrorMessage().c_str(), "Cannot read PDF");
    const std::string jp = exception->getErrorMessageJP().c_str();
    if (again.empty()) again = jp;
    EXPECT_EQ(jp, again);
  }
  EXPECT_NE(again, kReadPdfEucJp);

  // The English message is the member itself, changeable through the reference.
  const VelException constant(VelErrorCode::INVALID_PAGE_NUMBER());
  constant.getErrorMessage() = "Page 7 does not exist";
  EXPECT_STREQ(constant.getErrorMessage().c_str(), "Page 7 does not exist");
}

}  // namespace
