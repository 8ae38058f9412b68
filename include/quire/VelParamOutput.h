#ifndef QUIRE_VELPARAMOUTPUT_H_
#define QUIRE_VELPARAMOUTPUT_H_

#include <ostream>

#include "quire/VelParamStream.h"
#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

/// A destination for bytes: a file that the library creates by path, or a
/// caller's stream labelled with a path.
///
/// The object holds only its flags and a handle into the library's registry,
/// where its path, stream and remove flag live; copies share them. A file
/// that the library created is removed when an output holding it is
/// destroyed while the remove flag, set from the start, is still set;
/// setRemoveFlag(0) keeps it. Removal goes by name, with `remove` on the
/// path's narrow form, whatever that names then (a path changed through
/// getPath(), a link but not its target). A file that the output failed to
/// open is never removed, and only the first flagged destruction removes
/// anything. Assignment and the last release close the file and never
/// remove it. A stream that the caller supplied is never closed or deleted.
///
/// Threads: registry access is locked inside the library, so copies may be
/// made, passed and destroyed in any thread; writing is not locked, so a
/// caller that writes one stream through copies in several threads
/// serialises those calls itself.
class QUIRE_EXPORT VelParamOutput : public VelParamStream {
 public:
  /// No holder: both flags false, every operation gives -1.
  VelParamOutput();
  /// Creates, or empties, the file named by the narrow form of \p path for
  /// binary writing, at once. A file that cannot be created throws nothing:
  /// canWrite() is false.
  /// \param path the file's path.
  VelParamOutput(const VelParamString& path);
  /// Wraps the caller's stream; canWrite() is true whatever its state.
  /// \param path a label, neither opened nor tested.
  /// \param stream the caller's stream, never closed or deleted here; null
  ///        makes write() give -1.
  VelParamOutput(const VelParamString& path, const std::ostream* stream);
  /// Shares the holder of \p other: its stream and remove flag.
  /// \param other the output to share.
  VelParamOutput(const VelParamOutput& other);
  /// Removes a flagged file that the library created (closing it first),
  /// then gives up this copy's share; the last one closes the file.
  ~VelParamOutput();
  /// Gives up this object's holder, without removing anything, and shares
  /// that of \p other.
  /// \param other the output to share.
  /// \return this object.
  VelParamOutput& operator=(const VelParamOutput& other);

  /// Sets or clears the remove flag that every copy shares; without a holder
  /// does nothing.
  /// \param flag 0 keeps the file; any other value removes it at destruction.
  void setRemoveFlag(unsigned char flag);
  /// \return the holder's path, changeable, seen by every copy; it names the
  ///         file that a flagged destruction removes. Without a holder: a
  ///         shared empty path.
  VelParamString& getPath() const;
  /// \return the stream that is written: the file stream that the library
  ///         opened, or the caller's. Without one: a stream that always fails.
  std::ostream& getStream() const;

  /// An output is not read.
  /// \param buffer not touched.
  /// \param count not read.
  /// \return -1.
  int read(char* buffer, int count) override;
  /// Hands the bytes to the stream; nothing is flushed here. The stream's
  /// state is not consulted: a stream that fails quietly still took them.
  /// \param buffer the bytes to write.
  /// \param count their number.
  /// \return \p count, or -1 for a count of 0, without a stream or when the
  ///         stream throws.
  int write(char* buffer, int count) override;
  /// An output is not positioned.
  /// \param offset not read.
  /// \param direction not read.
  /// \param mode not read.
  /// \return -1.
  long seekoff(long offset, int direction, int mode) override;

 private:
  int handle;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMOUTPUT_H_
