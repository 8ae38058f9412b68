#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/EncodingChoice.h"
#include "tools/Commands.h"
#include "tools/EncodingNames.h"
#include "tools/Output.h"
#include "tools/Recoder.h"
#include "tools/ToolPlatform.h"

namespace quire_tool {
namespace {

const char kUsage[] =
    "usage: quire recode [-c] [-f ENC] [-t ENC] [FILE...]\n"
    "       quire recode -l\n\n"
    "Converts the FILEs in turn, or standard input (also for a FILE of '-'), from\n"
    "one multibyte encoding to another through UCS-2, and writes each piece as it\n"
    "arrives. Both encodings default to the one that the library chooses now.\n\n"
    "  -f, --from ENC   the encoding of the input\n"
    "  -t, --to ENC     the encoding of the output\n"
    "  -c, --lossy      accept what could not be converted (exit status 0)\n"
    "  -l, --list       print the five encodings\n"
    "  --               the arguments that follow are FILEs\n\n"
    "Bytes that do not decode become U+FFFD (written as '?' where the target lacks\n"
    "it), and characters that the target cannot hold become '?'. Without -c, their\n"
    "numbers are given on standard error and the exit status is 1. A zero byte\n"
    "passes through and ends a text, as the end of each FILE does.\n\n"
    "ENC is one of these names, in any case, or a spelling after it:\n";

constexpr std::size_t kReadBytes = 1 << 16;

struct Options {
  const char* from = nullptr;
  const char* to = nullptr;
  bool lossy = false;
  bool list = false;
};

const option kOptions[] = {{"from", required_argument, nullptr, 'f'},
                           {"to", required_argument, nullptr, 't'},
                           {"lossy", no_argument, nullptr, 'c'},
                           {"list", no_argument, nullptr, 'l'},
                           {}};

// Takes one option of getopt_long's into options; kGoOn or a usage error.
int takeOption(int letter, const char* value, Options* options) {
  if (letter == 'c') options->lossy = true;
  if (letter == 'l') options->list = true;
  if (letter != 'f' && letter != 't') return kGoOn;
  const char* name = findEncoding(value);
  if (name == nullptr) return usageError("recode", std::string("unknown encoding '") + value + "'");
  (letter == 'f' ? options->from : options->to) = name;
  return kGoOn;
}

enum class Outcome { kDone, kUnreadable, kUnwritable };

// Reads fd to its end, handing each piece on as soon as it arrives.
Outcome recodeFile(int fd, const std::string& label, Recoder& recoder, std::vector<char>& block,
                   std::string& out) {
  for (;;) {
    const long got = readSome(fd, block.data(), block.size());
    if (got < 0) {
      std::fprintf(stderr, "quire: cannot read %s: %s\n", label.c_str(), std::strerror(errno));
      return Outcome::kUnreadable;
    }
    out.clear();
    if (got == 0)
      recoder.finish(&out);
    else
      recoder.add(block.data(), static_cast<std::size_t>(got), &out);
    if (!out.empty() && !writeOutput(out.data(), out.size())) return Outcome::kUnwritable;
    if (got == 0) return Outcome::kDone;
  }
}

}  // namespace

int runRecode(int argc, char** argv) {
  Options options;
  const auto take = [&options](int letter, const char* value) {
    return takeOption(letter, value, &options);
  };
  Args files;
  int status = readCommandLine(argc, argv, kUsage + listEncodings(true), "cf:t:l", kOptions, take,
                               &files);
  if (status == kGoOn && options.list) status = expectOperands("recode", files, {});
  if (status != kGoOn) return status;
  if (options.list) {
    std::fputs(listEncodings(false).c_str(), stdout);
    return 0;
  }
  const char* current = Quire::getMBCSEncoding();
  const char* from = options.from != nullptr ? options.from : current;
  const char* to = options.to != nullptr ? options.to : current;
  Recoder recoder(from, to);
  if (files.empty()) files.push_back("-");

  std::vector<char> block(kReadBytes);
  std::string out;
  bool allRead = true;
  for (const std::string& file : files) {
    const bool standardInput = file == "-";
    const std::string label = standardInput ? "standard input" : "'" + file + "'";
    const int fd = standardInput ? kStandardInput : openForReading(file.c_str());
    if (fd < 0) {
      std::fprintf(stderr, "quire: cannot read %s: %s\n", label.c_str(), std::strerror(errno));
      allRead = false;
      continue;
    }
    // As cat: the output would grow with what it reads, until the disk is full.
    const bool isOutput = sameRegularFile(fd, kStandardOutput);
    if (isOutput)
      std::fprintf(stderr, "quire: cannot read %s: it is the file that standard output writes to\n",
                   label.c_str());
    const Outcome outcome =
        isOutput ? Outcome::kUnreadable : recodeFile(fd, label, recoder, block, out);
    if (!standardInput) closeFile(fd);
    // Output that failed ends everything; finishOutput says why.
    if (outcome == Outcome::kUnwritable) return 1;
    allRead = allRead && outcome == Outcome::kDone;
  }

  const long long undecodable = recoder.undecodableBytes();
  const long long unencodable = recoder.unencodableCharacters();
  if (!options.lossy && (undecodable > 0 || unencodable > 0)) {
    std::fprintf(stderr,
                 "quire: %lld bytes did not decode from %s and %lld characters did not "
                 "encode to %s (-c accepts that)\n",
                 undecodable, from, unencodable, to);
    return 1;
  }
  return allRead ? 0 : 1;
}

}  // namespace quire_tool
