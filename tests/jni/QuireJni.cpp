// The native side of QuireJniTest: what the Java binding does with a
// VelException.
#include <jni.h>

#include <quire/VelErrorCode.h>
#include <quire/VelException.h>

namespace {

jstring javaString(JNIEnv* env, const Quire::VelParamString& text) {
  // The UCS-2 form is exactly what a Java string holds.
  return env->NewString(reinterpret_cast<const jchar*>(text.w_str()), text.wstr_length());
}

}  // namespace

extern "C" JNIEXPORT jobjectArray JNICALL
Java_QuireJniTest_describeInvalidPageNumber(JNIEnv* env, jclass) {
  Quire::VelException error(Quire::VelErrorCode::INVALID_PAGE_NUMBER());
  jclass objectClass = env->FindClass("java/lang/Object");
  jclass integerClass = env->FindClass("java/lang/Integer");
  jmethodID valueOf = env->GetStaticMethodID(integerClass, "valueOf", "(I)Ljava/lang/Integer;");
  jobjectArray result = env->NewObjectArray(3, objectClass, nullptr);
  env->SetObjectArrayElement(
      result, 0, env->CallStaticObjectMethod(integerClass, valueOf, error.getErrorCode()));
  env->SetObjectArrayElement(result, 1, javaString(env, error.getErrorMessage()));
  env->SetObjectArrayElement(result, 2, javaString(env, error.getErrorMessageJP()));
  return result;
}

extern "C" JNIEXPORT void JNICALL Java_QuireJniTest_throwVelException(JNIEnv* env, jclass,
                                                                      jint code) {
  try {
    throw Quire::VelException(code);
  } catch (Quire::VelException& error) {
    jclass exceptionClass = env->FindClass("QuireJniTest$QuireException");
    jmethodID init = env->GetMethodID(exceptionClass, "<init>",
                                      "(ILjava/lang/String;Ljava/lang/String;)V");
    jobject exception = env->NewObject(exceptionClass, init, error.getErrorCode(),
                                       javaString(env, error.getErrorMessage()),
                                       javaString(env, error.getErrorMessageJP()));
    env->Throw(static_cast<jthrowable>(exception));
  }
}
