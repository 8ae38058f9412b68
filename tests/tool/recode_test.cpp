#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "tests/tool/ToolProcess.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"
#include "tools/Recoder.h"

namespace {

using Quire::VelCodeConverter;
using namespace quire_test;

const char* const kEncodings[] = {"WINDOWS31J", "EUC-JP", "ISO-2022-JP", "UTF-8", "ChineseGBK"};

// Starts with characters of every length and a shift, so that a cut a few
// bytes in falls inside them: kanji, an emoji, half-width katakana, JIS X
// 0212 (three bytes in EUC-JP), the JIS X 0201 Roman pair, and kanji whose
// ISO-2022-JP bytes hold 0x3F.
const char16_t kText[] =
    u"漢人😀ｱ丂¥a‾b~c\\d简体中文€\uFFFD?もももすもももものうち\r\n¥100 JIS: 与人仁\tfin\n";

// Malformed bytes in each encoding, in the same order as kEncodings.
const char* const kMalformed[] = {
    "\x85\x40\xA0\xFD\x81\x7F\n",
    "\xA1\x41\x8F\xA1\x41\x8E\xE0\n",
    "\x80\x1B(Ix\x1B$B\x30\n\x30\x21\x1B(B\n",
    "\xE3\x81\x41\xFF\xF0\x9F\x98\n",
    "\x81\x30\xFF\n",
};

std::string encode(const std::u16string& text, const char* to) {
  const std::vector<unsigned short> units(text.begin(), text.end());
  const int n = static_cast<int>(units.size());
  std::vector<char> out(static_cast<std::size_t>(VelCodeConverter::encodeCapacity(n)));
  VelCodeConverter(Quire::kUcs2Encoding, to)
      .encodeBuffer(units.data(), n, out.data(), static_cast<int>(out.size()));
  return out.data();
}

// The library's converter on the whole text at once.
std::string oneShot(const char* from, const char* to, const std::string& bytes) {
  const int n = static_cast<int>(bytes.size());
  std::vector<unsigned short> decoded(bytes.size() + 1);
  VelCodeConverter(from, Quire::kUcs2Encoding)
      .decodeBuffer(bytes.data(), n, decoded.data(), VelCodeConverter::decodeCapacity(n));
  return encode(std::u16string(decoded.begin(), decoded.end()).c_str(), to);
}

// Output, undecodable bytes and unencodable characters of one Recoder fed
// pieces of the given size.
std::tuple<std::string, long long, long long> inPieces(const char* from, const char* to,
                                                       const std::string& bytes, std::size_t size) {
  quire_tool::Recoder recoder(from, to);
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += size)
    recoder.add(bytes.data() + at, std::min(size, bytes.size() - at), &out);
  recoder.finish(&out);
  return {out, recoder.undecodableBytes(), recoder.unencodableCharacters()};
}

TEST(RecodeTest, AnyCutGivesTheBytesAndCountsOfOneConversion) {
  TempDir dir;
  std::u16string longRun;  // no ASCII for far longer than a piece may wait
  for (int i = 0; i < 5000; ++i) longRun += u"漢字仮名交";
  for (std::size_t f = 0; f < 5; ++f) {
    const char* const from = kEncodings[f];
    const std::string bytes = encode(kText, from) + kMalformed[f], longBytes = encode(longRun, from);
    // The tool reads a file 64 KiB at a time: the sample across each such
    // place, cut 1 to 12 bytes into it, then an end inside a character or in
    // a two-byte set, which the next text must not see.
    std::string file;
    for (std::size_t into = 1; into <= 12; ++into)
      file += std::string(into * 64 * 1024 - into - file.size(), 'x') + bytes;
    file += bytes.substr(0, 5);
    writeFile(dir.file("in"), file);
    const std::string typed = encode(u"標準入力\n", from);
    for (const char* to : kEncodings) {
      SCOPED_TRACE(std::string(from) + " to " + to);
      const auto whole = inPieces(from, to, bytes, bytes.size());
      ASSERT_EQ(std::get<0>(whole), oneShot(from, to, bytes));
      for (std::size_t size = 1; size < bytes.size(); ++size)
        ASSERT_EQ(inPieces(from, to, bytes, size), whole) << "pieces of " << size;
      EXPECT_TRUE(std::get<0>(inPieces(from, to, longBytes, 1001)) == oneShot(from, to, longBytes));
      const ToolResult run =
          runTool({"recode", "-c", "-f", from, "-t", to, dir.file("in"), "-", dir.file("in")}, typed);
      const std::string once = oneShot(from, to, file);
      EXPECT_EQ(run.exitStatus, 0);
      EXPECT_TRUE(run.out == once + oneShot(from, to, typed) + once) << "the tool's output differs";
    }
  }
  // A zero byte ends a text: the second starts in ASCII, where "4A" is no kanji.
  EXPECT_EQ(std::get<0>(inPieces("ISO-2022-JP", "UTF-8", std::string("\x1B$B4A\0" "4A\0", 9), 4)),
            std::string(u8"漢\0" "4A\0", 7));
  const ToolResult missing = runTool({"recode", dir.file("in"), dir.file("none")});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_NE(missing.err.find("cannot read '" + dir.file("none") + "': No such file or directory"),
            std::string::npos) << missing.err;
}

TEST(RecodeToolTest, ALineTypedIntoAPipeComesOutBeforeTheInputEnds) {
  for (const char* to : {"WINDOWS31J", "ISO-2022-JP", "UTF-8"}) {
    SCOPED_TRACE(to);
    std::string expected;
    ToolOptions typing;
    typing.meanwhile = [&](pid_t, int input, const std::string& output) {
      for (const std::string line : {u8"一行目 first\n", u8"二行目 ¥second\n"}) {
        expected += oneShot("UTF-8", to, line);
        ASSERT_EQ(::write(input, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        for (int tries = 0; readFile(output) != expected && tries < 3000; ++tries) ::usleep(10000);
        ASSERT_EQ(readFile(output), expected);
      }
    };
    // Lossy: WINDOWS31J writes "?" for the yen sign, which is not the point here.
    const ToolResult run = runTool({"recode", "-c", "--from", "UTF-8", "--to", to}, "", typing);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.out, expected);
  }
}

TEST(RecodeToolTest, OptionsAsPeopleSpellThemAndWhatIsLostWithAndWithoutLossy) {
  // A command line, the library's names of its encodings, the input, and
  // how the line on what was lost starts (empty when nothing is).
  const struct {
    const char *line, *from, *to;
    std::string input, lost;
  } cases[] = {
      {"-f UTF-8 -t UTF-8", "UTF-8", "UTF-8", "a\xFF" "b\xE3\x81",
       "quire: 3 bytes did not decode from UTF-8 and 0 "},
      {"--from utf8 --to cp932", "UTF-8", "WINDOWS31J", u8"a€😀¥b",
       "quire: 0 bytes did not decode from UTF-8 and 3 "},
      {"--from=Utf-8 --to=EUCJP", "UTF-8", "EUC-JP", "\xFF\xEF\xBF\xBD",
       "quire: 1 bytes did not decode from UTF-8 and 1 "},
      {"-fSJIS -tutf-8", "WINDOWS31J", "UTF-8", "\x85\x40?",
       "quire: 1 bytes did not decode from WINDOWS31J and 0 "},
      // U+FFFD and "?" that the input holds are no loss.
      {"-f UTF8 -t UTF-8", "UTF-8", "UTF-8", u8"\uFFFD?", ""},
      {"-f UTF-8 -t iso2022jp", "UTF-8", "ISO-2022-JP", u8"人与?", ""},
      {"-tShift_JIS -f ISO-2022-JP", "ISO-2022-JP", "WINDOWS31J", "\x1B$B?M\x1B(B?", ""},
      {"-t ms932 -f UTF8 -- -", "UTF-8", "WINDOWS31J", u8"表示 ok\n", ""},
      {"-f utf-8 -t windows-31j", "UTF-8", "WINDOWS31J", u8"表示 ok\n", ""},
      {"-f UTF-8 --to EUC_JP", "UTF-8", "EUC-JP", u8"表示 ok\n", ""},
      {"-f UTF-8 -t gbk", "UTF-8", "ChineseGBK", u8"表示 ok\n", ""},
      // Without -f the library's own choice of encoding.
      {"--to=CP936", "EUC-JP", "ChineseGBK", "\xC9\xBD\xBC\xA8 ok\n", ""},
  };
  ScopedEncoding eucJp("EUC-JP");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::istringstream words(std::string("recode ") + c.line);
    std::vector<std::string> command{std::istream_iterator<std::string>(words), {}};
    const ToolResult strict = runTool(command, c.input);
    command.insert(command.begin() + 1, "--lossy");
    const ToolResult lossy = runTool(command, c.input);
    EXPECT_EQ(strict.out, oneShot(c.from, c.to, c.input));
    EXPECT_EQ(std::tie(lossy.out, lossy.exitStatus, lossy.err),
              std::make_tuple(strict.out, 0, std::string()));
    EXPECT_EQ(strict.exitStatus, c.lost.empty() ? 0 : 1);
    EXPECT_EQ(c.lost.empty() ? strict.err : strict.err.substr(0, c.lost.size()), c.lost);
  }
  const ToolResult help = runTool({"recode", "--help"});
  EXPECT_NE(help.out.find("  WINDOWS31J  WINDOWS-31J, CP932, MS932, SJIS, SHIFT_JIS"),
            std::string::npos);
  EXPECT_NE(help.out.find("  ChineseGBK  GBK, CP936"), std::string::npos);
}

TEST(RecodeToolTest, MemoryStaysBoundedWhateverTheInputsLength) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "sanitizers keep freed memory";
#else
  // A file, not a string: the tool's peak counts what this process holds
  // when it starts the tool.
  TempDir dir;
  const std::string line = u8"日本語の文章とASCII text, 日本語の文章とASCII text\n";
  const std::uintmax_t lines = (80 << 20) / line.size();
  {
    std::ofstream input(dir.file("in"), std::ios::binary);
    for (std::uintmax_t i = 0; i < lines; ++i) input << line;
  }
  const ToolResult run = runTool({"recode", "-f", "UTF-8", "-t", "EUC-JP", dir.file("in")});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out.size(), lines * oneShot("UTF-8", "EUC-JP", line).size());
  EXPECT_LT(run.peakKilobytes, 64 * 1024);
#endif
}

}  // namespace
