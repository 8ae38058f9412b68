#ifndef QUIRE_VELPARAMSTRING_H_
#define QUIRE_VELPARAMSTRING_H_

#include <string>

#include "quire/export.h"

namespace Quire {

// Text held at once as multibyte bytes, in the encoding that the environment
// chooses at assignment time, and as UCS-2 units in the processor's byte
// order. Assigning either form converts it into the other straight away, so
// both accessors are plain reads. A null pointer counts as empty text.
class QUIRE_EXPORT VelParamString {
 public:
  VelParamString();
  VelParamString(const char* s);
  VelParamString(const unsigned short* s);
  VelParamString(const VelParamString& other);
  ~VelParamString();

  // Copies both forms as they stand: nothing is converted.
  VelParamString& operator=(const VelParamString& other);
  VelParamString& operator=(const char* s);
  VelParamString& operator=(const unsigned short* s);

  // Units of the wide form when there are any, else bytes of the narrow form.
  int length() const;
  int cstr_length() const;
  int wstr_length() const;
  const char* c_str() const;
  const unsigned short* w_str() const;

  // Unsigned, unit by unit comparison of one form with a terminated text.
  int compare(const char* s);
  int compare(const unsigned short* s);

 private:
  std::string mbcsText;
  std::basic_string<unsigned short> ucs2Text;
};

}  // namespace Quire

#endif  // QUIRE_VELPARAMSTRING_H_
