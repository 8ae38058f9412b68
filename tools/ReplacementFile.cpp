#include "tools/ReplacementFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tools/ToolPlatform.h"

namespace quire_tool {

ReplacementFile::ReplacementFile(const std::string& target)
    : target_(target), fd_(createTemporaryBeside(target, &path_)) {
  if (fd_ < 0) why_ = std::strerror(errno);
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) closeFile(fd_);
  if (!committed_ && !path_.empty()) std::remove(path_.c_str());
  forgetTemporary();
}

bool ReplacementFile::commit() {
  if (!syncFile(fd_)) {
    why_ = std::strerror(errno);
    return false;
  }
  closeFile(fd_);
  fd_ = -1;
  // Replaces an existing target in one step, on Windows as well.
  std::error_code error;
  std::filesystem::rename(path_, target_, error);
  if (error) {
    why_ = error.message();
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace quire_tool
