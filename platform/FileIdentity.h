#ifndef QUIRE_PLATFORM_FILEIDENTITY_H_
#define QUIRE_PLATFORM_FILEIDENTITY_H_

#include <cstdint>

namespace platform {

// Which regular file a path named at one moment (device and inode). A path
// that names anything else, a link included, has no identity.
struct FileIdentity {
  bool known = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

FileIdentity identifyRegularFile(const char* path);

// Removes path only when it still names the very regular file of identity.
// Returns whether it removed it.
bool removeIfSameFile(const char* path, const FileIdentity& identity);

}  // namespace platform

#endif  // QUIRE_PLATFORM_FILEIDENTITY_H_
