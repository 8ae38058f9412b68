#include "quire/VelParamInput.h"

#include <algorithm>
#include <climits>
#include <fstream>

#include "streams/HolderHandle.h"

namespace Quire {

VelParamInput::VelParamInput() : handle(-1) {}

VelParamInput::VelParamInput(const VelParamString& path)
    : handle(createFileHolder<ParamInputHolder, std::ifstream>(
          path, std::ios::in | std::ios::binary, &readable)) {}

VelParamInput::VelParamInput(const VelParamString& path, const std::istream* stream)
    : handle(createStreamHolder<ParamInputHolder>(path, stream)) {
  // The flag tells the direction that the caller chose, not the stream's state.
  readable = true;
}

VelParamInput::VelParamInput(const VelParamInput& other)
    : VelParamStream(other), handle(copyHandle(other.handle)) {}

VelParamInput::~VelParamInput() { globalObject.releaseNativeObject(handle); }

VelParamInput& VelParamInput::operator=(const VelParamInput& other) {
  if (this != &other) {
    handle = shareHandle(handle, other.handle);
    VelParamStream::operator=(other);
  }
  return *this;
}

VelParamString& VelParamInput::getPath() const { return pathOf<ParamInputHolder>(handle); }

std::istream& VelParamInput::getStream() const {
  return streamOf<ParamInputHolder, std::istream>(handle);
}

int VelParamInput::read(char* buffer, int count) {
  if (count < 0 || buffer == nullptr) return -1;
  ParamInputHolder* holder = holderOf<ParamInputHolder>(handle);
  if (holder == nullptr || holder->stream == nullptr) return -1;
  try {
    std::istream& in = *holder->stream;
    std::fill_n(buffer, count, '\0');
    in.read(buffer, count);
    const std::streamsize got = in.gcount();
    // A read that met the end must not leave the stream unable to move.
    in.clear();
    return got > 0 ? static_cast<int>(got) : -1;
  } catch (...) {
    return -1;
  }
}

int VelParamInput::write(char*, int) { return -1; }

long VelParamInput::seekoff(long offset, int direction, int) {
  static const std::ios::seekdir kDirections[] = {std::ios::beg, std::ios::cur, std::ios::end};
  ParamInputHolder* holder = holderOf<ParamInputHolder>(handle);
  if (holder == nullptr || holder->stream == nullptr) return -1;
  try {
    std::istream& in = *holder->stream;
    if ((offset != 0 || direction != 1) && direction >= 0 && direction <= 2)
      in.seekg(offset, kDirections[direction]);
    // Where long has 32 bits (Windows), a position beyond it is a failure,
    // not a number cut short.
    const std::streamoff position = in.tellg();
    return position <= LONG_MAX ? static_cast<long>(position) : -1;
  } catch (...) {
    return -1;
  }
}

}  // namespace Quire
