// The natives of quire.common.NativeLibrary.
#include "jni/StreamShare.h"
#include "jni/StringRegistry.h"
#include "quire_common_NativeLibrary.h"

namespace Quire {
namespace JavaBinding {

std::atomic<int> streamShares{0};

}  // namespace JavaBinding
}  // namespace Quire

jint Java_quire_common_NativeLibrary_liveObjects(JNIEnv*, jclass) {
  return Quire::JavaBinding::strings().size() + Quire::JavaBinding::streamShares.load();
}
