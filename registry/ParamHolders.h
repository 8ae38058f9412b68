#ifndef QUIRE_REGISTRY_PARAMHOLDERS_H_
#define QUIRE_REGISTRY_PARAMHOLDERS_H_

#include <istream>
#include <ostream>

#include "quire/Object.h"
#include "quire/VelParamString.h"

namespace Quire {

// What every copy of one stream parameter shares. The registry builds and
// deletes these by kind, so they live beside it.
template <typename Stream>
struct ParamHolder {
  VelParamString path;
  Stream* stream = nullptr;
  bool ownsStream = false;  // the library opened the stream and deletes it
};

struct ParamInputHolder : ParamHolder<std::istream> {
  static constexpr QuireCommon::QUIRE_OBJ_TYPE kKind = QuireCommon::QUIRE_OBJ_PARAM_INPUT;
};

struct ParamOutputHolder : ParamHolder<std::ostream> {
  static constexpr QuireCommon::QUIRE_OBJ_TYPE kKind = QuireCommon::QUIRE_OBJ_PARAM_OUTPUT;
  bool removeFlag = true;  // remove the file when an output is destroyed
};

}  // namespace Quire

#endif  // QUIRE_REGISTRY_PARAMHOLDERS_H_
