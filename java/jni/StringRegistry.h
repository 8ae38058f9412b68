#ifndef QUIRE_JAVA_JNI_STRINGREGISTRY_H_
#define QUIRE_JAVA_JNI_STRINGREGISTRY_H_

#include <mutex>

#include "quire/Object.h"
#include "quire/VelParamString.h"

namespace Quire {
namespace JavaBinding {

// The binding's own registry of the strings that Java objects hold by handle
// (the library's own registry is not exported). It also tells how many it
// holds, which the registry has no call for: every change of that number,
// and the count, take the binding's mutex.
class StringRegistry : private QuireCommon::Object {
 public:
  // Registers a copy of text with one reference; returns its handle.
  int add(const VelParamString& text);
  using QuireCommon::Object::addrefNativeObject;
  void release(int handle);
  // Throws VelException JAVA_INTERFACE_COULD_NOT_GET_NATIVE_OBJECT for a
  // handle that it does not hold.
  VelParamString& at(int handle) const;
  int size();

 private:
  std::mutex mutex_;
};

// The binding's one registry. Never destroyed: the JVM's daemon threads, the
// Cleaner's among them, may still release strings while the process exits.
StringRegistry& strings();

}  // namespace JavaBinding
}  // namespace Quire

#endif  // QUIRE_JAVA_JNI_STRINGREGISTRY_H_
