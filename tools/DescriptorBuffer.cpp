#include "tools/DescriptorBuffer.h"

#include <cerrno>
#include <cstdio>

#include "tools/ToolPlatform.h"

namespace quire_tool {

void DescriptorBuffer::keepError() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

std::streamsize DescriptorBuffer::xsgetn(char* bytes, std::streamsize count) {
  std::streamsize got = 0;
  while (got < count) {
    errno = 0;
    const long some = readSome(fd_, bytes + got, static_cast<std::size_t>(count - got));
    if (some < 0) keepError();
    if (some <= 0) break;
    got += some;
  }
  return got;
}

std::streamsize DescriptorBuffer::xsputn(const char* bytes, std::streamsize count) {
  errno = 0;
  if (writeAll(fd_, bytes, static_cast<std::size_t>(count))) return count;
  keepError();
  return 0;
}

DescriptorBuffer::pos_type DescriptorBuffer::seekoff(off_type offset,
                                                     std::ios_base::seekdir direction,
                                                     std::ios_base::openmode) {
  const int whence = direction == std::ios_base::beg   ? SEEK_SET
                     : direction == std::ios_base::cur ? SEEK_CUR
                                                       : SEEK_END;
  errno = 0;
  const long long position = seekFile(fd_, offset, whence);
  if (position < 0) keepError();
  return pos_type(off_type(position));
}

}  // namespace quire_tool
