#ifndef QUIRE_TOOLS_DESCRIPTORBUFFER_H_
#define QUIRE_TOOLS_DESCRIPTORBUFFER_H_

#include <streambuf>

namespace quire_tool {

// A stream buffer on a descriptor that the tool opened, so that the stream
// parameters can read and write any kind of file through it: a block read
// or write is one loop of system calls, with no buffer in between. It keeps
// the reason of its first failure, which the streams above it drop.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd) {}

  // errno of the first failure; 0 while there was none.
  int error() const { return error_; }

 protected:
  // Reads until count bytes or the end.
  std::streamsize xsgetn(char* bytes, std::streamsize count) override;
  std::streamsize xsputn(const char* bytes, std::streamsize count) override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                   std::ios_base::openmode) override;

 private:
  void keepError();

  const int fd_;
  int error_ = 0;
};

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_DESCRIPTORBUFFER_H_
