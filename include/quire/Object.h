#ifndef QUIRE_OBJECT_H_
#define QUIRE_OBJECT_H_

#include <list>
#include <unordered_map>

#include "quire/export.h"

/// The registry of native objects.
namespace QuireCommon {

/// An object's address as an integer. long holds one where it has 64 bits
/// (LP64: Linux); 64-bit Windows is LLP64, whose 32-bit long would cut it.
#if defined(_WIN64)
typedef long long QUIRE_ADDRESS;
#else
typedef long QUIRE_ADDRESS;
#endif
static_assert(sizeof(QUIRE_ADDRESS) >= sizeof(void*), "an address fits");

/// Kinds of registered object. Any other value is accepted, stored, and gets
/// no object.
enum QUIRE_OBJ_TYPE : int {
  QUIRE_OBJ_PARAM_STRING = 1005,  ///< A default-constructed Quire::VelParamString.
  QUIRE_OBJ_PARAM_INPUT = 2012,   ///< The holder behind a Quire::VelParamInput.
  QUIRE_OBJ_PARAM_OUTPUT = 2013,  ///< The holder behind a Quire::VelParamOutput.
};

/// One registered object.
struct NativeObjectRecord {
  QUIRE_OBJ_TYPE type;  ///< The kind given at creation; decides the deletion.
  int handle;           ///< 1 to Object::kMaxHandle.
  int refCount;         ///< 1 at creation; the record goes when it reaches 0.
  void* object;         ///< The object, or null for a kind outside the table.
};

/// Native objects addressed by int handles, with reference counts.
///
/// createNativeObject() builds an object of a kind and returns its handle;
/// every further holder of the handle adds a reference, every holder drops
/// one, and the last release deletes the object by its kind. Handles that
/// the registry does not hold (-1 and 0 among them) are ignored: nothing is
/// done and getNativeObject() gives 0. Nothing is thrown or reported.
///
/// Threads: any thread may call any operation. Every instance serialises on
/// one process-wide recursive lock, held for the whole of each operation
/// (objects are built and deleted under it); a pointer from
/// getNativeObject() stays valid while the caller holds a reference. The
/// constructors, the destructor and assignment take no lock: they must not
/// overlap other use of the same instance.
class QUIRE_EXPORT Object {
 public:
  /// Handles run 1 .. kMaxHandle and then start again at 1, skipping any
  /// still in use.
  static constexpr int kMaxHandle = 0x0FFFFFFF;

  /// The records in creation order, oldest first.
  using Records = std::list<NativeObjectRecord>;
  /// Where each handle's record is, so that no operation scans.
  using RecordIndex = std::unordered_map<int, Records::iterator>;

  /// An empty registry: the first handle is 1 and no temporary file counted.
  Object();
  /// Deletes every remaining object, oldest first, whatever its count; then
  /// removes "Pdf-v3-temp0.pdf" from the current directory when
  /// getTempFileNum() is at least 1, and "Pdf-v3-temp1.pdf" too when it is at
  /// least 2.
  ~Object();
  /// Member-wise: the copy shares the source's objects, and only one of the
  /// two may delete each of them.
  /// \param other the registry to copy.
  Object(const Object& other);
  /// Member-wise, dropping this registry's records without deleting their
  /// objects.
  /// \param other the registry to copy.
  /// \return this object.
  Object& operator=(const Object& other);

  /// Builds an object of \p type and registers it with one reference.
  /// \param type the kind; any other value gets a record with no object.
  /// \param pointer not read.
  /// \return the new handle.
  int createNativeObject(QUIRE_OBJ_TYPE type, void* pointer);
  /// Drops one reference; the last deletes the object by its kind (a stream
  /// that a holder opened is closed, a file is never removed).
  /// \param handle the record's handle; an unknown one does nothing.
  void releaseNativeObject(int handle);
  /// Adds one reference.
  /// \param handle the record's handle; an unknown one does nothing.
  void addrefNativeObject(int handle);
  /// \param handle the record's handle.
  /// \return the object's address, or 0 for an unknown handle or a record
  ///         without an object.
  QUIRE_ADDRESS getNativeObject(int handle) const;
  /// Deletes the record's previous object as a PDF document, stores
  /// \p object and counts one more temporary file. Only for records of a
  /// kind outside QUIRE_OBJ_TYPE's three.
  /// \param handle the record's handle; an unknown one does nothing.
  /// \param object the new object, null allowed.
  void setNativeObject(int handle, void* object);
  /// \return how many setNativeObject() calls found their record.
  int getTempFileNum() const;

 protected:
  /// \param type the kind to build.
  /// \param pointer not read.
  /// \return the address of a new object of \p type, or 0 for another kind.
  QUIRE_ADDRESS newObject(QUIRE_OBJ_TYPE type, void* pointer);
  /// Deletes \p object as \p type says; a null object or another kind is
  /// left alone.
  /// \param type the record's kind.
  /// \param object the object to delete.
  void deleteObject(QUIRE_OBJ_TYPE type, void* object);

  int nextHandle;            ///< The handle that the next creation tries first.
  Records records;           ///< Creation order, oldest first.
  int tempFileNum;           ///< What getTempFileNum() returns.
  RecordIndex recordIndex;   ///< Keeps every lookup constant-time.
};

}  // namespace QuireCommon

#endif  // QUIRE_OBJECT_H_
