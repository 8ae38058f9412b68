#ifndef QUIRE_STREAMS_HOLDERHANDLE_H_
#define QUIRE_STREAMS_HOLDERHANDLE_H_

#include <ios>

#include "quire/Object.h"
#include "quire/VelParamString.h"
#include "registry/Globals.h"
#include "registry/ParamHolders.h"
#include "streams/BufferedFile.h"

namespace Quire {

// What the input and output parameters do alike with their holders, which
// live in the library's registry and are reached by handle.

template <typename Holder>
Holder* holderOf(int handle) {
  return reinterpret_cast<Holder*>(globalObject.getNativeObject(handle));
}

// Registers a fresh holder and lets fill set it up. Only memory can run out
// in fill; then the holder is released, so none stays half-built.
template <typename Holder, typename Fill>
int createHolder(Fill fill) {
  const int handle = globalObject.createNativeObject(Holder::kKind, nullptr);
  try {
    fill(*holderOf<Holder>(handle));
  } catch (...) {
    globalObject.releaseNativeObject(handle);
    throw;
  }
  return handle;
}

// A holder whose stream the library opens on path and owns; *opened tells
// whether the file opened.
template <typename Holder, typename FileStream>
int createFileHolder(const VelParamString& path, std::ios::openmode mode, bool* opened) {
  return createHolder<Holder>([&](Holder& holder) {
    holder.path = path;
    auto* file = new BufferedFile<FileStream>(holder.path.c_str(), mode);
    holder.stream = file;
    holder.ownsStream = true;
    *opened = file->good() && file->is_open();
  });
}

// A holder of the caller's stream, which stays the caller's.
template <typename Holder, typename Stream>
int createStreamHolder(const VelParamString& path, const Stream* stream) {
  return createHolder<Holder>([&](Holder& holder) {
    holder.path = path;
    holder.stream = const_cast<Stream*>(stream);
  });
}

// Copy construction: one more reference on the handle.
inline int copyHandle(int handle) {
  globalObject.addrefNativeObject(handle);
  return handle;
}

// Assignment: gives up the reference on own, takes one on other, and
// returns the handle to keep.
inline int shareHandle(int own, int other) {
  globalObject.releaseNativeObject(own);
  globalObject.addrefNativeObject(other);
  return other;
}

// Without a holder: a shared empty path.
template <typename Holder>
VelParamString& pathOf(int handle) {
  static VelParamString noPath;
  Holder* holder = holderOf<Holder>(handle);
  return holder != nullptr ? holder->path : noPath;
}

// Without a stream: one with no buffer, bad from the start, so that every
// read or write through it fails.
template <typename Holder, typename Stream>
Stream& streamOf(int handle) {
  static Stream noStream(nullptr);
  Holder* holder = holderOf<Holder>(handle);
  return holder != nullptr && holder->stream != nullptr ? *holder->stream : noStream;
}

}  // namespace Quire

#endif  // QUIRE_STREAMS_HOLDERHANDLE_H_
