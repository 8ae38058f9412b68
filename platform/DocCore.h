#ifndef QUIRE_PLATFORM_DOCCORE_H_
#define QUIRE_PLATFORM_DOCCORE_H_

#include <atomic>
#include <string>

// The part of the PDF object library that quirecommon calls: reference
// counted objects with a type tag, documents that the registry deletes, and
// the strings whose text the library takes out.
namespace DocCore {

enum class ObjType : int {
  kDocument = 1,
  kString,
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
// replaces it, so its destructor is public.
class PDFDocument : public PDFRCObject {
 public:
  PDFDocument();
  ~PDFDocument() override;
};

// A PDF string: its raw bytes and the UCS-2 text they stand for, which is
// UTF-16BE after a leading FE FF and PDFDocEncoding otherwise.
// The text is decoded at construction, so the accessors return the same text
// before treatUnicodeStr() as after it; a zero unit inside ends what they show.
class PDFString : public PDFRCObject {
 public:
  explicit PDFString(std::string bytes);

  static ObjType getStaticType() { return ObjType::kString; }

  // Stores the string as a Unicode text string (FE FF and UTF-16BE), so that
  // what is written back keeps every character; the text stays the same.
  void treatUnicodeStr();

  // Zero-terminated UCS-2, never null, valid while a reference is held.
  // Virtual so that a derived string can hand its text out another way.
  virtual const unsigned short* getBigEndianUniStr() const;
  virtual const unsigned short* getLittleEndianUniStr() const;
  virtual const unsigned short* getCPUEndianUniStr() const;

 protected:
  ~PDFString() override;

  std::string bytes_;  // as the document stores the string

 private:
  std::basic_string<unsigned short> hostOrder_;
  std::basic_string<unsigned short> swapped_;
};

}  // namespace DocCore

#endif  // QUIRE_PLATFORM_DOCCORE_H_
