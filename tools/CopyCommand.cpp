#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"
#include "tools/Commands.h"
#include "tools/DescriptorBuffer.h"
#include "tools/ReplacementFile.h"
#include "tools/ToolPlatform.h"

namespace quire_tool {
namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: quire copy SOURCE DEST\n\n"
    "Copies SOURCE, a file of any kind, to DEST in 64 KiB blocks through the\n"
    "library's input and output parameters; the holes of a sparse SOURCE stay\n"
    "holes. What DEST is decides how it is written:\n\n"
    "  a regular file, or none   a new file beside it, put on the disk and renamed\n"
    "                            over it only when whole; an existing DEST keeps\n"
    "                            its owner, group and mode, a new one gets SOURCE's\n"
    "                            mode less the umask\n"
    "  a device, FIFO or socket  written in place, never replaced\n"
    "  a symbolic link           followed to the file that it names, which is\n"
    "                            written as above; the link stays. A dangling link\n"
    "                            or a loop is refused\n"
    "  a file with hard links    refused: its other names would keep the old content\n"
    "  a directory               refused\n\n"
    "A copy that fails, or that a signal stops, leaves an existing DEST as it was\n"
    "and no new file. A large copy shows its progress on standard error when that\n"
    "is a terminal.\n";

constexpr int kBlockBytes = 64 * 1024;
constexpr long long kProgressFrom = 8LL * 1024 * 1024;
constexpr int kBarWidth = 40;

// The percentage that the progress bar shows, or -1 while none is on its line.
int shownPercent = -1;

void endProgress() {
  if (shownPercent >= 0) std::fputc('\n', stderr);
  shownPercent = -1;
}

int fail(const char* what, const std::string& path, const std::string& why) {
  endProgress();  // the message starts a line of its own
  std::fprintf(stderr, "quire: cannot %s '%s': %s\n", what, path.c_str(), why.c_str());
  return 1;
}

// What an errno value says; a failure that left none still fails.
std::string reason(int error) { return error != 0 ? std::strerror(error) : "failed"; }

struct OpenFile {
  const int fd;
  ~OpenFile() {
    if (fd >= 0) closeFile(fd);
  }
};

enum class Way { kReplace, kInPlace };

// How DEST is written, and the file that is written (for a link, the file
// that it names); 0, or the exit status of a refusal.
int examine(const std::string& dest, Way* way, std::string* target) {
  std::error_code error;
  const fs::file_status itself = fs::symlink_status(dest, error);
  const fs::file_status named = fs::status(dest, error);
  *way = Way::kReplace;
  *target = dest;
  if (named.type() == fs::file_type::not_found)
    return fs::is_symlink(itself) ? fail("write", dest, "it is a dangling link") : 0;
  if (error) return fail("write", dest, error.message());
  if (fs::is_directory(named)) return fail("write", dest, std::strerror(EISDIR));
  if (!fs::is_regular_file(named)) {
    *way = Way::kInPlace;
    return 0;
  }
  if (fs::is_symlink(itself)) *target = fs::canonical(dest, error).string();
  if (error) return fail("write", dest, error.message());
  const std::uintmax_t names = fs::hard_link_count(*target, error);
  if (error) return fail("write", dest, error.message());
  if (names > 1)
    return fail("replace", dest, "it has other hard links, which would keep the old content");
  errno = 0;
  return canWrite(target->c_str()) ? 0 : fail("write", dest, reason(errno));
}

// One copy from SOURCE's descriptor to DEST's, through the stream parameters
// on streams of the tool's own.
class Copy {
 public:
  // keepHoles: DEST is a new regular file, where a hole is a move.
  Copy(const std::string& source, const std::string& dest, int sourceFd, int destFd,
       bool keepHoles)
      : source_(source), dest_(dest), sourceFd_(sourceFd), destFd_(destFd),
        keepHoles_(keepHoles), size_(regularFileSize(sourceFd)), readBuffer_(sourceFd),
        writeBuffer_(destFd), readStream_(&readBuffer_), writeStream_(&writeBuffer_),
        in_(source.c_str(), &readStream_), out_(dest.c_str(), &writeStream_),
        block_(kBlockBytes) {}

  // 0, or the exit status of a failure, told on standard error.
  int run();

 private:
  bool skip(long long count);
  void showProgress(long long done);
  int failRead() { return fail("read", source_, reason(readBuffer_.error())); }
  int failWrite(int error) { return fail("write", dest_, reason(error)); }

  const std::string& source_;
  const std::string& dest_;
  const int sourceFd_, destFd_;
  const bool keepHoles_;
  const long long size_;  // -1 where unknown
  DescriptorBuffer readBuffer_, writeBuffer_;
  std::istream readStream_;
  std::ostream writeStream_;
  Quire::VelParamInput in_;
  Quire::VelParamOutput out_;
  std::vector<char> block_;
};

int Copy::run() {
  // Only a regular file has holes to find; one of size 0 (in /proc) may
  // still hold bytes, and is read to its end.
  const bool sparse = size_ > 0;
  long long at = 0;
  for (;;) {
    long long end = LLONG_MAX;
    const long long data = sparse ? findData(sourceFd_, at, &end) : at;
    if (data < 0) {  // nothing but a hole to the end
      errno = 0;
      if (at < size_ && !(keepHoles_ ? setFileSize(destFd_, size_) : skip(size_ - at)))
        return failWrite(keepHoles_ ? errno : writeBuffer_.error());
      at = std::max(at, size_);
      break;
    }
    if (sparse && in_.seekoff(static_cast<long>(data), 0, 0) != data) return failRead();
    if (!skip(data - at)) return failWrite(writeBuffer_.error());
    for (at = data; at < end;) {
      const int want = static_cast<int>(std::min<long long>(kBlockBytes, end - at));
      const int got = in_.read(block_.data(), want);
      if (readBuffer_.error() != 0) return failRead();
      if (got <= 0) break;
      out_.write(block_.data(), got);
      if (writeBuffer_.error() != 0) return failWrite(writeBuffer_.error());
      at += got;
      showProgress(at);
    }
    if (at < end) break;  // the end of the file came first
  }
  if (size_ > 0 && at != size_) return fail("read", source_, "it changed during the copy");
  endProgress();
  return 0;
}

// Passes over a hole: a move in a new file, zeros written elsewhere.
bool Copy::skip(long long count) {
  if (count <= 0) return true;
  if (keepHoles_) {
    writeStream_.seekp(count, std::ios::cur);
  } else {
    std::fill(block_.begin(), block_.end(), '\0');
    for (long long left = count; left > 0 && writeBuffer_.error() == 0; left -= kBlockBytes)
      out_.write(block_.data(), static_cast<int>(std::min<long long>(kBlockBytes, left)));
  }
  return writeBuffer_.error() == 0;
}

// Redraws the bar only when the percentage moves, so that a fast copy does
// not spend its time on the terminal.
void Copy::showProgress(long long done) {
  if (size_ < kProgressFrom || !isTerminal(kStandardError)) return;
  const int percent = static_cast<int>(std::min(done, size_) * 100 / size_);
  if (percent == shownPercent) return;
  shownPercent = percent;
  const int filled = percent * kBarWidth / 100;
  std::fprintf(stderr, "\r[%s%*s] %3d%%", std::string(filled, '#').c_str(), kBarWidth - filled,
               "", percent);
}

}  // namespace

int runCopy(int argc, char** argv) {
  Args operands;
  const int status = readOperands(argc, argv, kUsage, {"SOURCE", "DEST"}, &operands);
  if (status != kGoOn) return status;
  const std::string& source = operands[0];
  const std::string& dest = operands[1];

  Way way;
  std::string target;
  if (const int refused = examine(dest, &way, &target)) return refused;
  std::error_code error;
  if (fs::equivalent(source, dest, error)) return fail("copy to", dest, "it is the source itself");
  errno = 0;
  const OpenFile in{openForReading(source.c_str())};
  if (in.fd < 0) return fail("read", source, reason(errno));
  if (way == Way::kInPlace) {
    errno = 0;
    const OpenFile out{openInPlace(target.c_str())};
    if (out.fd < 0) return fail("write", dest, reason(errno));
    return Copy(source, dest, in.fd, out.fd, false).run();
  }
  ReplacementFile replacement(target);
  if (replacement.fd() < 0) return fail("create a new file beside", dest, replacement.why());
  if (const int failure = Copy(source, dest, in.fd, replacement.fd(), true).run()) return failure;
  if (!replacement.commit(in.fd)) return fail("write", dest, replacement.why());
  return 0;
}

}  // namespace quire_tool
