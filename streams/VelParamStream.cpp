#include "quire/VelParamStream.h"

namespace Quire {

VelParamStream::VelParamStream() : readable(false), writable(false) {}

VelParamStream::VelParamStream(const VelParamStream& other)
    : readable(other.readable), writable(other.writable) {}

VelParamStream& VelParamStream::operator=(const VelParamStream& other) {
  readable = other.readable;
  writable = other.writable;
  return *this;
}

bool VelParamStream::canRead() const { return readable; }

bool VelParamStream::canWrite() const { return writable; }

}  // namespace Quire
