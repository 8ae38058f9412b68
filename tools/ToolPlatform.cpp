#include "tools/ToolPlatform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quire_tool {
namespace {

// Read by the signal handler, so plain storage set before it is armed.
char temporaryPath[4096];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void removeTemporaryAndStop(int signal) {
#if defined(_WIN32)
  if (haveTemporary != 0) std::remove(temporaryPath);
#else
  if (haveTemporary != 0) ::unlink(temporaryPath);  // unlink, unlike remove, is safe here
#endif
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

std::string temporaryTemplate(const std::string& target) {
  return (std::filesystem::path(target).parent_path() / ".quire-XXXXXX").string();
}

}  // namespace

#if defined(_WIN32)

void prepareProcess() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

long readSome(int fd, char* buffer, std::size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

int openForReading(const char* path) { return _open(path, _O_RDONLY | _O_BINARY); }
void closeFile(int fd) { _close(fd); }
bool isTerminal(int fd) { return _isatty(fd) != 0; }

// A file's identity is its volume and index; _fstat has no inode number.
bool sameRegularFile(int fd, int other) {
  BY_HANDLE_FILE_INFORMATION a, b;
  const HANDLE first = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  const HANDLE second = reinterpret_cast<HANDLE>(_get_osfhandle(other));
  return GetFileType(first) == FILE_TYPE_DISK && GetFileInformationByHandle(first, &a) &&
         GetFileInformationByHandle(second, &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
         a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// Windows has no SIGHUP, and no descriptor takes a mode beyond read-only.
int createTemporaryBeside(const std::string& target, std::string* path) {
  const std::string name = temporaryTemplate(target);
  if (name.size() >= sizeof temporaryPath) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(temporaryPath, name.c_str(), name.size() + 1);
  if (_mktemp_s(temporaryPath, name.size() + 1) != 0) return -1;
  const int fd = _open(temporaryPath, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY,
                       _S_IREAD | _S_IWRITE);
  if (fd < 0) return -1;
  haveTemporary = 1;
  std::signal(SIGINT, removeTemporaryAndStop);
  std::signal(SIGTERM, removeTemporaryAndStop);
  *path = temporaryPath;
  return fd;
}

bool syncFile(int fd) { return _commit(fd) == 0; }

#else

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

int openForReading(const char* path) { return ::open(path, O_RDONLY | O_CLOEXEC); }
void closeFile(int fd) { ::close(fd); }
bool isTerminal(int fd) { return ::isatty(fd) == 1; }

bool sameRegularFile(int fd, int other) {
  struct stat a, b;
  return ::fstat(fd, &a) == 0 && ::fstat(other, &b) == 0 && S_ISREG(a.st_mode) &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int createTemporaryBeside(const std::string& target, std::string* path) {
  const std::string name = temporaryTemplate(target);
  if (name.size() >= sizeof temporaryPath) {
    errno = ENAMETOOLONG;
    return -1;
  }
  // The signals wait until the handler knows the file that it must remove.
  sigset_t stopping, old;
  sigemptyset(&stopping);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stopping, s);
  sigprocmask(SIG_BLOCK, &stopping, &old);
  std::memcpy(temporaryPath, name.c_str(), name.size() + 1);
  const int fd = ::mkstemp(temporaryPath);
  const int error = errno;
  if (fd >= 0) {
    haveTemporary = 1;
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
      // A signal that the caller chose to ignore, as nohup does, stays ignored.
      struct sigaction action, before;
      std::memset(&action, 0, sizeof action);
      action.sa_handler = removeTemporaryAndStop;
      sigaction(s, nullptr, &before);
      if (before.sa_handler != SIG_IGN) sigaction(s, &action, nullptr);
    }
    struct stat existing;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd, ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777
                                                               : 0666 & ~mask);
    *path = temporaryPath;
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  errno = error;
  return fd;
}

bool syncFile(int fd) { return ::fsync(fd) == 0; }

#endif

void forgetTemporary() { haveTemporary = 0; }

}  // namespace quire_tool
