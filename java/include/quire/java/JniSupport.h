#ifndef QUIRE_JAVA_JNISUPPORT_H_
#define QUIRE_JAVA_JNISUPPORT_H_

#include <jni.h>

#include <cstdio>
#include <new>
#include <string>
#include <type_traits>

#include "quire/VelErrorCode.h"
#include "quire/VelException.h"
#include "quire/VelParamString.h"

namespace Quire {

/// Helpers for the JNI code of the toolkit's Java bindings, header only: each
/// binding compiles them into its own JNI library.
///
/// A JNI step that fails (a class, method or field lookup, an object's
/// creation, a throw) clears the Java exception that it left and throws a
/// VelException with its `JAVA_INTERFACE_` code; guard() ends every native
/// method and raises what it caught as `quire.common.VelException`. Nothing
/// else clears a Java exception: one that Java code throws stays pending for
/// the Java caller.
namespace Jni {

static_assert(std::is_same<jchar, unsigned short>::value, "a Java char is a UCS-2 unit");

/// The Java class that a VelException becomes.
constexpr const char* kExceptionClass = "quire/common/VelException";
/// Its constructor from a code, the English and the Japanese message.
constexpr const char* kExceptionConstructor = "(ILjava/lang/String;Ljava/lang/String;)V";

/// Ends a failed JNI step: the Java exception that it left is replaced by a
/// VelException with \p code.
/// \param env the calling thread's environment.
/// \param code a `JAVA_INTERFACE_` code.
[[noreturn]] inline void fail(JNIEnv* env, int code) {
  env->ExceptionClear();
  throw VelException(code);
}

/// \param env the calling thread's environment.
/// \param name the class in JNI's form, "java/io/IOException".
/// \return the class, a local reference.
/// \throw VelException `JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS` when there is none.
inline jclass findClass(JNIEnv* env, const char* name) {
  jclass found = env->FindClass(name);
  if (found == nullptr) fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_CLASS());
  return found;
}

/// \param env the calling thread's environment.
/// \param type the class.
/// \param name the method's name, "<init>" for a constructor.
/// \param signature the method's signature, "([BII)I".
/// \return the instance method.
/// \throw VelException `JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD` when there is none.
inline jmethodID findMethod(JNIEnv* env, jclass type, const char* name, const char* signature) {
  jmethodID found = env->GetMethodID(type, name, signature);
  if (found == nullptr) fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_METHOD());
  return found;
}

/// \param env the calling thread's environment.
/// \param type the class.
/// \param name the field's name.
/// \param signature the field's type, "J" for a long.
/// \return the instance field.
/// \throw VelException `JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD` when there is none.
inline jfieldID findField(JNIEnv* env, jclass type, const char* name, const char* signature) {
  jfieldID found = env->GetFieldID(type, name, signature);
  if (found == nullptr) fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_GET_JAVA_FIELD());
  return found;
}

/// \param env the calling thread's environment.
/// \param text the text.
/// \return the UCS-2 form of \p text as a Java string, copied once, with no
///         modified UTF-8 on the way.
/// \throw VelException `JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT` when the
///        JVM cannot make it.
inline jstring newString(JNIEnv* env, const VelParamString& text) {
  jstring made = env->NewString(text.w_str(), text.wstr_length());
  if (made == nullptr) fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT());
  return made;
}

/// Assigns the Java string \p text to \p target as its UCS-2 form, which
/// converts it into the narrow form. The units leave the JVM in one copy; the
/// library's text ends at a U+0000, so callers refuse text that holds one.
/// \param env the calling thread's environment.
/// \param text a Java string, not null.
/// \param target the string that takes it.
inline void assign(JNIEnv* env, jstring text, VelParamString& target) {
  std::basic_string<unsigned short> units(static_cast<std::size_t>(env->GetStringLength(text)), 0);
  env->GetStringRegion(text, 0, static_cast<jsize>(units.size()), &units[0]);
  target = units.c_str();
}

/// Raises a Java error of class \p type with \p message. Should even that
/// fail, the JVM's own error from the failed step (an OutOfMemoryError) is
/// what stays pending.
/// \param env the calling thread's environment.
/// \param type the class in JNI's form, "java/lang/OutOfMemoryError".
/// \param message the error's message, modified UTF-8.
inline void raiseError(JNIEnv* env, const char* type, const char* message) noexcept {
  jclass found = env->FindClass(type);
  if (found != nullptr) env->ThrowNew(found, message);
}

/// Raises \p error in Java as a `quire.common.VelException` with its code and
/// both messages, the Japanese one from the UCS-2 form that getErrorMessageJP()
/// gives (so a text given to VelException is WINDOWS31J, as the library
/// expects of it). A Java exception that is already pending goes first and
/// \p error is dropped: it is what caused \p error. Where the Java class
/// cannot be reached, a `java.lang.Error` names both codes instead.
/// \param env the calling thread's environment.
/// \param error the exception to raise.
inline void raise(JNIEnv* env, VelException& error) noexcept {
  if (env->ExceptionCheck()) return;
  try {
    jclass type = findClass(env, kExceptionClass);
    jmethodID init = findMethod(env, type, "<init>", kExceptionConstructor);
    jstring message = newString(env, error.getErrorMessage());
    jstring messageJP = newString(env, error.getErrorMessageJP());
    jobject made = env->NewObject(type, init, error.getErrorCode(), message, messageJP);
    if (made == nullptr) fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_CREATE_JAVA_OBJECT());
    if (env->Throw(static_cast<jthrowable>(made)) != JNI_OK)
      fail(env, VelErrorCode::JAVA_INTERFACE_COULD_NOT_THROW_JAVA_EXCEPTION());
  } catch (const VelException& failed) {
    char message[96];
    std::snprintf(message, sizeof message, "VelException %d not raised: JNI step failed with %d",
                  error.getErrorCode(), failed.getErrorCode());
    raiseError(env, "java/lang/Error", message);
  } catch (...) {
    raiseError(env, "java/lang/OutOfMemoryError", "quirecommon: out of native memory");
  }
}

/// Runs \p body, the work of one native method, and raises in Java what it
/// throws: a VelException as itself, running out of memory as an
/// OutOfMemoryError, anything else as `JAVA_INTERFACE_OTHER_INTERNAL_ERRORS`.
/// \param env the native method's environment.
/// \param failed the native method's result when \p body throws.
/// \param body the native method's work.
/// \return what \p body returns, or \p failed when it threw.
template <typename Result, typename Body>
Result guard(JNIEnv* env, Result failed, Body body) noexcept {
  try {
    return body();
  } catch (VelException& error) {
    raise(env, error);
  } catch (const std::bad_alloc&) {
    raiseError(env, "java/lang/OutOfMemoryError", "quirecommon: out of native memory");
  } catch (...) {
    try {
      VelException error(VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS());
      raise(env, error);
    } catch (...) {
      raiseError(env, "java/lang/OutOfMemoryError", "quirecommon: out of native memory");
    }
  }
  return failed;
}

/// guard() for a native method without a result.
/// \param env the native method's environment.
/// \param body the native method's work.
template <typename Body>
void guard(JNIEnv* env, Body body) noexcept {
  guard(env, 0, [&] {
    body();
    return 0;
  });
}

/// The calling thread's environment. A thread that the JVM does not know (a
/// native thread of the toolkit, calling back into a Java stream) is attached
/// for this object's life and detached afterwards; an exception that Java code
/// left on it then has no Java caller, and is printed and cleared as the JVM
/// does for an uncaught one.
class AttachedEnv {
 public:
  /// \param vm the JVM that the thread calls into.
  explicit AttachedEnv(JavaVM* vm) : vm_(vm), env_(nullptr), attached_(false) {
    void* env = nullptr;
    jint state = vm->GetEnv(&env, JNI_VERSION_1_8);
    if (state == JNI_EDETACHED) {
      state = vm->AttachCurrentThread(&env, nullptr);
      attached_ = state == JNI_OK;
    }
    if (state == JNI_OK) env_ = static_cast<JNIEnv*>(env);
  }
  ~AttachedEnv() {
    if (!attached_) return;
    if (env_->ExceptionCheck()) {
      env_->ExceptionDescribe();
      env_->ExceptionClear();
    }
    vm_->DetachCurrentThread();
  }
  AttachedEnv(const AttachedEnv&) = delete;
  AttachedEnv& operator=(const AttachedEnv&) = delete;

  /// \return the environment, or null when the thread could not be attached.
  JNIEnv* get() const { return env_; }
  /// \return the environment, to call JNI functions through.
  JNIEnv* operator->() const { return env_; }

 private:
  JavaVM* vm_;
  JNIEnv* env_;
  bool attached_;
};

/// Local references made in one pass of a loop, freed together at its end.
/// A frame that cannot be pushed leaves an OutOfMemoryError pending.
class LocalFrame {
 public:
  /// \param env the calling thread's environment.
  /// \param capacity how many local references the pass makes at most.
  LocalFrame(JNIEnv* env, jint capacity)
      : env_(env), pushed_(env->PushLocalFrame(capacity) == JNI_OK) {}
  ~LocalFrame() {
    if (pushed_) env_->PopLocalFrame(nullptr);
  }
  LocalFrame(const LocalFrame&) = delete;
  LocalFrame& operator=(const LocalFrame&) = delete;

  /// \return whether the frame is there to hold references.
  bool pushed() const { return pushed_; }

 private:
  JNIEnv* env_;
  bool pushed_;
};

/// A global reference, deleted with this object on whichever thread that is.
class GlobalRef {
 public:
  /// \param env the calling thread's environment.
  /// \param object the object to hold.
  /// \throw VelException `JAVA_INTERFACE_OTHER_INTERNAL_ERRORS` when the JVM
  ///        cannot make it.
  GlobalRef(JNIEnv* env, jobject object) : vm_(nullptr), ref_(nullptr) {
    if (env->GetJavaVM(&vm_) != JNI_OK || (ref_ = env->NewGlobalRef(object)) == nullptr)
      fail(env, VelErrorCode::JAVA_INTERFACE_OTHER_INTERNAL_ERRORS());
  }
  ~GlobalRef() {
    AttachedEnv env(vm_);
    if (env.get() != nullptr) env->DeleteGlobalRef(ref_);
  }
  GlobalRef(const GlobalRef&) = delete;
  GlobalRef& operator=(const GlobalRef&) = delete;

  /// \return the reference.
  jobject get() const { return ref_; }
  /// \return the JVM that it belongs to.
  JavaVM* vm() const { return vm_; }

 private:
  JavaVM* vm_;
  jobject ref_;
};

}  // namespace Jni
}  // namespace Quire

#endif  // QUIRE_JAVA_JNISUPPORT_H_
