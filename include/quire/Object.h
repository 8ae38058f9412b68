#ifndef QUIRE_OBJECT_H_
#define QUIRE_OBJECT_H_

#include <list>
#include <unordered_map>

#include "quire/export.h"

namespace QuireCommon {

// An object's address as an integer. long holds one where it has 64 bits
// (LP64: Linux); 64-bit Windows is LLP64, whose 32-bit long would cut it.
#if defined(_WIN64)
typedef long long QUIRE_ADDRESS;
#else
typedef long QUIRE_ADDRESS;
#endif
static_assert(sizeof(QUIRE_ADDRESS) >= sizeof(void*), "an address fits");

// Kinds of registered object. Any other value is accepted and gets no object.
enum QUIRE_OBJ_TYPE : int {
  QUIRE_OBJ_PARAM_STRING = 1005,
  QUIRE_OBJ_PARAM_INPUT = 2012,
  QUIRE_OBJ_PARAM_OUTPUT = 2013,
};

struct NativeObjectRecord {
  QUIRE_OBJ_TYPE type;
  int handle;
  int refCount;
  void* object;
};

// Native objects addressed by int handles, with reference counts; an object
// is deleted by its kind when its last reference goes. Every instance
// serialises on one process-wide recursive lock.
class QUIRE_EXPORT Object {
 public:
  // Handles run 1 .. kMaxHandle and then start again at 1.
  static constexpr int kMaxHandle = 0x0FFFFFFF;

  using Records = std::list<NativeObjectRecord>;
  using RecordIndex = std::unordered_map<int, Records::iterator>;

  Object();
  // Deletes every remaining object, oldest first, whatever its count; then
  // the temporary files that setNativeObject calls stand for.
  ~Object();
  // Member-wise: the copy shares the source's objects.
  Object(const Object& other);
  Object& operator=(const Object& other);

  int createNativeObject(QUIRE_OBJ_TYPE type, void* pointer);
  void releaseNativeObject(int handle);
  void addrefNativeObject(int handle);
  QUIRE_ADDRESS getNativeObject(int handle) const;
  // Deletes the record's previous object as a PDF document.
  void setNativeObject(int handle, void* object);
  int getTempFileNum() const;

 protected:
  QUIRE_ADDRESS newObject(QUIRE_OBJ_TYPE type, void* pointer);
  void deleteObject(QUIRE_OBJ_TYPE type, void* object);

  int nextHandle;
  Records records;  // creation order, oldest first
  int tempFileNum;
  // Keeps every lookup constant-time at any number of live records.
  RecordIndex recordIndex;
};

}  // namespace QuireCommon

#endif  // QUIRE_OBJECT_H_
