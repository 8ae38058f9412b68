#include "quire/VelParamOutput.h"

#include <cstdio>
#include <fstream>

#include "streams/HolderHandle.h"

namespace Quire {

VelParamOutput::VelParamOutput() : handle(-1) {}

VelParamOutput::VelParamOutput(const VelParamString& path)
    : handle(createFileHolder<ParamOutputHolder, std::ofstream>(
          path, std::ios::out | std::ios::binary, &writable)) {}

VelParamOutput::VelParamOutput(const VelParamString& path, const std::ostream* stream)
    : handle(createStreamHolder<ParamOutputHolder>(path, stream)) {
  // The flag tells the direction that the caller chose, not the stream's state.
  writable = true;
}

VelParamOutput::VelParamOutput(const VelParamOutput& other)
    : VelParamStream(other), handle(copyHandle(other.handle)) {}

VelParamOutput::~VelParamOutput() {
  // Copies may go in several threads at once: the lock lets one of them alone
  // take the stream; closing and removing then run without holding it.
  std::ostream* owned = nullptr;
  ParamOutputHolder* holder;
  {
    MoxCommon::MXMutex lock(globalLock);
    holder = holderOf<ParamOutputHolder>(handle);
    if (holder != nullptr && holder->removeFlag && holder->ownsStream) {
      owned = holder->stream;
      holder->stream = nullptr;
      holder->ownsStream = false;
    }
  }
  if (owned != nullptr) {
    // An owned stream is the ofstream made here: a file it failed to open
    // was never this object's, and stays.
    const bool opened = static_cast<std::ofstream*>(owned)->is_open();
    delete owned;  // flushes and closes before the file goes
    // By name: whatever the path names now goes, a link but not its target.
    // This copy's reference keeps the holder alive until the release below.
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
  MoxCommon::MXMutex lock(globalLock);  // a copy may be going in another thread
  ParamOutputHolder* holder = holderOf<ParamOutputHolder>(handle);
  if (holder != nullptr) holder->removeFlag = flag != 0;
}

VelParamString& VelParamOutput::getPath() const { return pathOf<ParamOutputHolder>(handle); }

std::ostream& VelParamOutput::getStream() const {
  return streamOf<ParamOutputHolder, std::ostream>(handle);
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
