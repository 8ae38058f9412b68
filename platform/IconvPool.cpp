#include "platform/IconvPool.h"

#include <atomic>

namespace convlib {
namespace {

constexpr int kSlots = 8;

const char* iconvName(Encoding encoding) {
  switch (encoding) {
    case kWindows31J: return "WINDOWS-31J";
    case kEucJp: return "EUC-JP";
    case kIso2022Jp: return "ISO-2022-JP";
    case kUtf8: return "UTF-8";
    case kGbk: return "GBK";
    case kUtf16BE: return "UTF-16BE";
    case kUtf16LE: return "UTF-16LE";
    default: return nullptr;
  }
}

// Plain global storage: constant-initialised, and its destructor closes what
// is left when the library is unloaded (no thread_local, which would keep the
// library mapped).
struct Slots {
  std::atomic<void*> slot[kEncodingCount][kEncodingCount][kSlots];

  ~Slots() {
    for (auto& from : slot)
      for (auto& to : from)
        for (auto& s : to) {
          void* d = s.exchange(nullptr, std::memory_order_acquire);
          if (d != nullptr) iconv_close(static_cast<iconv_t>(d));
        }
  }
};

Slots pool;

}  // namespace

iconv_t IconvPool::acquire(Encoding from, Encoding to) {
  for (auto& s : pool.slot[from][to]) {
    if (s.load(std::memory_order_relaxed) == nullptr) continue;
    void* d = s.exchange(nullptr, std::memory_order_acquire);
    if (d != nullptr) {
      iconv_t cd = static_cast<iconv_t>(d);
      iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to initial state
      return cd;
    }
  }
  const char* toName = iconvName(to);
  const char* fromName = iconvName(from);
  if (toName == nullptr || fromName == nullptr) return reinterpret_cast<iconv_t>(-1);
  return iconv_open(toName, fromName);
}

void IconvPool::release(Encoding from, Encoding to, iconv_t descriptor) {
  if (descriptor == reinterpret_cast<iconv_t>(-1)) return;
  for (auto& s : pool.slot[from][to]) {
    void* expected = nullptr;
    if (s.compare_exchange_strong(expected, descriptor,
                                  std::memory_order_release,
                                  std::memory_order_relaxed)) {
      return;
    }
  }
  iconv_close(descriptor);
}

}  // namespace convlib
