#ifndef QUIRE_STREAMS_HOLDERHANDLE_H_
#define QUIRE_STREAMS_HOLDERHANDLE_H_

#include "quire/Object.h"
#include "registry/Globals.h"

namespace Quire {

// What the stream parameters share with their copies lives in the library's
// registry; these reach it by handle.

template <typename Holder>
Holder* holderOf(int handle) {
  return reinterpret_cast<Holder*>(globalObject.getNativeObject(handle));
}

// Registers a fresh holder of kind and lets fill set it up. Only memory can
// run out in fill; then the holder is released, so none stays half-built.
template <typename Holder, typename Fill>
int createHolder(QuireCommon::QUIRE_OBJ_TYPE kind, Fill fill) {
  const int handle = globalObject.createNativeObject(kind, nullptr);
  try {
    fill(*holderOf<Holder>(handle));
  } catch (...) {
    globalObject.releaseNativeObject(handle);
    throw;
  }
  return handle;
}

// Assignment: gives up the reference on own, takes one on other, and
// returns the handle to keep.
inline int shareHandle(int own, int other) {
  globalObject.releaseNativeObject(own);
  globalObject.addrefNativeObject(other);
  return other;
}

}  // namespace Quire

#endif  // QUIRE_STREAMS_HOLDERHANDLE_H_
