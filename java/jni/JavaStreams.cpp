#include "jni/JavaStreams.h"

#include <algorithm>

namespace Quire {
namespace JavaBinding {
namespace {

// The largest Java array that one call passes: a long transfer goes in
// pieces rather than as one array of its whole size.
constexpr std::streamsize kChunk = 1 << 16;

jsize chunkOf(std::streamsize n) { return static_cast<jsize>(std::min(n, kChunk)); }

}  // namespace

JavaStreamBuf::JavaStreamBuf(JNIEnv* env, jobject stream)
    : stream_(env, stream), ioException_(env, Jni::findClass(env, "java/io/IOException")) {}

bool JavaStreamBuf::threw(JNIEnv* env) const {
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) return false;
  env->ExceptionClear();  // IsInstanceOf may not run while it is pending
  if (!env->IsInstanceOf(thrown, static_cast<jclass>(ioException_.get()))) env->Throw(thrown);
  env->DeleteLocalRef(thrown);
  return true;
}

JavaInputBuf::JavaInputBuf(JNIEnv* env, jobject in)
    : JavaStreamBuf(env, in),
      read_(Jni::findMethod(env, Jni::findClass(env, "java/io/InputStream"), "read", "([BII)I")) {}

std::streamsize JavaInputBuf::readJava(char* s, std::streamsize n) {
  Jni::AttachedEnv env(stream_.vm());
  // A Java exception from an earlier call is the caller's: no call after it.
  if (env.get() == nullptr || env->ExceptionCheck()) return -1;
  Jni::LocalFrame frame(env.get(), 1);
  if (!frame.pushed()) return -1;
  jbyteArray buffer = env->NewByteArray(chunkOf(n));
  if (buffer == nullptr) return -1;
  const jint got = env->CallIntMethod(stream_.get(), read_, buffer, 0, chunkOf(n));
  if (threw(env.get()) || got <= 0) return -1;
  env->GetByteArrayRegion(buffer, 0, got, reinterpret_cast<jbyte*>(s));
  if (env->ExceptionCheck()) return -1;  // a count beyond the array
  consumed_ += got;
  return got;
}

std::streamsize JavaInputBuf::xsgetn(char* s, std::streamsize n) {
  std::streamsize got = 0;
  if (n > 0 && gptr() < egptr()) {
    *s = *gptr();
    gbump(1);
    got = 1;
  }
  while (got < n) {
    const std::streamsize more = readJava(s + got, n - got);
    if (more <= 0) break;
    got += more;
  }
  return got;
}

JavaInputBuf::int_type JavaInputBuf::underflow() {
  if (readJava(&ahead_, 1) != 1) return traits_type::eof();
  setg(&ahead_, &ahead_, &ahead_ + 1);
  return traits_type::to_int_type(ahead_);
}

JavaInputBuf::pos_type JavaInputBuf::seekoff(off_type off, std::ios::seekdir dir,
                                             std::ios::openmode) {
  if (off != 0 || dir != std::ios::cur) return pos_type(off_type(-1));
  return pos_type(consumed_ - (egptr() - gptr()));
}

JavaOutputBuf::JavaOutputBuf(JNIEnv* env, jobject out) : JavaStreamBuf(env, out) {
  jclass type = Jni::findClass(env, "java/io/OutputStream");
  write_ = Jni::findMethod(env, type, "write", "([BII)V");
  flush_ = Jni::findMethod(env, type, "flush", "()V");
}

std::streamsize JavaOutputBuf::xsputn(const char* s, std::streamsize n) {
  Jni::AttachedEnv env(stream_.vm());
  if (env.get() == nullptr || env->ExceptionCheck() || n <= 0) return 0;
  Jni::LocalFrame frame(env.get(), 1);
  if (!frame.pushed()) return 0;
  jbyteArray buffer = env->NewByteArray(chunkOf(n));
  if (buffer == nullptr) return 0;
  std::streamsize put = 0;
  while (put < n) {
    const jsize count = chunkOf(n - put);
    env->SetByteArrayRegion(buffer, 0, count, reinterpret_cast<const jbyte*>(s + put));
    env->CallVoidMethod(stream_.get(), write_, buffer, 0, count);
    if (threw(env.get())) break;
    put += count;
  }
  return put;
}

JavaOutputBuf::int_type JavaOutputBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

int JavaOutputBuf::sync() {
  Jni::AttachedEnv env(stream_.vm());
  if (env.get() == nullptr || env->ExceptionCheck()) return -1;
  env->CallVoidMethod(stream_.get(), flush_);
  return threw(env.get()) ? -1 : 0;
}

}  // namespace JavaBinding
}  // namespace Quire
