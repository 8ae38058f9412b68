#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "errors/ErrorMessageTable.h"
#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using Quire::VelErrorCode;
using Quire::VelException;
using Quire::VelParamString;
using quire_test::ScopedEncoding;
using quire_test::u16;
using quire_test::Wide;

Wide wide(const VelParamString& text) { return Wide(text.w_str()); }

// ---- The code values ----

struct CodeFunction {
  const char* name;
  int (*function)();
  int value;
};

#define QUIRE_CODE(name, value) {#name, &VelErrorCode::name, value}
const CodeFunction kCodeFunctions[] = {
    QUIRE_CODE(QUIRE_NO_ERROR, 0),
    QUIRE_CODE(MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER, 132),
    QUIRE_CODE(CPDF_OUTLINE_EDIT_EXCEPTION_ERROR, 161),
    QUIRE_CODE(OTHER_ERRORS, 190),
    QUIRE_CODE(JAVA_INTERFACE_OTHER_INTERNAL_ERRORS, 200),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT, 201),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT, 202),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION, 203),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT, 204),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS, 205),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD, 206),
    QUIRE_CODE(JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD, 207),
    QUIRE_CODE(THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED, 1000),
    QUIRE_CODE(INVALID_PDF, 1001),
    QUIRE_CODE(CANNOT_READ_PDF, 1002),
    QUIRE_CODE(CANNOT_WRITE_PDF, 1003),
    QUIRE_CODE(CANNOT_CLOSE_PDF, 1004),
    QUIRE_CODE(CANNOT_OPEN_PDF, 1005),
    QUIRE_CODE(INVALID_PARAMETER_VALUE, 1006),
    QUIRE_CODE(THIS_FILTER_IS_NOT_SUPPORTED, 2000),
    QUIRE_CODE(INVALID_FILTER, 2001),
    QUIRE_CODE(CANNOT_DECIPHER, 3000),
    QUIRE_CODE(INVALID_USER_PASSWORD, 3001),
    QUIRE_CODE(INVALID_OWNER_PASSWORD, 3002),
    QUIRE_CODE(PRINTING_IS_NOT_ALLOWED, 3104),
    QUIRE_CODE(COPYING_IS_NOT_ALLOWED, 3116),
    QUIRE_CODE(CANNOT_OPEN_CMAP_FILE, 4000),
    QUIRE_CODE(CANNOT_CLOSE_CMAP_FILE, 4001),
    QUIRE_CODE(CANNOT_WRITE_CMAP_FILE, 4002),
    QUIRE_CODE(CANNOT_READ_CMAP_FILE, 4003),
    QUIRE_CODE(FONT_PROCESSING_ERROR, 4100),
    QUIRE_CODE(NOT_ENOUGH_MEMORY, 5000),
    QUIRE_CODE(INVALID_PASSWORD, 5002),
    QUIRE_CODE(INVALID_CMAP_FILE, 5004),
    QUIRE_CODE(INVALID_PAGE_NUMBER, 5006),
    QUIRE_CODE(IMAGE_PROCESSING_ERROR, 5100),
    QUIRE_CODE(SIGNATURE_PROCESSING_ERROR, 6000),
    QUIRE_CODE(INVALID_CERTIFICATE_ERROR, 6001),
    QUIRE_CODE(INVALID_SIGNATURE_FIELD_NAME, 6002),
    QUIRE_CODE(CERTIFICATE_DEENCRYPT_ERROR, 6003),
    QUIRE_CODE(GET_NULL, 7000),
};
#undef QUIRE_CODE

TEST(VelErrorCodeTest, EveryFunctionReturnsItsValueAndNoTwoShareOne) {
  std::set<int> seen;
  for (const CodeFunction& code : kCodeFunctions) {
    SCOPED_TRACE(code.name);
    const int value = code.function();
    EXPECT_EQ(value, code.value);
    EXPECT_TRUE(seen.insert(value).second) << "value " << value << " is shared";
    EXPECT_EQ(value == 0, std::strcmp(code.name, "QUIRE_NO_ERROR") == 0);
  }
}

TEST(VelErrorCodeTest, AssignmentYieldsTheLeftOperand) {
  VelErrorCode left;
  const VelErrorCode right;
  EXPECT_EQ(&(left = right), &left);
}

// ---- The catalogue ----

struct CatalogueRow {
  int (*function)();
  const char* message;
  const char16_t* messageJP;
  std::size_t windows31jBytes;
};

const CatalogueRow kCatalogue[] = {
    {&VelErrorCode::MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER, "VelToolMerge:  Exception error",
     u"VelToolMerge: のエラーです", 26},
    {&VelErrorCode::CPDF_OUTLINE_EDIT_EXCEPTION_ERROR, "VelOutlineItem:  Exception error",
     u"VelOutlineItem: のエラーです", 28},
    {&VelErrorCode::OTHER_ERRORS, "Other errors", u"その他のエラーです", 18},
    {&VelErrorCode::THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED, "This file is not PDF or may be corrupted.",
     u"PDFではないか不正なファイルです", 31},
    {&VelErrorCode::INVALID_PDF, "Invalid PDF file", u"PDFが異常です", 13},
    {&VelErrorCode::CANNOT_READ_PDF, "Cannot read PDF", u"PDFの読み込みができません", 25},
    {&VelErrorCode::CANNOT_WRITE_PDF, "Cannot write PDF", u"PDFの書き出しができません", 25},
    {&VelErrorCode::CANNOT_CLOSE_PDF, "Cannot close PDF", u"PDFのクローズができません", 25},
    {&VelErrorCode::CANNOT_OPEN_PDF, "Cannot open PDF", u"PDFのオープンができません", 25},
    {&VelErrorCode::INVALID_PARAMETER_VALUE, "Invalid parameter value", u"パラメータに問題があります", 26},
    {&VelErrorCode::THIS_FILTER_IS_NOT_SUPPORTED, "The filter is not supported.",
     u"サポートされないフィルタです", 28},
    {&VelErrorCode::INVALID_FILTER, "Invalid filter", u"フィルタの異常です", 18},
    {&VelErrorCode::CANNOT_DECIPHER, "Cannot decipher", u"解読ができません", 16},
    {&VelErrorCode::INVALID_USER_PASSWORD, "Invalid user password", u"ユーザーパスワード不正です", 26},
    {&VelErrorCode::INVALID_OWNER_PASSWORD, "Invalid owner password", u"オーナーパスワード不正です", 26},
    {&VelErrorCode::PRINTING_IS_NOT_ALLOWED, "Printing is not allowed.", u"印刷が許可されていません", 24},
    {&VelErrorCode::COPYING_IS_NOT_ALLOWED, "Copying is not allowed.", u"コピーが許可されていません", 26},
    {&VelErrorCode::CANNOT_OPEN_CMAP_FILE, "Cannot open CMap file", u"CMapファイルのオープンができません", 34},
    {&VelErrorCode::CANNOT_CLOSE_CMAP_FILE, "Cannot close CMap file", u"CMapファイルのクローズができません", 34},
    {&VelErrorCode::CANNOT_WRITE_CMAP_FILE, "Cannot write CMap file", u"CMapファイルの書き出しができません", 34},
    {&VelErrorCode::CANNOT_READ_CMAP_FILE, "Cannot read CMap file", u"CMapファイルの読み込みができません", 34},
    {&VelErrorCode::FONT_PROCESSING_ERROR, "Font processing error", u"フォント処理で問題が発生しました", 32},
    {&VelErrorCode::NOT_ENOUGH_MEMORY, "Not enough memory", u"メモリが不足しています", 22},
    {&VelErrorCode::INVALID_PASSWORD, "Invalid password", u"パスワード不正です", 18},
    {&VelErrorCode::INVALID_CMAP_FILE, "Invalid CMap file", u"CMapファイルが異常です", 22},
    {&VelErrorCode::INVALID_PAGE_NUMBER, "Invalid page number", u"ページの指定が間違っています", 28},
    {&VelErrorCode::IMAGE_PROCESSING_ERROR, "Image processing error", u"イメージ処理で問題が発生しました", 32},
    {&VelErrorCode::SIGNATURE_PROCESSING_ERROR, "Signature processing error",
     u"Signature 処理で問題が発生しました", 34},
    {&VelErrorCode::INVALID_CERTIFICATE_ERROR, "Invalid certificate",
     u"Certificate 処理で問題が発生しました", 36},
    {&VelErrorCode::INVALID_SIGNATURE_FIELD_NAME, "The field name of digital signature has been used already",
     u"Field name of digital signature 処理で問題が発生しました", 56},
};

TEST(ErrorMessageTableTest, RowsInOrderThenTheTerminatorAndEachFoundByItsCode) {
  // Under WINDOWS31J the wide form is the stored bytes decoded as they are.
  ScopedEncoding windows31j("WINDOWS31J");
  const Quire::ErrorMessageEntry* row = Quire::errorMessageTable;
  for (const CatalogueRow& expected : kCatalogue) {
    SCOPED_TRACE(expected.message);
    ASSERT_NE(row->code, 0) << "terminator too early";
    EXPECT_EQ(row->code, expected.function());
    EXPECT_STREQ(row->message, expected.message);
    EXPECT_EQ(std::strlen(row->messageJP), expected.windows31jBytes);
    EXPECT_EQ(wide(VelParamString(row->messageJP)), u16(expected.messageJP));
    ++row;

    VelException exception(expected.function());
    EXPECT_EQ(exception.getErrorCode(), expected.function());
    EXPECT_STREQ(exception.getErrorMessage().c_str(), expected.message);
    EXPECT_EQ(wide(exception.getErrorMessageJP()), u16(expected.messageJP));
  }
  EXPECT_EQ(row->code, 0);
  EXPECT_STREQ(row->message, "");
  EXPECT_STREQ(row->messageJP, "");
}

// ---- Construction from a code or a text ----

TEST(VelExceptionTest, CodeWithoutRowKeepsTheCodeAndGetsTheDefaultTexts) {
  ScopedEncoding defaultEncoding(nullptr);
  for (int code : {0, 200, 201, 202, 203, 204, 205, 206, 207, 6003, 7000, -1, 99999}) {
    SCOPED_TRACE(code);
    VelException exception(code);
    EXPECT_EQ(exception.getErrorCode(), code);
    EXPECT_STREQ(exception.getErrorMessage().c_str(), "Other errors");
    const VelParamString& jp = exception.getErrorMessageJP();
    EXPECT_EQ(jp.cstr_length(), 18);
    EXPECT_EQ(wide(jp), u16(u"その他のエラーです"));
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
  const VelParamString& jp = exception.getErrorMessageJP();
  EXPECT_STREQ(jp.c_str(), u8"3ページ目がありません");
  EXPECT_EQ(wide(jp), wide(text));
}

// ---- getErrorMessageJP, copies, the message references ----

const char16_t kReadPdf[] = u"PDFの読み込みができません";
// PDFの読み込みができません in each encoding.
const char kReadPdfWindows31j[] =
    "PDF\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xaa\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const char kReadPdfEucJp[] =
    "PDF\xa4\xce\xc6\xc9\xa4\xdf\xb9\xfe\xa4\xdf\xa4\xac\xa4\xc7\xa4\xad\xa4\xde\xa4\xbb\xa4\xf3";
const char kReadPdfUtf8[] = u8"PDFの読み込みができません";

TEST(VelExceptionTest, GetErrorMessageJPGivesTheSameBytesAndObjectOnEveryCall) {
  const struct {
    const char* encoding;  // null: neither variable set
    const char* bytes;
  } cases[] = {{nullptr, kReadPdfWindows31j}, {"EUC-JP", kReadPdfEucJp}, {"UTF-8", kReadPdfUtf8}};
  for (const auto& chosen : cases) {
    SCOPED_TRACE(chosen.encoding != nullptr ? chosen.encoding : "neither variable");
    ScopedEncoding encoding(chosen.encoding);
    VelException exception(VelErrorCode::CANNOT_READ_PDF());
    const VelParamString* first = nullptr;
    for (int call = 1; call <= 2; ++call) {
      const VelParamString& jp = exception.getErrorMessageJP();
      if (first == nullptr) first = &jp;
      EXPECT_EQ(&jp, first);
      EXPECT_STREQ(jp.c_str(), chosen.bytes) << "call " << call;
      EXPECT_EQ(wide(jp), u16(kReadPdf)) << "call " << call;
    }
  }
}

TEST(VelExceptionTest, GetErrorMessageJPFollowsAChangeOfTheVariable) {
  ScopedEncoding eucJp("EUC-JP");
  VelException exception(VelErrorCode::CANNOT_READ_PDF());
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), kReadPdfEucJp);
  {
    ScopedEncoding utf8("UTF-8");
    EXPECT_STREQ(exception.getErrorMessageJP().c_str(), kReadPdfUtf8);
  }
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), kReadPdfEucJp);
  ScopedEncoding defaultEncoding(nullptr);
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), kReadPdfWindows31j);
}

TEST(VelExceptionTest, CopiesCarryTheConvertedJapaneseMessage) {
  ScopedEncoding eucJp("EUC-JP");
  VelException original(VelErrorCode::CANNOT_READ_PDF());
  original.getErrorMessageJP();
  VelException copy(original);
  VelException assigned(VelErrorCode::OTHER_ERRORS());
  EXPECT_EQ(&(assigned = original), &assigned);
  for (VelException* exception : {&copy, &assigned}) {
    EXPECT_EQ(exception->getErrorCode(), 1002);
    EXPECT_STREQ(exception->getErrorMessage().c_str(), "Cannot read PDF");
    // Already EUC-JP, and known to be: converting again keeps the bytes.
    EXPECT_STREQ(exception->getErrorMessageJP().c_str(), kReadPdfEucJp);
  }
  ScopedEncoding utf8("UTF-8");
  EXPECT_STREQ(copy.getErrorMessageJP().c_str(), kReadPdfUtf8);
}

TEST(VelExceptionTest, SelfAssignmentChangesNothing) {
  ScopedEncoding eucJp("EUC-JP");
  VelException exception(VelErrorCode::CANNOT_READ_PDF());
  exception.getErrorMessageJP();
  const VelException& same = exception;
  EXPECT_EQ(&(exception = same), &exception);
  EXPECT_EQ(exception.getErrorCode(), 1002);
  EXPECT_STREQ(exception.getErrorMessage().c_str(), "Cannot read PDF");
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), kReadPdfEucJp);
}

TEST(VelExceptionTest, ChangeThroughGetErrorMessageSticks) {
  const VelException exception(VelErrorCode::INVALID_PAGE_NUMBER());
  exception.getErrorMessage() = "Page 7 does not exist";
  EXPECT_STREQ(exception.getErrorMessage().c_str(), "Page 7 does not exist");
}

// ---- The quire error tool ----

// Runs "quire error ARGUMENTS" with standard error dropped; returns the exit
// status and fills out with standard output.
int runQuireError(const std::string& arguments, std::string* out) {
  const std::string command = "'" QUIRE_TOOL_PATH "' error " + arguments + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char block[512];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;)
    out->append(block, got);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QuireErrorToolTest, PrintsFourLinesForACodeAndRefusesANonNumber) {
  ScopedEncoding utf8("UTF-8");
  std::string out;
  EXPECT_EQ(runQuireError("3104", &out), 0);
  EXPECT_EQ(out, "3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n"
                 u8"印刷が許可されていません\n");
  out.clear();
  EXPECT_EQ(runQuireError("31O4", &out), 2);
  EXPECT_EQ(out, "");
}

}  // namespace
