#include "tools/ToolPlatform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quire_tool {
namespace {

// Read by the signal handler, so plain storage set before it is armed.
char temporaryPath[4096];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void removeTemporaryAndStop(int signal) {
  if (haveTemporary != 0) ::unlink(temporaryPath);  // unlink, unlike remove, is safe here
  std::signal(signal, SIG_DFL);
  std::raise(signal);  // delivered, now by default, once the handler returns
}

// Signals whose default action does not end the process, or that cannot be
// caught; SIGXFSZ is ignored while a temporary exists.
constexpr int kSparedSignals[] = {SIGKILL, SIGSTOP, SIGCHLD, SIGCONT, SIGURG, SIGWINCH,
                                  SIGTSTP, SIGTTIN, SIGTTOU, SIGXFSZ};

void removeOnSignals() {
  static bool armed = false;
  if (armed) return;
  armed = true;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = removeTemporaryAndStop;
  sigfillset(&action.sa_mask);
  for (int s = 1; s < NSIG; ++s) {
    if (std::find(std::begin(kSparedSignals), std::end(kSparedSignals), s) !=
        std::end(kSparedSignals))
      continue;
    // A signal that the caller ignores, as nohup does, stays ignored, and one
    // with a handler (a sanitizer's) keeps it.
    struct sigaction before;
    if (sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_DFL)
      sigaction(s, &action, nullptr);
  }
}

void holdSignals(sigset_t* old) {
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, old);
}

std::string directoryOf(const std::string& target) {
  const std::string directory = std::filesystem::path(target).parent_path().string();
  return directory.empty() ? "." : directory;
}

// Links an anonymous file to a new hidden name beside target.
bool nameAnonymous(int fd, const std::string& target, std::string* name) {
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const std::string stem = directoryOf(target) + "/.quire-" + std::to_string(::getpid()) + "-";
  for (int n = 0; n < 100; ++n) {
    *name = stem + std::to_string(n);
    if (::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, name->c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

void prepareProcess() {
  // Opened in the direction that the descriptor is never used in, so that
  // every use fails with EBADF as it would on the closed descriptor.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
      (void)::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
  }
}

long readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

bool writeAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t put = ::write(fd, bytes, count);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

long long seekFile(int fd, long long offset, int whence) { return ::lseek(fd, offset, whence); }
int openForReading(const char* path) { return ::open(path, O_RDONLY | O_CLOEXEC); }
int openInPlace(const char* path) { return ::open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC); }
void closeFile(int fd) { ::close(fd); }
bool isTerminal(int fd) { return ::isatty(fd) == 1; }
bool canWrite(const char* path) { return ::access(path, W_OK) == 0; }

bool sameRegularFile(int fd, int other) {
  struct stat a, b;
  return ::fstat(fd, &a) == 0 && ::fstat(other, &b) == 0 && S_ISREG(a.st_mode) &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

long long regularFileSize(int fd) {
  struct stat facts;
  return ::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) ? facts.st_size : -1;
}

long long findData(int fd, long long offset, long long* end) {
  *end = LLONG_MAX;
  const off_t data = ::lseek(fd, offset, SEEK_DATA);
  if (data < 0) return errno == ENXIO ? -1 : offset;
  const off_t hole = ::lseek(fd, data, SEEK_HOLE);
  if (hole >= 0) *end = hole;
  return data;
}

int createTemporary(const std::string& target, std::string* path) {
  // A write past the file size limit then fails with EFBIG, which the copy
  // reports, instead of ending the process without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::string directory = directoryOf(target);
  path->clear();
#if defined(O_TMPFILE)
  // Anonymous until moveIntoPlace names it through /proc: no signal, not even
  // SIGKILL, leaves it behind.
  if (::access("/proc/self/fd", X_OK) == 0) {
    const int fd = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
  }
#endif
  const std::string name = directory + "/.quire-XXXXXX";
  if (name.size() >= sizeof temporaryPath) {
    errno = ENAMETOOLONG;
    return -1;
  }
  // The signals wait until the handler knows the file that it must remove.
  sigset_t old;
  holdSignals(&old);
  std::memcpy(temporaryPath, name.c_str(), name.size() + 1);
  const int fd = ::mkostemp(temporaryPath, O_CLOEXEC);
  const int error = errno;
  if (fd >= 0) {
    haveTemporary = 1;
    removeOnSignals();
    *path = temporaryPath;
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  errno = error;
  return fd;
}

void takeAttributes(int fd, const std::string& target, int sourceFd) {
  struct stat old;
  if (::stat(target.c_str(), &old) != 0) {
    struct stat source;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fstat(sourceFd, &source) == 0) (void)::fchmod(fd, source.st_mode & 0777 & ~mask);
    return;
  }
  // Owner and group first, as a change of either clears setuid and setgid;
  // the bit of one that could not be kept stays off.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0)
    (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  struct stat now;
  const bool known = ::fstat(fd, &now) == 0;
  mode_t mode = old.st_mode & 07777;
  if (!known || now.st_uid != old.st_uid) mode &= ~(S_ISUID | S_ISGID);
  if (!known || now.st_gid != old.st_gid) mode &= ~S_ISGID;
  (void)::fchmod(fd, mode);
}

bool syncFile(int fd) { return ::fsync(fd) == 0; }
bool setFileSize(int fd, long long size) { return ::ftruncate(fd, size) == 0; }

bool moveIntoPlace(int fd, const std::string& path, const std::string& target) {
  sigset_t old;
  holdSignals(&old);
  std::string name = path;
  const bool named = !name.empty() || nameAnonymous(fd, target, &name);
  const bool moved = named && ::rename(name.c_str(), target.c_str()) == 0;
  const int error = errno;
  if (moved)
    haveTemporary = 0;
  else if (named && path.empty())
    ::unlink(name.c_str());  // the name given here; a named temporary's owner removes it
  ::close(fd);
  sigprocmask(SIG_SETMASK, &old, nullptr);
  errno = error;
  return moved;
}

void removeTemporary(int fd, const std::string& path) {
  if (fd >= 0) ::close(fd);
  if (path.empty()) return;
  sigset_t old;
  holdSignals(&old);
  ::unlink(path.c_str());
  haveTemporary = 0;
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace quire_tool
