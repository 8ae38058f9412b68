#include "platform/DocCore.h"

#include <utility>

namespace DocCore {

PDFRCObject::~PDFRCObject() = default;

int PDFRCObject::addRef() const {
  return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

int PDFRCObject::release() const {
  const int count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0) delete this;
  return count;
}

PDFDocument::PDFDocument() : PDFRCObject(ObjType::kDocument) {}

PDFDocument::PDFDocument(std::function<void()> onClose)
    : PDFRCObject(ObjType::kDocument), onClose_(std::move(onClose)) {}

PDFDocument::~PDFDocument() {
  if (onClose_) onClose_();
}

}  // namespace DocCore
