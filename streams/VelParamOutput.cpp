#include "quire/VelParamOutput.h"

#include <cstdio>
#include <fstream>

#include "registry/Globals.h"
#include "streams/HolderHandle.h"
#include "streams/ParamOutputHolder.h"

namespace Quire {

using QuireCommon::QUIRE_OBJ_PARAM_OUTPUT;

VelParamOutput::VelParamOutput() : handle(-1) {}

VelParamOutput::VelParamOutput(const VelParamString& path)
    : handle(createHolder<ParamOutputHolder>(QUIRE_OBJ_PARAM_OUTPUT, [&](ParamOutputHolder& holder) {
        holder.path = path;
        auto* file = new std::ofstream(holder.path.c_str(), std::ios::out | std::ios::binary);
        holder.stream = file;
        holder.ownsStream = true;
        writable = file->good();
      })) {}

VelParamOutput::VelParamOutput(const VelParamString& path, const std::ostream* stream)
    : handle(createHolder<ParamOutputHolder>(QUIRE_OBJ_PARAM_OUTPUT, [&](ParamOutputHolder& holder) {
        holder.path = path;
        holder.stream = const_cast<std::ostream*>(stream);
      })) {
  // The flag tells the direction that the caller chose, not the stream's state.
  writable = true;
}

VelParamOutput::VelParamOutput(const VelParamOutput& other)
    : VelParamStream(other), handle(other.handle) {
  globalObject.addrefNativeObject(handle);
}

VelParamOutput::~VelParamOutput() {
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  if (holder != nullptr && holder->removeFlag && holder->ownsStream) {
    // An owned stream is the ofstream made here: a file it failed to open
    // was never this object's, and stays.
    const bool opened = static_cast<std::ofstream*>(holder->stream)->is_open();
    delete holder->stream;  // flushes and closes before the file goes
    holder->stream = nullptr;
    holder->ownsStream = false;
    // By name: whatever the path names now goes, a link but not its target.
    if (opened) std::remove(holder->path.c_str());
  }
  globalObject.releaseNativeObject(handle);
}

VelParamOutput& VelParamOutput::operator=(const VelParamOutput& other) {
  if (this != &other) {
    // A release never removes a file, whatever the flag says.
    handle = shareHandle(handle, other.handle);
    VelParamStream::operator=(other);
  }
  return *this;
}

void VelParamOutput::setRemoveFlag(unsigned char flag) {
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  if (holder != nullptr) holder->removeFlag = flag != 0;
}

VelParamString& VelParamOutput::getPath() const {
  static VelParamString noPath;
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  return holder != nullptr ? holder->path : noPath;
}

std::ostream& VelParamOutput::getStream() const {
  // No buffer: the stream is bad from the start and every write fails.
  static std::ostream noStream(nullptr);
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  return holder != nullptr && holder->stream != nullptr ? *holder->stream : noStream;
}

int VelParamOutput::read(char*, int) { return -1; }

int VelParamOutput::write(char* buffer, int count) {
  if (count <= 0 || buffer == nullptr) return -1;
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  if (holder == nullptr || holder->stream == nullptr) return -1;
  try {
    holder->stream->write(buffer, count);
  } catch (...) {
    return -1;
  }
  // The state is not consulted: a stream that fails quietly still took the bytes.
  return count;
}

long VelParamOutput::seekoff(long, int, int) { return -1; }

}  // namespace Quire
