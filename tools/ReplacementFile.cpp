#include "tools/ReplacementFile.h"

#include <cerrno>
#include <cstring>

#include "tools/ToolPlatform.h"

namespace quire_tool {

ReplacementFile::ReplacementFile(const std::string& target)
    : target_(target), fd_(createTemporary(target, &path_)) {
  if (fd_ < 0) failed();
}

ReplacementFile::~ReplacementFile() {
  if (!committed_) removeTemporary(fd_, path_);
}

bool ReplacementFile::failed() {
  why_ = std::strerror(errno);
  return false;
}

bool ReplacementFile::commit(int sourceFd) {
  takeAttributes(fd_, target_, sourceFd);
  if (!syncFile(fd_)) return failed();
  const int fd = fd_;
  fd_ = -1;  // closed by the move, whatever its outcome
  if (!moveIntoPlace(fd, path_, target_)) return failed();
  committed_ = true;
  return true;
}

}  // namespace quire_tool
