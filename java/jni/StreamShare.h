#ifndef QUIRE_JAVA_JNI_STREAMSHARE_H_
#define QUIRE_JAVA_JNI_STREAMSHARE_H_

#include <jni.h>

#include <atomic>
#include <memory>
#include <utility>

#include "jni/JavaStreams.h"
#include "quire/VelParamInput.h"
#include "quire/VelParamOutput.h"
#include "quire/VelParamString.h"
#include "quire/java/JniSupport.h"

namespace Quire {
namespace JavaBinding {

// How many StreamShares exist, for NativeLibrary.liveObjects().
extern std::atomic<int> streamShares;

// What one Java VelParamInput or VelParamOutput holds by address: its own
// copy of the library's parameter, and on a Java stream the adapter that every
// copy shares, which outlives the last of them.
template <typename Param, typename Java>
struct StreamShare {
  using JavaType = Java;

  template <typename... Args>
  explicit StreamShare(std::shared_ptr<Java> javaStream, const Args&... args)
      : java(std::move(javaStream)), param(args...) {
    ++streamShares;
  }
  StreamShare(const StreamShare& other) : java(other.java), param(other.param) { ++streamShares; }
  ~StreamShare() { --streamShares; }
  StreamShare& operator=(const StreamShare&) = delete;

  std::shared_ptr<Java> java;  // declared first, destroyed last
  Param param;
};

using InputShare = StreamShare<VelParamInput, JavaInput>;
using OutputShare = StreamShare<VelParamOutput, JavaOutput>;

template <typename Share>
Share& shareAt(jlong address) {
  return *reinterpret_cast<Share*>(address);
}

// The natives that VelParamInput and VelParamOutput have alike: a parameter
// on a path or on a Java stream, and a copy, each a new address; 0 with a
// Java exception raised when that fails.

template <typename Share>
jlong openShare(JNIEnv* env, jstring path) {
  return Jni::guard(env, jlong(0), [&] {
    VelParamString name;
    Jni::assign(env, path, name);
    return reinterpret_cast<jlong>(new Share(nullptr, name));
  });
}

template <typename Share>
jlong wrapShare(JNIEnv* env, jstring path, jobject stream) {
  return Jni::guard(env, jlong(0), [&] {
    VelParamString name;
    Jni::assign(env, path, name);
    auto java = std::make_shared<typename Share::JavaType>(env, stream);
    return reinterpret_cast<jlong>(new Share(java, name, &java->stream));
  });
}

template <typename Share>
jlong copyShare(JNIEnv* env, jlong address) {
  return Jni::guard(env, jlong(0),
                    [&] { return reinterpret_cast<jlong>(new Share(shareAt<Share>(address))); });
}

}  // namespace JavaBinding
}  // namespace Quire

#endif  // QUIRE_JAVA_JNI_STREAMSHARE_H_
