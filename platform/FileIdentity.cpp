#include "platform/FileIdentity.h"

#include <cstdio>

#include <sys/stat.h>

namespace platform {

FileIdentity identifyRegularFile(const char* path) {
  FileIdentity identity;
  struct stat status;
  // lstat: a symbolic link is not what the library created, even when it
  // leads to a regular file.
  if (path != nullptr && ::lstat(path, &status) == 0 && S_ISREG(status.st_mode)) {
    identity.known = true;
    identity.device = static_cast<std::uint64_t>(status.st_dev);
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
  }
  return identity;
}

bool removeIfSameFile(const char* path, const FileIdentity& identity) {
  if (!identity.known) return false;
  const FileIdentity now = identifyRegularFile(path);
  if (!now.known || now.device != identity.device || now.inode != identity.inode)
    return false;
  return std::remove(path) == 0;
}

}  // namespace platform
