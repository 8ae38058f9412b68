#ifndef QUIRE_PDFSTRINGTEXT_H_
#define QUIRE_PDFSTRINGTEXT_H_

#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// Text of a PDF string object. For anything that is not a PDF string,
// getMBCstring leaves result as it was; getUNICODEstring empties it.

// Led by the multibyte form: what the current encoding cannot hold is lost in
// both forms.
QUIRE_EXPORT void getMBCstring(void* object, VelParamString& result);
// Led by the UCS-2 form, which keeps the string's text whole.
QUIRE_EXPORT void getUNICODEstring(void* object, VelParamString& result);

}  // namespace Quire

#endif  // QUIRE_PDFSTRINGTEXT_H_
