#include <gtest/gtest.h>

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;

// Three members and nothing else: the layout that other libraries build against.
static_assert(sizeof(VelException) == 2 * sizeof(VelParamString) + alignof(VelParamString),
              "code and two messages");

Wide wide(const VelParamString& text) { return Wide(text.w_str()); }

// The error_catalogue test compares every code's name and both messages, the Japanese
// one in UTF-8, with a reviewed list; here is what that list cannot show.
TEST(VelExceptionTest, KeepsWhatItIsGivenAndConvertsWhatItHoldsOnEveryCall) {
  const ScopedEncoding defaultEncoding(nullptr);
  VelException fromCode = VelErrorCode::CANNOT_READ_PDF();  // an int converts implicitly
  VelParamString& held = fromCode.getErrorMessageJP();
  EXPECT_EQ(&fromCode.getErrorMessageJP(), &held);
  // Its wide form is read from the held bytes as WINDOWS31J: right if they stayed.
  EXPECT_EQ(wide(held), u16(u"PDFの読み込みができません"));
  // The list shows the default texts of codes without a row, not that they keep their code.
  for (int code : {VelErrorCode::QUIRE_NO_ERROR(), VelErrorCode::GET_NULL(), -1, 99999,
                   VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS(),
                   VelErrorCode::CERTIFICATE_DEENCRYPT_ERROR()})
    EXPECT_EQ(VelException(code).getErrorCode(), code);

  VelParamString text(u16(u"3ページ目がありません").c_str());
  // Another encoding now, so that any conversion of the text would show.
  const ScopedEncoding utf8("UTF-8");
  VelException exception(VelErrorCode::INVALID_PAGE_NUMBER(), text);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), text.c_str());
  EXPECT_EQ(wide(exception.getErrorMessage()), wide(text));
  // The Japanese copy is read as WINDOWS31J, like a catalogue text.
  VelParamString& japanese = exception.getErrorMessageJP();
  EXPECT_STREQ(japanese.c_str(), u8"3ページ目がありません");

  // Both messages changed through the references, the English one although the
  // exception is const: the next call converts the new bytes, and copies carry them.
  japanese = "\x92\x86\x82\xA0";  // 中あ in WINDOWS31J
  const VelException& same = exception;
  same.getErrorMessage() = "Page 7 does not exist";
  VelException copy(exception), assigned(VelErrorCode::OTHER_ERRORS());
  assigned = exception;
  exception = same;
  for (VelException* each : {&exception, &copy, &assigned}) {
    EXPECT_EQ(each->getErrorCode(), 5006);
    EXPECT_STREQ(each->getErrorMessage().c_str(), "Page 7 does not exist");
    const VelParamString& converted = each->getErrorMessageJP();
    EXPECT_STREQ(converted.c_str(), u8"中あ");
    EXPECT_EQ(wide(converted), u16(u"中あ"));
  }
}

}  // namespace
