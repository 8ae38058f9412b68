#ifndef QUIRE_VELPARAMINPUT_H_
#define QUIRE_VELPARAMINPUT_H_

#include <istream>

#include "quire/VelParamStream.h"
#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// A source of bytes: a file that the library opens, or a caller's stream
// labelled with a path. Copies share one holder, and so one stream and one
// position; a file that the library opened stays open until the last copy is
// gone.
class QUIRE_EXPORT VelParamInput : public VelParamStream {
 public:
  VelParamInput();
  VelParamInput(const VelParamString& path);
  // The stream stays the caller's: it is never closed or deleted here.
  VelParamInput(const VelParamString& path, const std::istream* stream);
  VelParamInput(const VelParamInput& other);
  ~VelParamInput();
  VelParamInput& operator=(const VelParamInput& other);

  // Without a holder these return a shared empty path and a stream that
  // always fails.
  VelParamString& getPath() const;
  std::istream& getStream() const;

  int read(char* buffer, int count) override;
  int write(char* buffer, int count) override;
  long seekoff(long offset, int direction, int mode) override;

 private:
  int handle;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMINPUT_H_
