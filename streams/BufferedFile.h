#ifndef QUIRE_STREAMS_BUFFEREDFILE_H_
#define QUIRE_STREAMS_BUFFEREDFILE_H_

#include <cstdio>
#include <ios>
#include <memory>

namespace Quire {

// A file stream that has its buffer before it opens the file. libstdc++'s
// filebuf allocates its own only after opening, when an output file has
// already been created or emptied; here nothing can fail once it is.
template <typename FileStream>
class BufferedFile : public FileStream {
 public:
  BufferedFile(const char* path, std::ios::openmode mode) : buffer_(new char[BUFSIZ]) {
    this->rdbuf()->pubsetbuf(buffer_.get(), BUFSIZ);
    this->open(path, mode);
  }
  // Flushes and closes while the buffer is still there.
  ~BufferedFile() override { this->rdbuf()->close(); }

 private:
  std::unique_ptr<char[]> buffer_;
};

}  // namespace Quire

#endif  // QUIRE_STREAMS_BUFFEREDFILE_H_
