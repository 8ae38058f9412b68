#ifndef QUIRE_PLATFORM_DOCCORE_H_
#define QUIRE_PLATFORM_DOCCORE_H_

#include <atomic>
#include <functional>

// The part of the PDF object library that quirecommon calls: reference
// counted objects with a type tag, and documents that the registry deletes.
namespace DocCore {

enum class ObjType : int {
  kDocument = 1,
  kString,
  kName,
};

// Starts with one reference, held by its creator; release() deletes the
// object when the count reaches zero.
class PDFRCObject {
 public:
  PDFRCObject(const PDFRCObject&) = delete;
  PDFRCObject& operator=(const PDFRCObject&) = delete;

  bool isA(ObjType type) const { return type == type_; }
  int addRef() const;
  int release() const;
  int refCount() const { return refCount_.load(std::memory_order_acquire); }

 protected:
  explicit PDFRCObject(ObjType type) : type_(type) {}
  virtual ~PDFRCObject();

 private:
  const ObjType type_;
  mutable std::atomic<int> refCount_{1};
};

// A document. The registry deletes one directly when setNativeObject
// replaces it, so its destructor is public; onClose lets an owner see that.
class PDFDocument : public PDFRCObject {
 public:
  PDFDocument();
  explicit PDFDocument(std::function<void()> onClose);
  ~PDFDocument() override;

 private:
  std::function<void()> onClose_;
};

}  // namespace DocCore

#endif  // QUIRE_PLATFORM_DOCCORE_H_
