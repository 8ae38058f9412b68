#ifndef QUIRE_STREAMS_PARAMINPUTHOLDER_H_
#define QUIRE_STREAMS_PARAMINPUTHOLDER_H_

#include <istream>

#include "quire/VelParamString.h"

namespace Quire {

// What every copy of one VelParamInput shares, kept in the registry.
struct ParamInputHolder {
  VelParamString path;
  std::istream* stream = nullptr;
  bool ownsStream = false;  // the library opened the stream and deletes it
};

}  // namespace Quire

#endif  // QUIRE_STREAMS_PARAMINPUTHOLDER_H_
