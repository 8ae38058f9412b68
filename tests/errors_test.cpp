#include <gtest/gtest.h>

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;

// What the error_catalogue test's reviewed list of every code's name and messages cannot show.

TEST(VelExceptionTest, KeepsItsCodeAndItsJapaneseMessage) {
  const ScopedEncoding defaultEncoding(nullptr);
  VelException fromCode = VelErrorCode::CANNOT_READ_PDF();  // an int converts implicitly
  // Its wide form is read from the held bytes as WINDOWS31J: right if they stayed.
  EXPECT_EQ(Wide(fromCode.getErrorMessageJP().w_str()), u16(u"PDFの読み込みができません"));
  // Codes with a row of their own and without, and numbers that are no code.
  for (int code : {VelErrorCode::CANNOT_READ_PDF(), VelErrorCode::QUIRE_NO_ERROR(),
                   VelErrorCode::GET_NULL(), VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS(),
                   VelErrorCode::CERTIFICATE_DEENCRYPT_ERROR(), -1, 99999})
    EXPECT_EQ(VelException(code).getErrorCode(), code);
}

// A text given is stored as its bytes in both messages; the Japanese one (and what is assigned
// through the references, which copies carry) is read as WINDOWS31J at each call.

TEST(VelExceptionTest, ConvertsOnlyTheJapaneseMessageAndAtEachCall) {
  const ScopedEncoding sjis("WINDOWS31J");
  VelParamString text(u16(u"3ページ目がありません").c_str());
  const ScopedEncoding utf8("UTF-8");  // any conversion of the text would show
  VelException exception(VelErrorCode::INVALID_PAGE_NUMBER(), text);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), text.c_str());
  EXPECT_EQ(Wide(exception.getErrorMessage().w_str()), Wide(text.w_str()));
  VelParamString& japanese = exception.getErrorMessageJP();
  EXPECT_STREQ(japanese.c_str(), u8"3ページ目がありません");

  japanese = "\x92\x86\x82\xA0";  // 中あ in WINDOWS31J
  const VelException& same = exception;  // the English message changes through a const one too
  same.getErrorMessage() = "Page 7 does not exist";
  VelException copy(exception), assigned(VelErrorCode::OTHER_ERRORS());
  assigned = exception;
  exception = same;
  for (VelException* each : {&exception, &copy, &assigned}) {
    EXPECT_EQ(each->getErrorCode(), 5006);
    EXPECT_STREQ(each->getErrorMessage().c_str(), "Page 7 does not exist");
    const VelParamString& converted = each->getErrorMessageJP();
    EXPECT_STREQ(converted.c_str(), u8"中あ");
    EXPECT_EQ(Wide(converted.w_str()), u16(u"中あ"));
  }
}

}  // namespace
