#ifndef QUIRE_TOOLS_TOOLPLATFORM_H_
#define QUIRE_TOOLS_TOOLPLATFORM_H_

#include <cstddef>
#include <string>

// The few system calls that the tool makes beyond standard C++, with a
// POSIX side (ToolPlatform_posix.cpp) and a Windows side
// (ToolPlatform_win.cpp). Failures leave their reason in errno.
namespace quire_tool {

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Called first: a closed descriptor 0, 1 or 2 is held by an unusable one so
// that no file opened later takes its place.
void prepareProcess();

// What the descriptor has now, up to size bytes, without waiting for more;
// 0 at the end, -1 on failure.
long readSome(int fd, char* buffer, std::size_t size);
bool writeAll(int fd, const char* bytes, std::size_t count);
// Moves as lseek does (whence SEEK_SET, SEEK_CUR or SEEK_END); -1 on failure.
long long seekFile(int fd, long long offset, int whence);
int openForReading(const char* path);
// Opens an existing file for writing where it stands, never creating one.
int openInPlace(const char* path);
void closeFile(int fd);
bool isTerminal(int fd);
bool canWrite(const char* path);
// Whether both descriptors reach one regular file.
bool sameRegularFile(int fd, int other);
// The size of a regular file; -1 for anything else.
long long regularFileSize(int fd);
// Where the next data of a file starts at or after offset, with its end in
// *end; -1 when nothing but a hole follows. Where holes cannot be found,
// everything from offset on is data.
long long findData(int fd, long long offset, long long* end);

// A new file in target's directory, open for writing, that only its
// descriptor reaches: anonymous (path empty) where the file system allows,
// else under a new hidden name (in *path) that every signal that can be
// caught, and would end the process, removes first. -1 on failure.
int createTemporary(const std::string& target, std::string* path);
// Gives the new file what replacing target keeps: target's owner, group and
// mode, without setuid and setgid where its owner or group could not be
// kept; for a target that does not exist, the source's mode less the umask.
void takeAttributes(int fd, const std::string& target, int sourceFd);
bool syncFile(int fd);
bool setFileSize(int fd, long long size);
// Puts the new file in target's place in one step and closes it. The
// signals wait until it is done, so that none stops it half-way.
bool moveIntoPlace(int fd, const std::string& path, const std::string& target);
// Closes the new file and removes it.
void removeTemporary(int fd, const std::string& path);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_TOOLPLATFORM_H_
