#ifndef QUIRE_VELPARAMSTREAM_H_
#define QUIRE_VELPARAMSTREAM_H_

#include "quire/export.h"

namespace Quire {

/// What a consumer reads from or writes to: a file named by a path, or a
/// caller's own stream. Objects exist only as VelParamInput or VelParamOutput.
///
/// The two flags record what was known at construction (a file that opened,
/// or the direction of a caller's stream), not the stream's live state, and
/// travel with copies. None of the three operations throws: every failure,
/// an exception from the underlying stream included, gives -1. An operation
/// that a class does not support (writing an input; reading or positioning
/// an output) always gives -1.
///
/// Threads: the flags are set at construction and only read afterwards; what
/// the derived classes say of their streams holds.
class QUIRE_EXPORT VelParamStream {
 public:
  /// Both flags false.
  VelParamStream();
  /// Copies both flags.
  /// \param other the parameter whose flags are copied.
  VelParamStream(const VelParamStream& other);
  /// Copies both flags.
  /// \param other the parameter whose flags are copied.
  /// \return this object.
  VelParamStream& operator=(const VelParamStream& other);

  /// \return true when the object was built on a file that opened for
  ///         reading, or on a caller's input stream.
  bool canRead() const;
  /// \return true when the object was built on a file that was created for
  ///         writing, or on a caller's output stream.
  bool canWrite() const;

  /// Reads up to \p count bytes.
  /// \param buffer room for at least \p count bytes.
  /// \param count the number of bytes wanted.
  /// \return the number of bytes placed in \p buffer (more than 0), or -1.
  virtual int read(char* buffer, int count) = 0;
  /// Writes \p count bytes.
  /// \param buffer the bytes to write.
  /// \param count their number.
  /// \return the number of bytes handed to the stream (more than 0), or -1.
  virtual int write(char* buffer, int count) = 0;
  /// Moves the read position.
  /// \param offset bytes to move.
  /// \param direction 0 from the beginning, 1 from the current position,
  ///        2 from the end; any other value moves nothing.
  /// \param mode not read.
  /// \return the position after the move, in bytes from the beginning, or -1.
  virtual long seekoff(long offset, int direction, int mode) = 0;

 protected:
  /// Not virtual: a parameter is always destroyed as its own class.
  ~VelParamStream() = default;

  bool readable;  ///< What canRead() returns.
  bool writable;  ///< What canWrite() returns.
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMSTREAM_H_
