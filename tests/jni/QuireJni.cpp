// The native side of QuireJniTest: a VelException turned into a Java one, the
// way the Java binding does it.
#include <jni.h>

#include <quire/VelException.h>

namespace {

jstring javaString(JNIEnv* env, const Quire::VelParamString& text) {
  // The UCS-2 form is exactly what a Java string holds.
  return env->NewString(reinterpret_cast<const jchar*>(text.w_str()), text.wstr_length());
}

}  // namespace

extern "C" JNIEXPORT void JNICALL Java_QuireJniTest_throwVelException(JNIEnv* env, jclass,
                                                                      jint code) {
  Quire::VelException error(code);
  jclass exceptionClass = env->FindClass("QuireJniTest$QuireException");
  jmethodID init = env->GetMethodID(exceptionClass, "<init>",
                                    "(ILjava/lang/String;Ljava/lang/String;)V");
  jobject exception = env->NewObject(exceptionClass, init, error.getErrorCode(),
                                     javaString(env, error.getErrorMessage()),
                                     javaString(env, error.getErrorMessageJP()));
  env->Throw(static_cast<jthrowable>(exception));
}
