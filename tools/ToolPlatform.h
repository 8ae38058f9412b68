#ifndef QUIRE_TOOLS_TOOLPLATFORM_H_
#define QUIRE_TOOLS_TOOLPLATFORM_H_

#include <cstddef>
#include <string>

// The few system calls that the tool makes beyond standard C++, with a
// POSIX and a Windows side. Failures leave their reason in errno.
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
int openForReading(const char* path);
void closeFile(int fd);
bool isTerminal(int fd);
// Whether both descriptors reach one regular file.
bool sameRegularFile(int fd, int other);

// Creates a new empty file in target's directory, with the permissions that
// target has or that a new file would get, and returns its descriptor (-1
// on failure). Until forgetTemporary, SIGINT, SIGTERM and SIGHUP remove it
// before they end the process.
int createTemporaryBeside(const std::string& target, std::string* path);
void forgetTemporary();
// Puts the file's written bytes on the disk.
bool syncFile(int fd);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_TOOLPLATFORM_H_
