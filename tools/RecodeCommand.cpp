#include <cstdio>
#include <cstring>
#include <vector>

#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"
#include "tools/Commands.h"

namespace quire_tool {
namespace {

const char kUsage[] =
    "usage: quire recode [--from ENC] [--to ENC] < IN > OUT\n\n"
    "Converts standard input from one multibyte encoding to another through\n"
    "UCS-2. ENC is one of WINDOWS31J, EUC-JP, ISO-2022-JP, UTF-8, ChineseGBK;\n"
    "both default to the encoding that the library chooses now. Bytes that do\n"
    "not decode become U+FFFD (written as '?' where the target lacks it), and\n"
    "characters that the target cannot hold become '?'.\n";

// Converts one run of text without zero bytes, at most kMaxConvertible
// bytes long, and writes it out.
bool recodeRun(const Quire::VelCodeConverter& decoder,
               const Quire::VelCodeConverter& encoder, const char* bytes,
               std::size_t count) {
  const int n = static_cast<int>(count);
  std::vector<unsigned short> wide(static_cast<std::size_t>(n) + 1);
  decoder.decodeBuffer(bytes, n, wide.data(), Quire::VelCodeConverter::decodeCapacity(n));
  const int units = static_cast<int>(std::char_traits<unsigned short>::length(wide.data()));
  std::vector<char> narrow(Quire::VelCodeConverter::encodeCapacity(units));
  encoder.encodeBuffer(wide.data(), units, narrow.data(), static_cast<int>(narrow.size()));
  const std::size_t length = std::strlen(narrow.data());
  return std::fwrite(narrow.data(), 1, length, stdout) == length;
}

}  // namespace

int runRecode(const Args& args) {
  if (wantsHelp(args, kUsage)) return 0;
  const char* from = Quire::getMBCSEncoding();
  const char* to = from;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option != "--from" && option != "--to")
      return usageError("recode", "unexpected argument '" + option + "'");
    if (i + 1 == args.size()) return usageError("recode", "missing encoding after " + option);
    const char* name = Quire::findMbcsEncoding(args[++i].c_str());
    if (name == nullptr) return usageError("recode", "unknown encoding '" + args[i] + "'");
    (option == "--from" ? from : to) = name;
  }

  // Read whole: a stateful encoding such as ISO-2022-JP cannot be cut at an
  // arbitrary line. Zero bytes end a text, so they pass through unchanged.
  std::vector<char> input;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, stdin)) > 0;)
    input.insert(input.end(), block, block + got);
  if (std::ferror(stdin)) {
    std::fputs("quire: cannot read standard input\n", stderr);
    return 1;
  }

  const Quire::VelCodeConverter decoder(from, Quire::kUcs2Encoding);
  const Quire::VelCodeConverter encoder(Quire::kUcs2Encoding, to);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= input.size(); ++i) {
    if (i < input.size() && input[i] != '\0') continue;
    if (i - start > static_cast<std::size_t>(Quire::VelCodeConverter::kMaxConvertible)) {
      std::fputs("quire: input too large: a run without zero bytes exceeds 341 MiB\n", stderr);
      return 1;
    }
    if (!recodeRun(decoder, encoder, input.data() + start, i - start) ||
        (i < input.size() && std::fputc('\0', stdout) == EOF)) {
      std::fputs("quire: cannot write standard output\n", stderr);
      return 1;
    }
    start = i + 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quire_tool
