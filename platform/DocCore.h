#ifndef QUIRE_PLATFORM_DOCCORE_H_
#define QUIRE_PLATFORM_DOCCORE_H_

#include <atomic>
#include <functional>
#include <string>

// The part of the PDF object library that quirecommon calls: reference
// counted objects with a type tag, documents that the registry deletes, and
// the strings and names whose text the library takes out.
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

  const std::string& bytes() const { return bytes_; }

 protected:
  ~PDFString() override;

 private:
  std::string bytes_;
  std::basic_string<unsigned short> hostOrder_;
  std::basic_string<unsigned short> swapped_;
};

// A PDF name: any object that is not a string will do for the functions that
// take strings, and a name is the simplest.
class PDFName : public PDFRCObject {
 public:
  explicit PDFName(std::string name);

  const std::string& name() const { return name_; }

 protected:
  ~PDFName() override;

 private:
  std::string name_;
};

}  // namespace DocCore

#endif  // QUIRE_PLATFORM_DOCCORE_H_
