// The natives of quire.common.TestHooks: what other JNI code and a toolkit's thread do with it.
#include <ostream>
#include <string>
#include <thread>

#include "jni/StreamShare.h"
#include "quire/java/JniSupport.h"
#include "quire_common_TestHooks.h"

using Quire::JavaBinding::InputShare;
using Quire::JavaBinding::OutputShare;
namespace Jni = Quire::Jni;

namespace {

// A name as JNI takes it; the test's names are ASCII, which reads the same in every encoding.
std::string utf(JNIEnv* env, jstring text) {
  Quire::VelParamString name;
  Jni::assign(env, text, name);
  return name.c_str();
}

// The native copy that a VelParamInput or VelParamOutput holds.
template <typename Share>
Share& shareOf(JNIEnv* env, jobject param) {
  jfieldID address = Jni::findField(env, env->GetObjectClass(param), "address", "J");
  return Quire::JavaBinding::shareAt<Share>(env->GetLongField(param, address));
}

}  // namespace

void Java_quire_common_TestHooks_lookUp(JNIEnv* env, jclass, jstring type, jstring member,
                                        jstring signature, jboolean field) {
  Jni::guard(env, [&] {
    jclass found = Jni::findClass(env, utf(env, type).c_str());
    if (member == nullptr) return;
    if (field)
      Jni::findField(env, found, utf(env, member).c_str(), utf(env, signature).c_str());
    else
      Jni::findMethod(env, found, utf(env, member).c_str(), utf(env, signature).c_str());
  });
}

void Java_quire_common_TestHooks_copyOnNativeThread(JNIEnv* env, jclass, jobject in, jobject out) {
  Jni::guard(env, [&] {
    std::istream& from = shareOf<InputShare>(env, in).param.getStream();
    std::ostream& to = shareOf<OutputShare>(env, out).param.getStream();
    // Byte by byte, then a flush: C++ stream calls on a thread that the JVM does not know.
    std::thread([&] { to << from.rdbuf() << std::flush; }).join();
  });
}
