#ifndef QUIRE_PDFSTRINGTEXT_H_
#define QUIRE_PDFSTRINGTEXT_H_

#include "quire/VelParamString.h"
#include "quire/export.h"

namespace Quire {

// Threads: both functions take a reference on the PDF object for the length
// of the call and share nothing else; the same result string must not be
// filled by two threads at once.

/// Puts the text of a PDF string object into \p result, led by the multibyte
/// form: the text is encoded into the current multibyte encoding and the wide
/// form derived from those bytes, so what the encoding cannot hold is lost in
/// both forms.
/// \param object an object of the toolkit's PDF object library, or null; for
///        null or an object that is not a PDF string, \p result is left as
///        it was.
/// \param result receives the text.
QUIRE_EXPORT void getMBCstring(void* object, VelParamString& result);

/// Puts the text of a PDF string object into \p result, led by the UCS-2
/// form, which keeps the text whole; the narrow form is its conversion.
/// \param object an object of the toolkit's PDF object library, or null; for
///        null or an object that is not a PDF string, \p result is emptied.
/// \param result receives the text.
QUIRE_EXPORT void getUNICODEstring(void* object, VelParamString& result);

}  // namespace Quire

#endif  // QUIRE_PDFSTRINGTEXT_H_
