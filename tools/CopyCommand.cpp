#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"
#include "tools/Commands.h"

namespace quire_tool {
namespace {

const char kUsage[] =
    "usage: quire copy SOURCE DEST\n\n"
    "Copies the file SOURCE to DEST in 64 KiB blocks through the library's input\n"
    "and output parameters. DEST is created, or emptied when it exists. A copy\n"
    "that fails leaves no DEST behind. A large copy shows its progress on\n"
    "standard error when that is a terminal.\n";

constexpr int kBlockBytes = 64 * 1024;
constexpr long long kProgressFrom = 8LL * 1024 * 1024;
constexpr int kBarWidth = 40;

int fail(const char* what, const std::string& path, const char* why) {
  std::fprintf(stderr, "quire: cannot %s '%s': %s\n", what, path.c_str(), why);
  return 1;
}

// What the last failed system call said, if anything.
const char* lastError() { return errno != 0 ? std::strerror(errno) : "failed"; }

// Redraws the bar only when the percentage moves, so that a fast copy does
// not spend its time on the terminal.
void drawProgress(long long done, long long total, int& shownPercent) {
  const int percent = static_cast<int>(std::min(done, total) * 100 / total);
  if (percent == shownPercent) return;
  shownPercent = percent;
  const int filled = percent * kBarWidth / 100;
  std::fprintf(stderr, "\r[%s%*s] %3d%%", std::string(filled, '#').c_str(), kBarWidth - filled,
               "", percent);
}

}  // namespace

int runCopy(const Args& args) {
  if (wantsHelp(args, kUsage)) return 0;
  if (args.size() < 2) return usageError("copy", args.empty() ? "missing SOURCE" : "missing DEST");
  if (args.size() > 2) return usageError("copy", "unexpected argument '" + args[2] + "'");
  const std::string& source = args[0];
  const std::string& dest = args[1];

  // An ifstream opens a directory without complaint and then reads nothing,
  // which would pass for an empty file.
  struct stat from;
  if (::stat(source.c_str(), &from) != 0) return fail("read", source, lastError());
  if (!S_ISREG(from.st_mode)) return fail("read", source, "not a regular file");
  struct stat to;
  if (::stat(dest.c_str(), &to) == 0 && to.st_dev == from.st_dev && to.st_ino == from.st_ino)
    return fail("copy to", dest, "it is the source itself");

  errno = 0;
  Quire::VelParamInput in(source.c_str());
  if (!in.canRead()) return fail("read", source, lastError());
  Quire::VelParamOutput out(dest.c_str());
  if (!out.canWrite()) return fail("write", dest, lastError());

  const long long size = from.st_size;
  const bool showProgress = size >= kProgressFrom && ::isatty(STDERR_FILENO) == 1;
  std::ostream& written = out.getStream();
  std::vector<char> block(kBlockBytes);
  long long copied = 0;
  int shownPercent = -1;
  for (int got; written && (got = in.read(block.data(), kBlockBytes)) > 0;) {
    out.write(block.data(), got);
    copied += got;
    if (showProgress) drawProgress(copied, size, shownPercent);
  }
  if (showProgress) std::fputc('\n', stderr);

  // Until the flag is cleared, leaving here destroys the output and with it
  // the partial file.
  if (!written.flush()) return fail("write", dest, "writing failed");
  if (copied != size) return fail("read", source, "it changed or failed during the copy");
  out.setRemoveFlag(0);
  return 0;
}

}  // namespace quire_tool
