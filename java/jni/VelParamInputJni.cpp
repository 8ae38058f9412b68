// The natives of quire.common.VelParamInput: each Java object holds the
// address of its own InputShare.
#include <vector>

#include "jni/StreamShare.h"
#include "quire_common_VelParamInput.h"

using Quire::JavaBinding::InputShare;
using Quire::JavaBinding::shareAt;
namespace Jni = Quire::Jni;

jlong Java_quire_common_VelParamInput_open(JNIEnv* env, jclass, jstring path) {
  return Quire::JavaBinding::openShare<InputShare>(env, path);
}

jlong Java_quire_common_VelParamInput_wrap(JNIEnv* env, jclass, jstring path, jobject in) {
  return Quire::JavaBinding::wrapShare<InputShare>(env, path, in);
}

jlong Java_quire_common_VelParamInput_copy(JNIEnv* env, jclass, jlong address) {
  return Quire::JavaBinding::copyShare<InputShare>(env, address);
}

void Java_quire_common_VelParamInput_release(JNIEnv*, jclass, jlong address, jboolean) {
  delete &shareAt<InputShare>(address);
}

jboolean Java_quire_common_VelParamInput_canRead(JNIEnv*, jobject, jlong address) {
  return shareAt<InputShare>(address).param.canRead();
}

jint Java_quire_common_VelParamInput_read(JNIEnv* env, jobject, jlong address, jbyteArray b,
                                          jint off, jint len) {
  return Jni::guard(env, jint(-1), [&] {
    std::vector<char> buffer(static_cast<std::size_t>(len));
    const int got = shareAt<InputShare>(address).param.read(buffer.data(), len);
    // What a Java stream threw besides an IOException goes to the caller.
    if (env->ExceptionCheck()) return -1;
    if (got > 0)
      env->SetByteArrayRegion(b, off, got, reinterpret_cast<const jbyte*>(buffer.data()));
    return got;
  });
}

jlong Java_quire_common_VelParamInput_seek(JNIEnv* env, jobject, jlong address, jlong offset,
                                           jint whence) {
  return Jni::guard(env, jlong(-1), [&] {
    const long position =
        shareAt<InputShare>(address).param.seekoff(static_cast<long>(offset), whence, 0);
    return env->ExceptionCheck() ? jlong(-1) : jlong(position);
  });
}
