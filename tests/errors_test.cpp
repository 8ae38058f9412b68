#include <gtest/gtest.h>

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;

Wide wide(const VelParamString& text) { return Wide(text.w_str()); }

// Every code's name and both messages are compared with a reviewed list by
// the error_catalogue test; these are what that list cannot show.
TEST(VelExceptionTest, FromTextTheTextAsItStandsAndFromACodeTheCodeUnchanged) {
  const ScopedEncoding defaultEncoding(nullptr);
  VelParamString text(u16(u"3ページ目がありません").c_str());
  // Another encoding now, so that any conversion of the text would show.
  const ScopedEncoding utf8("UTF-8");
  VelException exception(VelErrorCode::INVALID_PAGE_NUMBER(), text);
  EXPECT_EQ(exception.getErrorCode(), 5006);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), text.c_str());
  EXPECT_EQ(wide(exception.getErrorMessage()), wide(text));
  // The Japanese copy is read as WINDOWS31J, like a catalogue text.
  const VelParamString& japanese = exception.getErrorMessageJP();
  EXPECT_STREQ(japanese.c_str(), u8"3ページ目がありません");
  EXPECT_EQ(wide(japanese), wide(text));
  // The English message is the member itself, changeable through the reference.
  const VelException constant(VelErrorCode::INVALID_PAGE_NUMBER());
  constant.getErrorMessage() = "Page 7 does not exist";
  EXPECT_STREQ(constant.getErrorMessage().c_str(), "Page 7 does not exist");
  // The list shows the default texts of codes without a row, not that they keep their code.
  for (int code : {VelErrorCode::QUIRE_NO_ERROR(), VelErrorCode::GET_NULL(), -1, 99999,
                   VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS(),
                   VelErrorCode::CERTIFICATE_DEENCRYPT_ERROR()})
    EXPECT_EQ(VelException(code).getErrorCode(), code);
}

TEST(VelExceptionTest, GetErrorMessageJPConvertsWhatItHoldsOnEveryCallAndCopiesCarryIt) {
  // Three members and nothing else, the layout that other libraries build against.
  static_assert(sizeof(VelException) == 2 * sizeof(VelParamString) + alignof(VelParamString),
                "code and two messages");
  const ScopedEncoding defaultEncoding(nullptr);
  VelException exception = VelErrorCode::CANNOT_READ_PDF();  // an int converts implicitly
  VelParamString& held = exception.getErrorMessageJP();
  EXPECT_EQ(&exception.getErrorMessageJP(), &held);
  // Its wide form is read from the held bytes as WINDOWS31J: right if they stayed.
  EXPECT_EQ(wide(held), u16(u"PDFの読み込みができません"));

  // Under EUC-JP what it holds is read as WINDOWS31J again on each call: here
  // bytes put in through the reference, which copies and assignments carry.
  const ScopedEncoding eucJp("EUC-JP");
  held = "\x92\x86\x82\xA0";  // 中あ in WINDOWS31J
  VelException copy(exception), assigned(VelErrorCode::OTHER_ERRORS());
  assigned = exception;
  const VelException& same = exception;
  exception = same;
  for (VelException* each : {&exception, &copy, &assigned}) {
    EXPECT_EQ(each->getErrorCode(), 1002);
    EXPECT_STREQ(each->getErrorMessage().c_str(), "Cannot read PDF");
    const VelParamString& japanese = each->getErrorMessageJP();
    EXPECT_STREQ(japanese.c_str(), "\xC3\xE6\xA4\xA2");
    EXPECT_EQ(wide(japanese), u16(u"中あ"));
  }
}

}  // namespace
