#include <filesystem>
#include <fstream>
#include <string>
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

std::vector<unsigned short> units(const char16_t* text) {
  std::vector<unsigned short> out;
  for (; *text != 0; ++text) out.push_back(static_cast<unsigned short>(*text));
  return out;
}

std::string encodeUnits(const std::vector<unsigned short>& source, const char* to) {
  const int n = static_cast<int>(source.size());
  std::vector<char> out(static_cast<std::size_t>(VelCodeConverter::encodeCapacity(n)));
  VelCodeConverter(Quire::kUcs2Encoding, to)
      .encodeBuffer(source.data(), n, out.data(), static_cast<int>(out.size()));
  return out.data();
}

// The library's converter on the whole text at once.
std::string oneShot(const char* from, const char* to, const std::string& bytes) {
  const int n = static_cast<int>(bytes.size());
  std::vector<unsigned short> decoded(bytes.size() + 1);
  VelCodeConverter(from, Quire::kUcs2Encoding)
      .decodeBuffer(bytes.data(), n, decoded.data(), VelCodeConverter::decodeCapacity(n));
  decoded.resize(std::char_traits<unsigned short>::length(decoded.data()));
  return encodeUnits(decoded, to);
}

std::string sample(std::size_t from) {
  return encodeUnits(units(kText), kEncodings[from]) + kMalformed[from];
}

// Pieces of the given sizes, then the rest, through one Recoder.
std::string inPieces(const char* from, const char* to, const std::string& bytes,
                     const std::vector<std::size_t>& sizes, long long* undecodable = nullptr,
                     long long* unencodable = nullptr) {
  quire_tool::Recoder recoder(from, to);
  std::string out;
  std::size_t at = 0;
  for (std::size_t size : sizes) {
    const std::size_t piece = std::min(size, bytes.size() - at);
    recoder.add(bytes.data() + at, piece, &out);
    at += piece;
  }
  recoder.add(bytes.data() + at, bytes.size() - at, &out);
  recoder.finish(&out);
  if (undecodable != nullptr) *undecodable = recoder.undecodableBytes();
  if (unencodable != nullptr) *unencodable = recoder.unencodableCharacters();
  return out;
}

TEST(RecoderTest, AnyCutOfTheInputGivesTheBytesAndCountsOfOneConversion) {
  for (std::size_t f = 0; f < 5; ++f) {
    const std::string bytes = sample(f);
    for (const char* to : kEncodings) {
      SCOPED_TRACE(std::string(kEncodings[f]) + " to " + to);
      const std::string expected = oneShot(kEncodings[f], to, bytes);
      long long undecodable = 0, unencodable = 0;
      ASSERT_EQ(inPieces(kEncodings[f], to, bytes, {}, &undecodable, &unencodable), expected);
      for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        long long u = 0, e = 0;
        ASSERT_EQ(inPieces(kEncodings[f], to, bytes, {cut}, &u, &e), expected) << "cut " << cut;
        ASSERT_EQ(u, undecodable) << "cut " << cut;
        ASSERT_EQ(e, unencodable) << "cut " << cut;
      }
      EXPECT_EQ(inPieces(kEncodings[f], to, bytes, std::vector<std::size_t>(bytes.size(), 1)),
                expected);
    }
  }
}

TEST(RecoderTest, LongRunsWithoutASingleByteCharacterAreCutAndKeptWhole) {
  // No ASCII for far longer than a piece may wait, in every encoding.
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += u"漢字仮名交";
  for (const char* from : kEncodings) {
    const std::string bytes = encodeUnits(units(text.c_str()), from);
    for (const char* to : {"UTF-8", "ISO-2022-JP"}) {
      SCOPED_TRACE(std::string(from) + " to " + to);
      EXPECT_EQ(inPieces(from, to, bytes, std::vector<std::size_t>(bytes.size() / 1001, 1001)),
                oneShot(from, to, bytes));
    }
  }
}

TEST(RecoderTest, ZeroBytesPassThroughAndEndEachText) {
  // The second text starts in ASCII: its "4A" is no kanji.
  const std::string input("\x1B$B4A\0" "4A\0", 9);
  quire_tool::Recoder recoder("ISO-2022-JP", "UTF-8");
  std::string out;
  recoder.add(input.data(), input.size(), &out);
  recoder.finish(&out);
  EXPECT_EQ(out, std::string(u8"漢\0" "4A\0", 7));
}

// The tool reads a file 64 KiB at a time. Each of these inputs puts a
// sample across each such place, cut 1 to 12 bytes into it, with ASCII
// between the samples.
constexpr std::size_t kToolReadBytes = 64 * 1024;

std::string acrossReads(const std::string& piece) {
  std::string input;
  for (std::size_t into = 1; into <= 12; ++into) {
    input.append(into * kToolReadBytes - into - input.size(), 'x');
    input += piece;
  }
  return input;
}

TEST(RecodeToolTest, LargeFilesCutAcrossCharactersAndShiftsMatchOneConversion) {
  TempDir dir;
  for (std::size_t f = 0; f < 5; ++f) {
    const std::string input = acrossReads(sample(f));
    writeFile(dir.file("in"), input);
    for (const char* to : kEncodings) {
      SCOPED_TRACE(std::string(kEncodings[f]) + " to " + to);
      const ToolResult run = runTool({"recode", "-c", "-f", kEncodings[f], "-t", to, dir.file("in")});
      EXPECT_EQ(run.exitStatus, 0);
      EXPECT_TRUE(run.out == oneShot(kEncodings[f], to, input)) << "output differs";
    }
  }
}

TEST(RecodeToolTest, StandardInputAndFilesAreTextsInTurn) {
  TempDir dir;
  const std::string first = sample(2);  // ISO-2022-JP, left in a two-byte set before its end
  const std::string second = encodeUnits(units(u"二番目\n"), "ISO-2022-JP");
  writeFile(dir.file("first"), first);
  writeFile(dir.file("second"), second);
  const std::string stdinText = acrossReads(encodeUnits(units(u"標準入力\n"), "ISO-2022-JP"));
  const ToolResult run = runTool({"recode", "-c", "-f", "ISO-2022-JP", "-t", "EUC-JP",
                                  dir.file("first"), "-", dir.file("second")},
                                 stdinText);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_TRUE(run.out == oneShot("ISO-2022-JP", "EUC-JP", first) +
                             oneShot("ISO-2022-JP", "EUC-JP", stdinText) +
                             oneShot("ISO-2022-JP", "EUC-JP", second));

  const ToolResult missing = runTool({"recode", dir.file("first"), dir.file("none")});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_NE(missing.err.find("cannot read '" + dir.file("none") + "': No such file or directory"),
            std::string::npos) << missing.err;
}

TEST(RecodeToolTest, ALineTypedIntoAPipeComesOutBeforeTheInputEnds) {
  for (const char* to : {"WINDOWS31J", "ISO-2022-JP", "UTF-8"}) {
    SCOPED_TRACE(to);
    // Lossy: WINDOWS31J writes "?" for the yen sign, which is not the point here.
    ToolProcess tool({"recode", "-c", "--from", "UTF-8", "--to", to});
    for (const char* line : {u8"一行目 first\n", u8"二行目 ¥second\n"}) {
      const std::string expected = oneShot("UTF-8", to, line);
      tool.writeInput(line);
      EXPECT_EQ(tool.readOutput(expected.size()), expected);
    }
    const ToolResult rest = tool.finish();
    EXPECT_EQ(rest.exitStatus, 0);
    EXPECT_EQ(rest.out, "");
  }
}

TEST(RecodeToolTest, WhatCannotBeConvertedIsCountedAndFailsUnlessLossy) {
  struct Case {
    const char* from;
    const char* to;
    std::string input;
    const char* counts;  // the start of the message; null when nothing is lost
  };
  const Case cases[] = {
      {"UTF-8", "UTF-8", "a\xFF" "b\xE3\x81", "quire: 3 bytes did not decode from UTF-8 and 0 "},
      {"UTF-8", "WINDOWS31J", u8"a€😀b", "quire: 0 bytes did not decode from UTF-8 and 2 "},
      {"UTF-8", "EUC-JP", "\xFF" "\xEF\xBF\xBD", "quire: 1 bytes did not decode from UTF-8 and 1 "},
      {"WINDOWS31J", "UTF-8", "\x85\x40?", "quire: 1 bytes did not decode from WINDOWS31J and 0 "},
      // U+FFFD and "?" that the input holds are no loss.
      {"UTF-8", "UTF-8", u8"\uFFFD?", nullptr},
      {"UTF-8", "ISO-2022-JP", u8"人与?", nullptr},
      {"ISO-2022-JP", "WINDOWS31J", "\x1B$B?M\x1B(B?", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " to " + c.to + ": " + c.input);
    const ToolResult strict = runTool({"recode", "-f", c.from, "-t", c.to}, c.input);
    const ToolResult lossy = runTool({"recode", "--lossy", "-f", c.from, "-t", c.to}, c.input);
    EXPECT_EQ(strict.out, oneShot(c.from, c.to, c.input));
    EXPECT_EQ(lossy.out, strict.out);
    EXPECT_EQ(lossy.exitStatus, 0);
    EXPECT_EQ(lossy.err, "");
    EXPECT_EQ(strict.exitStatus, c.counts != nullptr ? 1 : 0);
    EXPECT_EQ(strict.err.rfind(c.counts != nullptr ? c.counts : "", 0), 0u) << strict.err;
    EXPECT_EQ(strict.err.empty(), c.counts == nullptr) << strict.err;
  }
}

TEST(RecodeToolTest, OptionsTakeEncodingsAsPeopleSpellThem) {
  const std::string input = u8"表示 ok\n";
  const std::string expected = oneShot("UTF-8", "WINDOWS31J", input);
  const std::vector<std::vector<std::string>> spellings = {
      {"-f", "UTF-8", "-t", "WINDOWS31J"}, {"--from", "utf8", "--to", "cp932"},
      {"--from=Utf-8", "--to=SJIS"},       {"-futf-8", "-tShift_JIS"},
      {"-t", "ms932", "-f", "UTF8"},       {"-f", "UTF-8", "-t", "windows-31j", "--", "-"},
  };
  for (const auto& args : spellings) {
    std::vector<std::string> command{"recode"};
    command.insert(command.end(), args.begin(), args.end());
    const ToolResult run = runTool(command, input);
    EXPECT_EQ(run.exitStatus, 0) << args[1];
    EXPECT_EQ(run.out, expected) << args[1];
  }
  for (const char* alias : {"EUCJP", "gbk", "CP936", "iso2022jp", "EUC_JP"}) {
    const ToolResult run = runTool({"recode", "-f", "UTF-8", "-t", alias}, "x");
    EXPECT_EQ(run.exitStatus, 0) << alias;
  }

  // The library's names and its own choice of default stay as they are.
  const ToolResult list = runTool({"recode", "--list"});
  EXPECT_EQ(list.out, "WINDOWS31J\nEUC-JP\nISO-2022-JP\nUTF-8\nChineseGBK\n");
  for (const char* name : kEncodings) EXPECT_NE(Quire::findMbcsEncoding(name), nullptr);
  {
    ScopedEncoding eucJp("EUC-JP");
    EXPECT_EQ(runTool({"recode", "-t", "UTF-8"}, oneShot("UTF-8", "EUC-JP", input)).out, input);
  }
  const ToolResult help = runTool({"recode", "--help"});
  EXPECT_NE(help.out.find("  WINDOWS31J  WINDOWS-31J, CP932, MS932, SJIS, SHIFT_JIS"),
            std::string::npos);
  EXPECT_NE(help.out.find("  ChineseGBK  GBK, CP936"), std::string::npos);

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"recode", "-f", "latin1"}, {"recode", "--to"},
                                             {"recode", "--from-utf8"}, {"recode", "-x"}}) {
    const ToolResult run = runTool(wrong);
    EXPECT_EQ(run.exitStatus, 2) << wrong.back();
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST(RecodeToolTest, MemoryStaysBoundedWhateverTheInputsLength) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "sanitizers keep freed memory";
#else
  // Files, not strings: the tool's peak counts what this process holds when
  // it starts the tool.
  TempDir dir;
  std::string line;
  for (int i = 0; i < 16; ++i) line += u8"日本語の文章とASCII text ";
  line += '\n';
  long long written = 0;
  {
    std::ofstream input(dir.file("in"), std::ios::binary);
    for (; written < (80LL << 20); written += static_cast<long long>(line.size())) input << line;
  }
  ToolOptions toFile;
  toFile.outputFile = dir.file("out");
  const ToolResult run = runTool({"recode", "-f", "UTF-8", "-t", "EUC-JP", dir.file("in")}, "", toFile);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(std::filesystem::file_size(dir.file("out")),
            static_cast<std::uintmax_t>(written / line.size()) *
                oneShot("UTF-8", "EUC-JP", line).size());
  EXPECT_LT(run.peakKilobytes, 64 * 1024);
#endif
}

}  // namespace
