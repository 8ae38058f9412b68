#include "tools/Output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quire_tool {
namespace {

constexpr std::size_t kBufferBytes = 1 << 16;
int firstError = 0;

void keepError() {
  // A failure that left no reason still fails.
  if (firstError == 0) firstError = errno != 0 ? errno : EIO;
}

}  // namespace

void startOutput() { std::setvbuf(stdout, nullptr, _IOFBF, kBufferBytes); }

bool writeOutput(const char* bytes, std::size_t count) {
  if (firstError != 0) return false;
  errno = 0;
  if (std::fwrite(bytes, 1, count, stdout) == count && std::fflush(stdout) == 0) return true;
  keepError();
  return false;
}

int finishOutput(int status) {
  errno = 0;
  if (firstError == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) keepError();
  if (firstError == 0) return status;
  std::fprintf(stderr, "quire: cannot write standard output: %s\n", std::strerror(firstError));
  return 1;
}

}  // namespace quire_tool
