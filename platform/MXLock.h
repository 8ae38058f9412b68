#ifndef QUIRE_PLATFORM_MXLOCK_H_
#define QUIRE_PLATFORM_MXLOCK_H_

#include <mutex>

namespace MoxCommon {

// The process-wide lock of the registry. Recursive, because an operation that
// holds it builds or deletes objects through calls that take it again.
class MXLock {
 public:
  MXLock() = default;
  MXLock(const MXLock&) = delete;
  MXLock& operator=(const MXLock&) = delete;

  // Registry operations hold the lock for well under a microsecond, far less
  // than a sleep and wake-up on a contended mutex costs: try a while first.
  void lock() {
    for (int i = 0; i < kSpins; ++i)
      if (mutex_.try_lock()) return;
    mutex_.lock();
  }
  void unlock() { mutex_.unlock(); }

 private:
  static constexpr int kSpins = 100;
  std::recursive_mutex mutex_;
};

// Holds an MXLock from construction to destruction.
class MXMutex {
 public:
  explicit MXMutex(MXLock& lock) : lock_(lock) { lock_.lock(); }
  ~MXMutex() { lock_.unlock(); }
  MXMutex(const MXMutex&) = delete;
  MXMutex& operator=(const MXMutex&) = delete;

 private:
  MXLock& lock_;
};

}  // namespace MoxCommon

#endif  // QUIRE_PLATFORM_MXLOCK_H_
