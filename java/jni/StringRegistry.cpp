#include "jni/StringRegistry.h"

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"

namespace Quire {
namespace JavaBinding {

int StringRegistry::add(const VelParamString& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int handle = createNativeObject(QuireCommon::QUIRE_OBJ_PARAM_STRING, nullptr);
  auto* made = reinterpret_cast<VelParamString*>(getNativeObject(handle));
  try {
    if (made == nullptr)
      throw VelException(VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_NATIVE_OBJECT());
    *made = text;
  } catch (...) {
    releaseNativeObject(handle);
    throw;
  }
  return handle;
}

void StringRegistry::release(int handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  releaseNativeObject(handle);
}

VelParamString& StringRegistry::at(int handle) const {
  auto* text = reinterpret_cast<VelParamString*>(getNativeObject(handle));
  if (text == nullptr)
    throw VelException(VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT());
  return *text;
}

int StringRegistry::size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(records.size());
}

StringRegistry& strings() {
  static StringRegistry* const registry = new StringRegistry;
  return *registry;
}

}  // namespace JavaBinding
}  // namespace Quire
