#ifndef QUIRE_VELFILESYSTEMCODE_H_
#define QUIRE_VELFILESYSTEMCODE_H_

#include "quire/export.h"

namespace Quire {

/// Codes named after file system conventions, each a distinct bit. The
/// library attaches no behaviour to them.
///
/// Threads: every function returns a constant and may be called anywhere.
class QUIRE_EXPORT VelFileSystemCode {
 public:
  /// Does nothing: the class has no data.
  VelFileSystemCode();
  ~VelFileSystemCode();
  /// Does nothing: the class has no data.
  /// \param other not read.
  /// \return this object.
  VelFileSystemCode& operator=(const VelFileSystemCode& other);

  /// \return 1.
  static int FILE();
  /// \return 2.
  static int MAC();
  /// \return 4.
  static int DOS();
  /// \return 8.
  static int UNIX();
};

}  // namespace Quire

#endif  // QUIRE_VELFILESYSTEMCODE_H_
