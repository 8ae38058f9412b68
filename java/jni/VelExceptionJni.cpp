// The natives of quire.common.VelException: its messages from the library's
// catalogue.
#include "quire/VelException.h"
#include "quire/java/JniSupport.h"
#include "quire_common_VelException.h"

namespace Jni = Quire::Jni;

jstring Java_quire_common_VelException_message(JNIEnv* env, jclass, jint code, jboolean japanese) {
  return Jni::guard(env, jstring(nullptr), [&] {
    Quire::VelException error(code);
    // The Japanese message from the UCS-2 form that the library converts it
    // into: no narrow round trip through Java.
    return Jni::newString(env, japanese ? error.getErrorMessageJP() : error.getErrorMessage());
  });
}
