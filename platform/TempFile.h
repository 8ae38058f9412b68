#ifndef QUIRE_PLATFORM_TEMPFILE_H_
#define QUIRE_PLATFORM_TEMPFILE_H_

namespace platform {

// Deletes a file of the current directory by its relative name. Windows does
// it with "del NAME" through the command interpreter; POSIX has no del, so
// the file is unlinked directly, without a shell. Never removes a directory.
void deleteTempFile(const char* name);

}  // namespace platform

#endif  // QUIRE_PLATFORM_TEMPFILE_H_
