#include <cstring>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "errors/ErrorMessageTable.h"
#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "tests/TestSupport.h"

namespace {

using namespace Quire;
using namespace quire_test;

Wide wide(const VelParamString& text) { return Wide(text.w_str()); }

// One code function, with its catalogue row or, without one, the default texts.
struct Code {
  const char* name; int (*function)(); int value; bool hasRow;
  const char* message; const char16_t* messageJP; std::size_t windows31jBytes;
};

#define OTHER "Other errors", u"その他のエラーです", 18
#define NO_ROW(name, value) {#name, &VelErrorCode::name, value, false, OTHER}
#define ROW(name, value, ...) {#name, &VelErrorCode::name, value, true, __VA_ARGS__}
const Code kCodes[] = {
    NO_ROW(QUIRE_NO_ERROR, 0),
    ROW(MERGE_FILE_INVALID_INPUT_PAGE_PARAMETER, 132, "VelToolMerge:  Exception error",
        u"VelToolMerge: のエラーです", 26),
    ROW(CPDF_OUTLINE_EDIT_EXCEPTION_ERROR, 161, "VelOutlineItem:  Exception error",
        u"VelOutlineItem: のエラーです", 28),
    ROW(OTHER_ERRORS, 190, "Other errors", u"その他のエラーです", 18),
    NO_ROW(JAVA_INTERFACE_OTHER_INTERNAL_ERRORS, 200),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT, 201),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT, 202),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION, 203),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT, 204),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS, 205),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD, 206),
    NO_ROW(JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD, 207),
    ROW(THIS_FILE_IS_NOT_PDF_OR_MAY_BE_CORRUPTED, 1000, "This file is not PDF or may be corrupted.",
        u"PDFではないか不正なファイルです", 31),
    ROW(INVALID_PDF, 1001, "Invalid PDF file", u"PDFが異常です", 13),
    ROW(CANNOT_READ_PDF, 1002, "Cannot read PDF", u"PDFの読み込みができません", 25),
    ROW(CANNOT_WRITE_PDF, 1003, "Cannot write PDF", u"PDFの書き出しができません", 25),
    ROW(CANNOT_CLOSE_PDF, 1004, "Cannot close PDF", u"PDFのクローズができません", 25),
    ROW(CANNOT_OPEN_PDF, 1005, "Cannot open PDF", u"PDFのオープンができません", 25),
    ROW(INVALID_PARAMETER_VALUE, 1006, "Invalid parameter value", u"パラメータに問題があります", 26),
    ROW(THIS_FILTER_IS_NOT_SUPPORTED, 2000, "The filter is not supported.",
        u"サポートされないフィルタです", 28),
    ROW(INVALID_FILTER, 2001, "Invalid filter", u"フィルタの異常です", 18),
    ROW(CANNOT_DECIPHER, 3000, "Cannot decipher", u"解読ができません", 16),
    ROW(INVALID_USER_PASSWORD, 3001, "Invalid user password", u"ユーザーパスワード不正です", 26),
    ROW(INVALID_OWNER_PASSWORD, 3002, "Invalid owner password", u"オーナーパスワード不正です", 26),
    ROW(PRINTING_IS_NOT_ALLOWED, 3104, "Printing is not allowed.", u"印刷が許可されていません", 24),
    ROW(COPYING_IS_NOT_ALLOWED, 3116, "Copying is not allowed.", u"コピーが許可されていません", 26),
    ROW(CANNOT_OPEN_CMAP_FILE, 4000, "Cannot open CMap file", u"CMapファイルのオープンができません", 34),
    ROW(CANNOT_CLOSE_CMAP_FILE, 4001, "Cannot close CMap file", u"CMapファイルのクローズができません", 34),
    ROW(CANNOT_WRITE_CMAP_FILE, 4002, "Cannot write CMap file", u"CMapファイルの書き出しができません", 34),
    ROW(CANNOT_READ_CMAP_FILE, 4003, "Cannot read CMap file", u"CMapファイルの読み込みができません", 34),
    ROW(FONT_PROCESSING_ERROR, 4100, "Font processing error", u"フォント処理で問題が発生しました", 32),
    ROW(NOT_ENOUGH_MEMORY, 5000, "Not enough memory", u"メモリが不足しています", 22),
    ROW(INVALID_PASSWORD, 5002, "Invalid password", u"パスワード不正です", 18),
    ROW(INVALID_CMAP_FILE, 5004, "Invalid CMap file", u"CMapファイルが異常です", 22),
    ROW(INVALID_PAGE_NUMBER, 5006, "Invalid page number", u"ページの指定が間違っています", 28),
    ROW(IMAGE_PROCESSING_ERROR, 5100, "Image processing error", u"イメージ処理で問題が発生しました", 32),
    ROW(SIGNATURE_PROCESSING_ERROR, 6000, "Signature processing error",
        u"Signature 処理で問題が発生しました", 34),
    ROW(INVALID_CERTIFICATE_ERROR, 6001, "Invalid certificate", u"Certificate 処理で問題が発生しました", 36),
    ROW(INVALID_SIGNATURE_FIELD_NAME, 6002, "The field name of digital signature has been used already",
        u"Field name of digital signature 処理で問題が発生しました", 56),
    NO_ROW(CERTIFICATE_DEENCRYPT_ERROR, 6003), NO_ROW(GET_NULL, 7000),
    // Codes that no function gives.
    {"-1", [] { return -1; }, -1, false, OTHER},
    {"99999", [] { return 99999; }, 99999, false, OTHER},
};
#undef NO_ROW
#undef ROW
#undef OTHER

TEST(ErrorMessageTableTest, EveryCodeHasItsOwnValueAndItsRowInOrderOrTheDefaultTexts) {
  // Under WINDOWS31J the wide form is the stored bytes decoded as they are.
  ScopedEncoding windows31j("WINDOWS31J");
  std::set<int> seen;
  const ErrorMessageEntry* row = errorMessageTable;
  for (const Code& code : kCodes) {
    SCOPED_TRACE(code.name);
    EXPECT_EQ(code.function(), code.value);
    EXPECT_TRUE(seen.insert(code.value).second) << "value shared";
    VelException exception(code.value);
    EXPECT_EQ(exception.getErrorCode(), code.value);
    EXPECT_STREQ(exception.getErrorMessage().c_str(), code.message);
    EXPECT_EQ(wide(exception.getErrorMessageJP()), u16(code.messageJP));
    EXPECT_EQ(exception.getErrorMessageJP().cstr_length(), static_cast<int>(code.windows31jBytes));
    if (!code.hasRow) continue;
    ASSERT_NE(row->code, 0) << "terminator too early";
    EXPECT_EQ(row->code, code.value);
    EXPECT_STREQ(row->message, code.message);
    EXPECT_EQ(std::strlen(row->messageJP), code.windows31jBytes);
    EXPECT_EQ(wide(VelParamString(row->messageJP)), u16(code.messageJP));
    ++row;
  }
  EXPECT_TRUE(row->code == 0 && row->message[0] == 0 && row->messageJP[0] == 0);
  VelErrorCode left;
  EXPECT_EQ(&(left = VelErrorCode()), &left);
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
  EXPECT_STREQ(exception.getErrorMessageJP().c_str(), u8"3ページ目がありません");
  EXPECT_EQ(wide(exception.getErrorMessageJP()), wide(text));
}

// PDFの読み込みができません in each encoding.
const char kReadPdfWindows31j[] =
    "PDF\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x82\xaa\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
const char kReadPdfEucJp[] =
    "PDF\xa4\xce\xc6\xc9\xa4\xdf\xb9\xfe\xa4\xdf\xa4\xac\xa4\xc7\xa4\xad\xa4\xde\xa4\xbb\xa4\xf3";
const char kReadPdfUtf8[] = u8"PDFの読み込みができません";

TEST(VelExceptionTest, GetErrorMessageJPGivesTheSameBytesAndObjectAndFollowsTheVariable) {
  // The encoding (null: neither variable set) and its bytes. Each case converts a fresh
  // exception and one carried on from the case before, so changed between two calls.
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, kReadPdfWindows31j}, {"EUC-JP", kReadPdfEucJp}, {"UTF-8", kReadPdfUtf8},
      {"EUC-JP", kReadPdfEucJp}, {nullptr, kReadPdfWindows31j}};
  VelException carried(VelErrorCode::CANNOT_READ_PDF());
  for (const auto& chosen : cases) {
    SCOPED_TRACE(chosen.first != nullptr ? chosen.first : "neither variable");
    ScopedEncoding encoding(chosen.first);
    VelException fresh(VelErrorCode::CANNOT_READ_PDF());
    for (VelException* exception : {&fresh, &carried}) {
      const VelParamString& first = exception->getErrorMessageJP();
      EXPECT_STREQ(first.c_str(), chosen.second);
      EXPECT_EQ(&exception->getErrorMessageJP(), &first);
      EXPECT_STREQ(first.c_str(), chosen.second) << "second call";
      EXPECT_EQ(wide(first), u16(u"PDFの読み込みができません"));
    }
  }
}

TEST(VelExceptionTest, CopiesAndSelfAssignmentCarryTheConvertedMessage) {
  ScopedEncoding eucJp("EUC-JP");
  VelException original(VelErrorCode::CANNOT_READ_PDF());
  original.getErrorMessageJP();
  VelException copy(original);
  VelException assigned(VelErrorCode::OTHER_ERRORS());
  EXPECT_EQ(&(assigned = original), &assigned);
  const VelException& same = original;
  EXPECT_EQ(&(original = same), &original);
  for (VelException* exception : {&copy, &assigned, &original}) {
    EXPECT_EQ(exception->getErrorCode(), 1002);
    EXPECT_STREQ(exception->getErrorMessage().c_str(), "Cannot read PDF");
    // Already EUC-JP, and known to be: converting again keeps the bytes.
    EXPECT_STREQ(exception->getErrorMessageJP().c_str(), kReadPdfEucJp);
  }
  ScopedEncoding utf8("UTF-8");
  EXPECT_STREQ(copy.getErrorMessageJP().c_str(), kReadPdfUtf8);

  // The English message is the member itself, changeable through the reference.
  const VelException constant(VelErrorCode::INVALID_PAGE_NUMBER());
  constant.getErrorMessage() = "Page 7 does not exist";
  EXPECT_STREQ(constant.getErrorMessage().c_str(), "Page 7 does not exist");
}

TEST(QuireErrorToolTest, PrintsFourLinesForACodeAndRefusesANonNumber) {
  ScopedEncoding utf8("UTF-8");
  TempDir dir;
  // "quire error ARGUMENT": its exit status, a colon, then its standard output.
  auto run = [&dir](const std::string& argument) {
    const int status = runCommand("\"" QUIRE_TOOL_PATH "\" error " + argument + " >\"" +
                                  dir.file("out") + "\" 2>\"" + dir.file("err") + "\"");
    return std::to_string(status) + ":" + readFile(dir.file("out"));
  };
  EXPECT_EQ(run("3104"), "0:3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n"
                         u8"印刷が許可されていません\n");
  EXPECT_EQ(run("31O4"), "2:");
}

}  // namespace
