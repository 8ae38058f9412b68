#include "quire/Object.h"

#include <iterator>

#include "platform/DocCore.h"
#include "platform/MXLock.h"
#include "platform/TempFile.h"
#include "quire/VelParamString.h"
#include "registry/Globals.h"
#include "registry/ParamHolders.h"

namespace QuireCommon {
namespace {

using MoxCommon::MXMutex;

template <typename Holder>
void deleteHolder(void* object) {
  auto* holder = static_cast<Holder*>(object);
  if (holder->ownsStream) {
    delete holder->stream;  // closes a file that the library opened
    holder->stream = nullptr;
  }
  delete holder;
}

void indexRecords(Object::Records& records, Object::RecordIndex& index) {
  for (auto it = records.begin(); it != records.end(); ++it) index.emplace(it->handle, it);
}

int after(int handle) { return handle == Object::kMaxHandle ? 1 : handle + 1; }

// The handle that a creation issues, from nextHandle on. Once the counter has
// wrapped, a live record may still carry a handle; it is skipped so that no
// two records ever share one.
int freeHandle(int nextHandle, const Object::RecordIndex& index) {
  int handle = nextHandle >= 1 && nextHandle <= Object::kMaxHandle ? nextHandle : 1;
  while (index.count(handle) != 0) handle = after(handle);
  return handle;
}

}  // namespace

Object::Object() : nextHandle(1), records(), tempFileNum(0), recordIndex() {}

Object::~Object() {
  while (!records.empty()) {
    const NativeObjectRecord oldest = records.front();
    recordIndex.erase(oldest.handle);
    records.pop_front();
    deleteObject(oldest.type, oldest.object);
  }
  if (tempFileNum >= 1) platform::deleteTempFile("Pdf-v3-temp0.pdf");
  if (tempFileNum >= 2) platform::deleteTempFile("Pdf-v3-temp1.pdf");
}

Object::Object(const Object& other)
    : nextHandle(other.nextHandle),
      records(other.records),
      tempFileNum(other.tempFileNum) {
  indexRecords(records, recordIndex);
}

Object& Object::operator=(const Object& other) {
  if (this != &other) {
    // Copied and indexed aside, then swapped in, which cannot fail; the old
    // records' objects are not deleted.
    Records copied(other.records);
    RecordIndex index;
    indexRecords(copied, index);
    records.swap(copied);
    recordIndex.swap(index);
    nextHandle = other.nextHandle;
    tempFileNum = other.tempFileNum;
  }
  return *this;
}

int Object::createNativeObject(QUIRE_OBJ_TYPE type, void* pointer) {
  MXMutex lock(globalLock);
  const int handle = freeHandle(nextHandle, recordIndex);
  void* object = reinterpret_cast<void*>(newObject(type, pointer));
  try {
    records.push_back(NativeObjectRecord{type, handle, 1, object});
    try {
      recordIndex.emplace(handle, std::prev(records.end()));
    } catch (...) {
      records.pop_back();
      throw;
    }
  } catch (...) {
    deleteObject(type, object);
    throw;
  }
  nextHandle = after(handle);  // only now: a failed creation issues nothing
  return handle;
}

void Object::releaseNativeObject(int handle) {
  MXMutex lock(globalLock);
  const auto found = recordIndex.find(handle);
  if (found == recordIndex.end()) return;
  const Records::iterator record = found->second;
  if (--record->refCount > 0) return;
  const QUIRE_OBJ_TYPE type = record->type;
  void* const object = record->object;
  records.erase(record);
  recordIndex.erase(found);
  deleteObject(type, object);
}

void Object::addrefNativeObject(int handle) {
  MXMutex lock(globalLock);
  const auto found = recordIndex.find(handle);
  if (found != recordIndex.end()) ++found->second->refCount;
}

QUIRE_ADDRESS Object::getNativeObject(int handle) const {
  MXMutex lock(globalLock);
  const auto found = recordIndex.find(handle);
  return found == recordIndex.end() ? 0
                                    : reinterpret_cast<QUIRE_ADDRESS>(found->second->object);
}

void Object::setNativeObject(int handle, void* object) {
  MXMutex lock(globalLock);
  const auto found = recordIndex.find(handle);
  if (found == recordIndex.end()) return;
  NativeObjectRecord& record = *found->second;
  delete static_cast<DocCore::PDFDocument*>(record.object);
  record.object = object;
  ++tempFileNum;
}

int Object::getTempFileNum() const {
  MXMutex lock(globalLock);
  return tempFileNum;
}

QUIRE_ADDRESS Object::newObject(QUIRE_OBJ_TYPE type, void* /*pointer*/) {
  MXMutex lock(globalLock);
  switch (type) {
    case QUIRE_OBJ_PARAM_STRING:
      return reinterpret_cast<QUIRE_ADDRESS>(new Quire::VelParamString());
    case QUIRE_OBJ_PARAM_INPUT:
      return reinterpret_cast<QUIRE_ADDRESS>(new Quire::ParamInputHolder());
    case QUIRE_OBJ_PARAM_OUTPUT:
      return reinterpret_cast<QUIRE_ADDRESS>(new Quire::ParamOutputHolder());
  }
  return 0;
}

void Object::deleteObject(QUIRE_OBJ_TYPE type, void* object) {
  MXMutex lock(globalLock);
  if (object == nullptr) return;
  switch (type) {
    case QUIRE_OBJ_PARAM_STRING:
      delete static_cast<Quire::VelParamString*>(object);
      break;
    case QUIRE_OBJ_PARAM_INPUT:
      deleteHolder<Quire::ParamInputHolder>(object);
      break;
    case QUIRE_OBJ_PARAM_OUTPUT:
      deleteHolder<Quire::ParamOutputHolder>(object);
      break;
  }
}

}  // namespace QuireCommon
