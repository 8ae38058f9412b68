#ifndef QUIRE_JAVA_JNI_JAVASTREAMS_H_
#define QUIRE_JAVA_JNI_JAVASTREAMS_H_

#include <jni.h>

#include <ios>
#include <istream>
#include <ostream>
#include <streambuf>

#include "quire/java/JniSupport.h"

namespace Quire {
namespace JavaBinding {

// A std::streambuf over a java.io stream that calls back into Java from
// whichever thread uses it, and never closes the stream. Unbuffered: every
// byte that the Java stream gives or takes is one that C++ asked for.
class JavaStreamBuf : public std::streambuf {
 protected:
  JavaStreamBuf(JNIEnv* env, jobject stream);
  // After a call into the stream: true when it threw. An IOException is the
  // stream's own failure, cleared here and told by the caller's result;
  // anything else stays pending for the Java caller.
  bool threw(JNIEnv* env) const;

  Jni::GlobalRef stream_;
  Jni::GlobalRef ioException_;
};

class JavaInputBuf : public JavaStreamBuf {
 public:
  JavaInputBuf(JNIEnv* env, jobject in);

 protected:
  std::streamsize xsgetn(char* s, std::streamsize n) override;
  // One byte at a time, for C++ code that reads characters from the stream.
  int_type underflow() override;
  // A Java stream only goes forward: its position can be told, not moved.
  pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode which) override;

 private:
  // One call of InputStream.read into s: the count, or -1 at the end or on a
  // failure.
  std::streamsize readJava(char* s, std::streamsize n);

  jmethodID read_;
  std::streamoff consumed_ = 0;
  char ahead_ = 0;  // the byte that underflow read
};

class JavaOutputBuf : public JavaStreamBuf {
 public:
  JavaOutputBuf(JNIEnv* env, jobject out);

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int_type overflow(int_type c) override;
  int sync() override;  // OutputStream.flush

 private:
  jmethodID write_;
  jmethodID flush_;
};

// What the copies of a parameter on a Java stream share: the adapter and the
// standard stream that the parameter holds. A failed transfer throws, which
// the parameter's operations report as -1.
template <typename Buf, typename Stream>
struct JavaStream {
  JavaStream(JNIEnv* env, jobject javaStream) : buf(env, javaStream), stream(&buf) {
    stream.exceptions(std::ios::badbit);
  }
  Buf buf;
  Stream stream;
};

using JavaInput = JavaStream<JavaInputBuf, std::istream>;
using JavaOutput = JavaStream<JavaOutputBuf, std::ostream>;

}  // namespace JavaBinding
}  // namespace Quire

#endif  // QUIRE_JAVA_JNI_JAVASTREAMS_H_
