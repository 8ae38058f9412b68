#ifndef QUIRE_TEXT_PDFSTRINGREF_H_
#define QUIRE_TEXT_PDFSTRINGREF_H_

#include "platform/DocCore.h"

namespace Quire {

// One reference to a PDF string for the length of a scope, given back on
// every way out. Any other object, or null, is held as null and left alone.
class PDFStringRef {
 public:
  PDFStringRef(void* object, bool addRef) : string_(asString(object)) {
    if (string_ != nullptr && addRef) string_->addRef();
  }
  ~PDFStringRef() { reset(); }
  PDFStringRef(const PDFStringRef&) = delete;
  PDFStringRef& operator=(const PDFStringRef&) = delete;

  void reset() {
    if (string_ != nullptr) string_->release();
    string_ = nullptr;
  }

  DocCore::PDFString* get() const { return string_; }

 private:
  // Every PDF object starts with its PDFRCObject, so the untyped pointer
  // reads as one before its type is known.
  static DocCore::PDFString* asString(void* object) {
    auto* base = static_cast<DocCore::PDFRCObject*>(object);
    if (base == nullptr || !base->isA(DocCore::PDFString::getStaticType())) return nullptr;
    return static_cast<DocCore::PDFString*>(base);
  }

  DocCore::PDFString* string_;
};

}  // namespace Quire

#endif  // QUIRE_TEXT_PDFSTRINGREF_H_
