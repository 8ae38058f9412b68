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
  std::vector<std::string> files;
};

// The value of an -f or -t option at args[*i] (-f ENC, -fENC, --from ENC,
// --from=ENC), or a usage error's status.
int encodingValue(const Args& args, std::size_t* i, const char* shortName, const char* longName,
                  const char** name) {
  const std::string& arg = args[*i];
  const std::string longEquals = std::string(longName) + "=";
  std::string value;
  if (arg == shortName || arg == longName) {
    if (*i + 1 == args.size()) return usageError("recode", "missing encoding after " + arg);
    value = args[++*i];
  } else if (arg.compare(0, longEquals.size(), longEquals) == 0) {
    value = arg.substr(longEquals.size());
  } else if (arg.compare(0, 2, shortName) == 0) {
    value = arg.substr(2);
  } else {
    return usageError("recode", "unknown option '" + arg + "'");
  }
  *name = findEncoding(value);
  return *name != nullptr ? 0 : usageError("recode", "unknown encoding '" + value + "'");
}

// Returns 0, or the exit status of a wrong command line.
int parse(const Args& args, Options* options) {
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    int status = 0;
    if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-')
      options->files.push_back(arg);
    else if (arg == "--")
      onlyFiles = true;
    else if (arg == "-c" || arg == "--lossy")
      options->lossy = true;
    else if (arg == "-l" || arg == "--list")
      options->list = true;
    else if (arg.compare(0, 2, "-f") == 0 || arg.compare(0, 6, "--from") == 0)
      status = encodingValue(args, &i, "-f", "--from", &options->from);
    else if (arg.compare(0, 2, "-t") == 0 || arg.compare(0, 4, "--to") == 0)
      status = encodingValue(args, &i, "-t", "--to", &options->to);
    else
      status = usageError("recode", "unknown option '" + arg + "'");
    if (status != 0) return status;
  }
  return 0;
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

int runRecode(const Args& args) {
  if (wantsHelp(args, kUsage)) {
    std::fputs(listEncodings(true).c_str(), stdout);
    return 0;
  }
  Options options;
  if (const int status = parse(args, &options)) return status;
  if (options.list) {
    std::fputs(listEncodings(false).c_str(), stdout);
    return 0;
  }
  const char* current = Quire::getMBCSEncoding();
  const char* from = options.from != nullptr ? options.from : current;
  const char* to = options.to != nullptr ? options.to : current;
  Recoder recoder(from, to);
  if (options.files.empty()) options.files.push_back("-");

  std::vector<char> block(kReadBytes);
  std::string out;
  bool allRead = true;
  for (const std::string& file : options.files) {
    const bool standardInput = file == "-";
    const int fd = standardInput ? kStandardInput : openForReading(file.c_str());
    if (fd < 0) {
      std::fprintf(stderr, "quire: cannot read '%s': %s\n", file.c_str(), std::strerror(errno));
      allRead = false;
      continue;
    }
    const Outcome outcome = recodeFile(
        fd, standardInput ? "standard input" : "'" + file + "'", recoder, block, out);
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
