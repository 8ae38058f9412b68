#include "tools/ToolPlatform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace quire_tool {
namespace {

// Read by the signal handler, so plain storage set before it is armed.
char temporaryPath[MAX_PATH * 4];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void removeTemporaryAndStop(int signal) {
  if (haveTemporary != 0) std::remove(temporaryPath);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

unsigned chunk(std::size_t size) { return static_cast<unsigned>(size < INT_MAX ? size : INT_MAX); }

}  // namespace

void prepareProcess() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

long readSome(int fd, char* buffer, std::size_t size) { return _read(fd, buffer, chunk(size)); }

bool writeAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const int put = _write(fd, bytes, chunk(count));
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<std::size_t>(put);
  }
  return true;
}

long long seekFile(int fd, long long offset, int whence) { return _lseeki64(fd, offset, whence); }
int openForReading(const char* path) { return _open(path, _O_RDONLY | _O_BINARY); }
int openInPlace(const char* path) { return _open(path, _O_WRONLY | _O_BINARY); }
void closeFile(int fd) { _close(fd); }
bool isTerminal(int fd) { return _isatty(fd) != 0; }
bool canWrite(const char* path) { return _access(path, 2) == 0; }

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

long long regularFileSize(int fd) {
  struct _stat64 facts;
  return _fstat64(fd, &facts) == 0 && (facts.st_mode & _S_IFREG) != 0 ? facts.st_size : -1;
}

// No holes to find: everything is data.
long long findData(int, long long offset, long long* end) {
  *end = LLONG_MAX;
  return offset;
}

// Windows has no SIGHUP, and no anonymous file.
int createTemporary(const std::string& target, std::string* path) {
  const std::string directory = std::filesystem::path(target).parent_path().string();
  const std::string name = (directory.empty() ? "." : directory) + "/.quire-XXXXXX";
  if (name.size() >= sizeof temporaryPath) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(temporaryPath, name.c_str(), name.size() + 1);
  if (_mktemp_s(temporaryPath, name.size() + 1) != 0) return -1;
  const int fd = _open(temporaryPath, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                       _S_IREAD | _S_IWRITE);
  if (fd < 0) return -1;
  haveTemporary = 1;
  std::signal(SIGINT, removeTemporaryAndStop);
  std::signal(SIGTERM, removeTemporaryAndStop);
  *path = temporaryPath;
  return fd;
}

// A new file's read-only flag is the only mode a descriptor could take.
void takeAttributes(int, const std::string&, int) {}

bool syncFile(int fd) { return _commit(fd) == 0; }
bool setFileSize(int fd, long long size) { return _chsize_s(fd, size) == 0; }

// An open file cannot be renamed on Windows: it is closed first.
bool moveIntoPlace(int fd, const std::string& path, const std::string& target) {
  _close(fd);
  std::error_code error;
  std::filesystem::rename(path, target, error);  // replaces an existing target in one step
  if (error) {
    errno = error.default_error_condition().value();
    return false;
  }
  haveTemporary = 0;
  return true;
}

void removeTemporary(int fd, const std::string& path) {
  if (fd >= 0) _close(fd);
  std::remove(path.c_str());
  haveTemporary = 0;
}

}  // namespace quire_tool
