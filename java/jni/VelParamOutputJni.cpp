// The natives of quire.common.VelParamOutput: each Java object holds the
// address of its own OutputShare.
#include <vector>

#include "jni/StreamShare.h"
#include "quire_common_VelParamOutput.h"

using Quire::JavaBinding::OutputShare;
using Quire::JavaBinding::shareAt;
namespace Jni = Quire::Jni;

jlong Java_quire_common_VelParamOutput_open(JNIEnv* env, jclass, jstring path) {
  return Quire::JavaBinding::openShare<OutputShare>(env, path);
}

jlong Java_quire_common_VelParamOutput_wrap(JNIEnv* env, jclass, jstring path, jobject out) {
  return Quire::JavaBinding::wrapShare<OutputShare>(env, path, out);
}

jlong Java_quire_common_VelParamOutput_copy(JNIEnv* env, jclass, jlong address) {
  return Quire::JavaBinding::copyShare<OutputShare>(env, address);
}

void Java_quire_common_VelParamOutput_release(JNIEnv*, jclass, jlong address, jboolean last) {
  OutputShare* share = &shareAt<OutputShare>(address);
  // The destructor removes a flagged file; only the last share may, so the
  // others leave by assignment, which never removes one.
  if (!last) share->param = Quire::VelParamOutput();
  delete share;
}

jboolean Java_quire_common_VelParamOutput_canWrite(JNIEnv*, jobject, jlong address) {
  return shareAt<OutputShare>(address).param.canWrite();
}

jint Java_quire_common_VelParamOutput_write(JNIEnv* env, jobject, jlong address, jbyteArray b,
                                            jint off, jint len) {
  return Jni::guard(env, jint(-1), [&] {
    std::vector<char> buffer(static_cast<std::size_t>(len));
    env->GetByteArrayRegion(b, off, len, reinterpret_cast<jbyte*>(buffer.data()));
    const int put = shareAt<OutputShare>(address).param.write(buffer.data(), len);
    // What a Java stream threw besides an IOException goes to the caller.
    return env->ExceptionCheck() ? -1 : put;
  });
}

void Java_quire_common_VelParamOutput_setRemoveFlag(JNIEnv*, jobject, jlong address,
                                                    jboolean remove) {
  shareAt<OutputShare>(address).param.setRemoveFlag(remove ? 1 : 0);
}
