#ifndef QUIRE_VELPARAMSTRING_H_
#define QUIRE_VELPARAMSTRING_H_

#include <string>

#include "quire/export.h"

/// The toolkit's value types and free functions.
namespace Quire {

/// Text held at once as multibyte bytes and as UCS-2 units.
///
/// The narrow form is in the multibyte encoding that the environment names
/// when the text is assigned (`VEL30_MBCS_ENCODING`, else `LANG`, else
/// WINDOWS31J); the wide form is UCS-2 in the processor's byte order, with
/// characters beyond the BMP as UTF-16 surrogate pairs. Assigning either form
/// converts it into the other at once, so every accessor is a plain read.
/// Copying converts nothing and keeps both forms as they stand, also after
/// the environment has changed.
///
/// Conversion never fails loudly: bytes that do not decode become U+FFFD, a
/// character that the encoding cannot hold becomes "?", and a null pointer
/// counts as empty text. Neither form ever holds a zero inside the text.
///
/// Threads: distinct objects are independent; one object must not be
/// changed by two threads at once, nor read while another thread changes it.
class QUIRE_EXPORT VelParamString {
 public:
  /// Both forms empty.
  VelParamString();
  /// As `operator=(const char*)` on an empty string.
  /// \param s zero-terminated multibyte text, or null for empty text.
  VelParamString(const char* s);
  /// As `operator=(const unsigned short*)` on an empty string.
  /// \param s zero-terminated UCS-2 text, or null for empty text.
  VelParamString(const unsigned short* s);
  /// Both forms of \p other as they stand; nothing is converted.
  /// \param other the string to copy.
  VelParamString(const VelParamString& other);
  ~VelParamString();

  /// Copies both forms as they stand: nothing is converted and the
  /// environment is not read. Self-assignment changes nothing.
  /// \param other the string to copy.
  /// \return this object.
  VelParamString& operator=(const VelParamString& other);
  /// Stores \p s as the narrow form and converts it into the wide form in
  /// the encoding chosen now.
  /// \param s zero-terminated multibyte text, or null for empty text.
  /// \return this object.
  VelParamString& operator=(const char* s);
  /// Stores \p s as the wide form and converts it into the narrow form in
  /// the encoding chosen now.
  /// \param s zero-terminated UCS-2 text, or null for empty text.
  /// \return this object.
  VelParamString& operator=(const unsigned short* s);

  /// \return the number of UCS-2 units when the wide form is not empty, else
  ///         the number of narrow bytes (0 for empty text).
  int length() const;
  /// \return the length of the narrow form in bytes.
  int cstr_length() const;
  /// \return the length of the wide form in 16-bit units.
  int wstr_length() const;
  /// \return the narrow form, zero-terminated, never null; valid until the
  ///         next assignment to, or the destruction of, this object.
  const char* c_str() const;
  /// \return the wide form, terminated by a zero unit, never null; valid
  ///         until the next assignment to, or the destruction of, this object.
  const unsigned short* w_str() const;

  /// Compares the narrow form, byte by byte as unsigned values, with \p s.
  /// \param s zero-terminated multibyte text, or null for empty text.
  /// \return negative, zero or positive as the narrow form orders before,
  ///         equal to or after \p s.
  int compare(const char* s);
  /// Compares the wide form, unit by unit, with \p s.
  /// \param s zero-terminated UCS-2 text, or null for empty text.
  /// \return negative, zero or positive as the wide form orders before,
  ///         equal to or after \p s.
  int compare(const unsigned short* s);

 private:
  std::string mbcsText;
  std::basic_string<unsigned short> ucs2Text;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMSTRING_H_
