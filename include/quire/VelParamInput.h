#ifndef QUIRE_VELPARAMINPUT_H_
#define QUIRE_VELPARAMINPUT_H_

#include <istream>

#include "quire/VelParamStream.h"
#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

/// A source of bytes: a file that the library opens by path, or a caller's
/// stream labelled with a path.
///
/// The object holds only its flags and a handle into the library's registry,
/// where its path and stream live. Copies share them: every copy reads from
/// one stream at one position, and a file that the library opened stays open
/// until the last copy is gone. A stream that the caller supplied is never
/// closed or deleted by the library.
///
/// Threads: registry access is locked inside the library, so copies may be
/// made, passed and destroyed in any thread; reading and seeking are not
/// locked, so a caller that reads one stream through copies in several
/// threads serialises those calls itself.
class QUIRE_EXPORT VelParamInput : public VelParamStream {
 public:
  /// No holder: both flags false, every operation gives -1.
  VelParamInput();
  /// Opens the file named by the narrow form of \p path for binary reading.
  /// A file that cannot be opened throws nothing: canRead() is false and
  /// read() and seekoff() give -1.
  /// \param path the file's path.
  VelParamInput(const VelParamString& path);
  /// Wraps the caller's stream; canRead() is true whatever its state.
  /// \param path a label, neither opened nor tested.
  /// \param stream the caller's stream, never closed or deleted here; null
  ///        makes read() and seekoff() give -1.
  VelParamInput(const VelParamString& path, const std::istream* stream);
  /// Shares the holder of \p other, and so its stream and position.
  /// \param other the input to share.
  VelParamInput(const VelParamInput& other);
  /// Gives up this copy's share; the last one closes a file that the library
  /// opened.
  ~VelParamInput();
  /// Gives up this object's holder and shares that of \p other.
  /// \param other the input to share.
  /// \return this object.
  VelParamInput& operator=(const VelParamInput& other);

  /// \return the holder's path, changeable, seen by every copy. Without a
  ///         holder: a shared empty path.
  VelParamString& getPath() const;
  /// \return the stream that is read: the file stream that the library
  ///         opened, or the caller's. Without one: a stream that always fails.
  std::istream& getStream() const;

  /// Zero-fills the first \p count bytes of \p buffer, then reads up to
  /// \p count bytes and clears the stream's state, so that reaching the end
  /// blocks no later read or move.
  /// \param buffer room for at least \p count bytes.
  /// \param count the number of bytes wanted.
  /// \return the number of bytes read (more than 0), or -1 at the end, for a
  ///         count of 0, without a stream or on a stream error.
  int read(char* buffer, int count) override;
  /// An input is not written.
  /// \param buffer not touched.
  /// \param count not read.
  /// \return -1.
  int write(char* buffer, int count) override;
  /// Moves the read position, unless \p offset is 0 and \p direction 1, which
  /// only reports it.
  /// \param offset bytes to move.
  /// \param direction 0 from the beginning, 1 from the current position, 2
  ///        from the end; any other value moves nothing.
  /// \param mode not read.
  /// \return the position afterwards, or -1 without a stream or on a stream
  ///         error.
  long seekoff(long offset, int direction, int mode) override;

 private:
  int handle;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMINPUT_H_
