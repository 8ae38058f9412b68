#ifndef QUIRE_VELPARAMSTREAM_H_
#define QUIRE_VELPARAMSTREAM_H_

#include "quire/export.h"

namespace Quire {

// What a consumer reads from or writes to, whether a file named by a path or
// a caller's own stream. The flags record what was known at construction.
// None of the three operations throws; every failure gives -1.
class QUIRE_EXPORT VelParamStream {
 public:
  VelParamStream();
  VelParamStream(const VelParamStream& other);
  VelParamStream& operator=(const VelParamStream& other);

  bool canRead() const;
  bool canWrite() const;

  virtual int read(char* buffer, int count) = 0;
  virtual int write(char* buffer, int count) = 0;
  // direction: 0 from the beginning, 1 from the current position, 2 from
  // the end. The third argument is not read.
  virtual long seekoff(long offset, int direction, int mode) = 0;

 protected:
  // Not virtual: a parameter is always destroyed as its own class.
  ~VelParamStream() = default;

  bool readable;
  bool writable;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMSTREAM_H_
