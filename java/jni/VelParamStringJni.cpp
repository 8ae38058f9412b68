// The natives of quire.common.VelParamString: handles in the binding's
// registry of strings.
#include "jni/StringRegistry.h"
#include "quire/java/JniSupport.h"
#include "quire_common_VelParamString.h"

using Quire::JavaBinding::strings;
namespace Jni = Quire::Jni;

jint Java_quire_common_VelParamString_create(JNIEnv* env, jclass, jstring text) {
  return Jni::guard(env, jint(0), [&] {
    // Converted before the registry's mutex is taken: strings are made in
    // parallel, only registered one at a time.
    Quire::VelParamString converted;
    Jni::assign(env, text, converted);
    return strings().add(converted);
  });
}

void Java_quire_common_VelParamString_addref(JNIEnv*, jclass, jint handle) {
  strings().addrefNativeObject(handle);
}

void Java_quire_common_VelParamString_release(JNIEnv*, jclass, jint handle) {
  strings().release(handle);
}

jstring Java_quire_common_VelParamString_wide(JNIEnv* env, jobject, jint handle) {
  return Jni::guard(env, jstring(nullptr),
                    [&] { return Jni::newString(env, strings().at(handle)); });
}

jbyteArray Java_quire_common_VelParamString_narrow(JNIEnv* env, jobject, jint handle) {
  return Jni::guard(env, jbyteArray(nullptr), [&] {
    const Quire::VelParamString& text = strings().at(handle);
    jbyteArray bytes = env->NewByteArray(text.cstr_length());
    if (bytes == nullptr)
      Jni::fail(env, Quire::VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT());
    env->SetByteArrayRegion(bytes, 0, text.cstr_length(),
                            reinterpret_cast<const jbyte*>(text.c_str()));
    return bytes;
  });
}

jint Java_quire_common_VelParamString_length(JNIEnv* env, jobject, jint handle) {
  return Jni::guard(env, jint(0), [&] { return strings().at(handle).length(); });
}
