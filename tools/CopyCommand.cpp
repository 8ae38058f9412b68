#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"
#include "tools/Commands.h"
#include "tools/ReplacementFile.h"
#include "tools/ToolPlatform.h"

namespace quire_tool {
namespace {

const char kUsage[] =
    "usage: quire copy SOURCE DEST\n\n"
    "Copies SOURCE to DEST in 64 KiB blocks through the library's input and\n"
    "output parameters. The copy is written to a new file beside DEST, put on the\n"
    "disk, and renamed over DEST only when it is whole: a copy that fails or is\n"
    "interrupted (SIGINT, SIGTERM, SIGHUP) leaves an existing DEST as it was and\n"
    "no new file. A DEST that is a link is followed. A large copy shows its\n"
    "progress on standard error when that is a terminal.\n";

constexpr int kBlockBytes = 64 * 1024;
constexpr long long kProgressFrom = 8LL * 1024 * 1024;
constexpr int kBarWidth = 40;

int fail(const char* what, const std::string& path, const std::string& why) {
  std::fprintf(stderr, "quire: cannot %s '%s': %s\n", what, path.c_str(), why.c_str());
  return 1;
}

// What the last failed call said, if anything.
std::string lastError() { return errno != 0 ? std::strerror(errno) : "failed"; }

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

// The file that a link names, so that the link itself stays.
std::string followLink(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

// Copies in into the file at path; returns 0 or the exit status of a failure.
// size is -1 for a source of unknown length.
int copyInto(Quire::VelParamInput& in, const std::string& source, const std::string& path,
             const std::string& dest, long long size) {
  errno = 0;
  Quire::VelParamOutput out(path.c_str());
  if (!out.canWrite()) return fail("write", dest, lastError());
  // The file is the caller's to remove: it must go on a signal too.
  out.setRemoveFlag(0);
  const bool showProgress = size >= kProgressFrom && isTerminal(kStandardError);
  std::ostream& written = out.getStream();
  std::vector<char> block(kBlockBytes);
  long long copied = 0;
  int shownPercent = -1;
  for (int got; (got = in.read(block.data(), kBlockBytes)) > 0;) {
    errno = 0;
    out.write(block.data(), got);
    if (!written) return fail("write", dest, lastError());
    copied += got;
    if (showProgress) drawProgress(copied, size, shownPercent);
  }
  if (showProgress) std::fputc('\n', stderr);
  if (in.getStream().bad()) return fail("read", source, lastError());
  errno = 0;
  if (!written.flush()) return fail("write", dest, lastError());
  if (size >= 0 && copied != size) return fail("read", source, "it changed during the copy");
  return 0;
}

}  // namespace

int runCopy(int argc, char** argv) {
  Args args;
  int status = readCommandLine(argc, argv, kUsage, "", nullptr, nullptr, &args);
  if (status == kGoOn) status = expectOperands("copy", args, {"SOURCE", "DEST"});
  if (status != kGoOn) return status;
  const std::string& source = args[0];
  const std::string dest = followLink(args[1]);

  // An ifstream opens a directory without complaint and then reads nothing,
  // which would pass for an empty file.
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory(source, error)) return fail("read", source, std::strerror(EISDIR));
  if (fs::is_directory(dest, error)) return fail("write", args[1], std::strerror(EISDIR));
  if (fs::equivalent(source, dest, error)) return fail("copy to", args[1], "it is the source itself");

  errno = 0;
  Quire::VelParamInput in(source.c_str());
  if (!in.canRead()) return fail("read", source, lastError());
  ReplacementFile replacement(dest);
  if (!replacement.created()) return fail("create a new file beside", args[1], replacement.why());
  const long long size =
      fs::is_regular_file(source, error) ? static_cast<long long>(fs::file_size(source, error)) : -1;
  if (const int status = copyInto(in, source, replacement.path(), args[1], size)) return status;
  if (!replacement.commit()) return fail("write", args[1], replacement.why());
  return 0;
}

}  // namespace quire_tool
