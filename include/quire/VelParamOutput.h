#ifndef QUIRE_VELPARAMOUTPUT_H_
#define QUIRE_VELPARAMOUTPUT_H_

#include <ostream>

#include "quire/VelParamStream.h"
#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// A destination for bytes: a file that the library creates, or a caller's
// stream labelled with a path. A created file is removed when an output
// holding it is destroyed while the remove flag, shared by every copy, is
// still set; setRemoveFlag(0) keeps it.
class QUIRE_EXPORT VelParamOutput : public VelParamStream {
 public:
  VelParamOutput();
  VelParamOutput(const VelParamString& path);
  // The stream stays the caller's: it is never closed or deleted here.
  VelParamOutput(const VelParamString& path, const std::ostream* stream);
  VelParamOutput(const VelParamOutput& other);
  ~VelParamOutput();
  VelParamOutput& operator=(const VelParamOutput& other);

  void setRemoveFlag(unsigned char flag);
  // Without a holder these return a shared empty path and a stream that
  // always fails.
  VelParamString& getPath() const;
  std::ostream& getStream() const;

  int read(char* buffer, int count) override;
  int write(char* buffer, int count) override;
  long seekoff(long offset, int direction, int mode) override;

 private:
  int handle;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMOUTPUT_H_
