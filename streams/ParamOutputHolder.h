#ifndef QUIRE_STREAMS_PARAMOUTPUTHOLDER_H_
#define QUIRE_STREAMS_PARAMOUTPUTHOLDER_H_

#include <ostream>

#include "quire/VelParamString.h"

namespace Quire {

// What every copy of one VelParamOutput shares, kept in the registry.
struct ParamOutputHolder {
  VelParamString path;
  std::ostream* stream = nullptr;
  bool ownsStream = false;  // the library opened the stream and deletes it
  bool removeFlag = true;   // remove the file when an output is destroyed
};

}  // namespace Quire

#endif  // QUIRE_STREAMS_PARAMOUTPUTHOLDER_H_
