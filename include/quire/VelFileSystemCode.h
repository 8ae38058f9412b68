#ifndef QUIRE_VELFILESYSTEMCODE_H_
#define QUIRE_VELFILESYSTEMCODE_H_

#include "quire/export.h"

namespace Quire {

// File system conventions, each a distinct bit.
class QUIRE_EXPORT VelFileSystemCode {
 public:
  VelFileSystemCode();
  ~VelFileSystemCode();
  VelFileSystemCode& operator=(const VelFileSystemCode& other);

  static int FILE();
  static int MAC();
  static int DOS();
  static int UNIX();
};

}  // namespace Quire

#endif  // QUIRE_VELFILESYSTEMCODE_H_
