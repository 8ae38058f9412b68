// Every public operation run with its 1st, 2nd, 3rd ... allocation failing until it runs through:
// each failure must leave its objects, the registry and the files as they were, nothing open.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <sstream>
#include <tuple>

#include "platform/DocCore.h"
#include "quire/quire.h"
#include "registry/Globals.h"
#include "tests/TestSupport.h"

namespace {

std::atomic<long> failAt{0};  // which allocation of the armed operation fails; 0: none
std::atomic<long> counted{0}, live{0};  // allocations while armed; those not yet freed

void* allocate(std::size_t size, bool nothrow) {
  void* p = failAt != 0 && ++counted == failAt ? nullptr : std::malloc(size != 0 ? size : 1);
  if (p != nullptr)
    ++live;
  else if (!nothrow)
    throw std::bad_alloc();
  return p;
}

void release(void* p) {
  if (p != nullptr) --live;
  std::free(p);
}

}  // namespace

// Every form that the library and the standard library reach goes through the two above; the
// over-aligned ones, which the library never asks for, keep their defaults.
void* operator new(std::size_t n) { return allocate(n, false); }
void* operator new[](std::size_t n) { return allocate(n, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, true); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocate(n, true); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

namespace {

using namespace Quire;
using namespace QuireCommon;
using namespace quire_test;
using Pair = std::pair<std::string, Wide>;
constexpr auto kOther = static_cast<QUIRE_OBJ_TYPE>(4242);  // a kind outside the table

// One run of an operation whose nth allocation fails (none for n = 0).
struct Attempt {
  long n;
  bool threw = false, hit = false;  // bad_alloc came through; the nth allocation came
  template <typename Op>
  void run(Op op) {
    counted = 0;
    failAt = n;
    try {
      op();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failAt = 0;
    hit = n > 0 && counted >= n;
  }
};

// A new text and the one it replaces, in the current encoding; a file of kContent, a path to none.
constexpr char kContent[] = "sixteen bytes...";
struct Scene {
  Pair text, old;
  std::string existing, absent;
};

Pair pairOf(const VelParamString& s) { return {s.c_str(), s.w_str()}; }

// Strings changed in turn from the old text to the new: those before the one that threw hold
// the new, the rest the old, none a mix.
template <std::size_t N>
bool inTurn(const Attempt& a, const Scene& t, const VelParamString (&strings)[N]) {
  std::size_t i = 0;
  while (i < N && pairOf(strings[i]) == t.text) ++i;
  const bool stopped = i < N;
  for (; i < N; ++i)
    if (pairOf(strings[i]) != t.old) return false;
  return a.threw == stopped;
}

// The code and both messages, read without converting (through an earlier getErrorMessageJP()).
using Held = std::tuple<int, Pair, Pair>;
Held heldBy(const VelException& e, const VelParamString& japanese) {
  return {e.getErrorCode(), pairOf(e.getErrorMessage()), pairOf(japanese)};
}

// The handle that a new record takes, or 0 if it is not found while it lives, or found after.
int freshHandle(Object& registry) {
  const int handle = registry.createNativeObject(QUIRE_OBJ_PARAM_STRING, nullptr);
  const bool found = registry.getNativeObject(handle) != 0;
  registry.releaseNativeObject(handle);
  return found && registry.getNativeObject(handle) == 0 ? handle : 0;
}

// A registry whose records carry marks that no deletion touches, its protected parts at hand.
struct Probe : Object {
  Probe(int records, int firstMark) {
    static char marks[8];
    for (int i = 0; i < records; ++i)
      setNativeObject(createNativeObject(kOther, nullptr), &marks[firstMark + i]);
    tempFileNum = 0;  // nothing for the destructor to delete
  }
  using Object::deleteObject;
  using Object::newObject;
  // All that an operation could change, each handle's lookup included.
  std::string state() const {
    std::string s = std::to_string(nextHandle) + "/" + std::to_string(tempFileNum);
    for (const auto& r : records)
      s += " " + std::to_string(r.type) + ":" + std::to_string(r.handle) + ":" +
           std::to_string(r.refCount) + ":" + std::to_string(QUIRE_ADDRESS(r.object));
    for (int handle = 1; handle <= 6; ++handle) s += " " + std::to_string(getNativeObject(handle));
    return s;
  }
  // As it was, and a new record takes the handle that was next.
  bool unchanged(const std::string& before) {
    const int next = nextHandle;
    return state() == before && freshHandle(*this) == next;
  }
};

// createNativeObject, then newObject, of one kind.
template <QUIRE_OBJ_TYPE kind>
bool createAndBuild(Attempt& a, const Scene&) {
  Probe registry(3, 0);
  const std::string before = registry.state();
  bool created = false;
  QUIRE_ADDRESS object = 0;
  a.run([&] {
    registry.createNativeObject(kind, nullptr);
    created = true;
    object = registry.newObject(kind, nullptr);
  });
  registry.deleteObject(kind, reinterpret_cast<void*>(object));
  return (created || registry.unchanged(before)) && (object != 0) == (kind != kOther && !a.threw);
}

// An output that std::optional may destroy: nothing derives from it.
struct Output final : VelParamOutput {
  using VelParamOutput::VelParamOutput;
};

// A caller's stream that allocates at every refill, as a decoding stream would.
struct RefillingBuffer : std::streambuf {
  std::string chunk;
  int_type underflow() override {
    chunk = std::string(64, 'r');
    setg(&chunk[0], &chunk[0], &chunk[0] + chunk.size());
    return 'r';
  }
};

// Each operation, with objects of its own; by default run once, letting no failure pass quietly.
struct Row {
  const char* name;
  bool (*attempt)(Attempt&, const Scene&);  // false: the objects are not as they must be
  bool perText = false;  // in every encoding, with short and long text
  bool reports = false;  // reports a failure in its result, which it checks itself
};

const Row kRows[] = {
    {"VelParamString's constructors and assignments, getMBCstring, getUNICODEstring",
     [](Attempt& a, const Scene& t) {
       auto* pdf = new DocCore::PDFString("\xFE\xFF" + bytesOf(t.text.second, true));
       const VelParamString old(t.old.first.c_str());
       VelParamString s[] = {old, old, old, old, old, old};
       a.run([&] {
         const VelParamString narrow(t.text.first.c_str()), wide(t.text.second.c_str());
         s[0] = narrow;
         s[0] = s[0].w_str();  // from its own forms
         s[0] = s[0].c_str();
         s[1] = VelParamString(wide);  // a copy
         s[2] = t.text.first.c_str();
         s[3] = t.text.second.c_str();
         getMBCstring(pdf, s[4]);
         getUNICODEstring(pdf, s[5]);
       });
       pdf->release();
       return inTurn(a, t, s); }, true},
    {"VelException(code), (code, text), copy, = VelException", [](Attempt& a, const Scene& t) {
       VelParamString text(t.text.first.c_str());
       VelException target(1002);
       const VelParamString& japanese = target.getErrorMessageJP();
       const Held before = heldBy(target, japanese);
       a.run([&] {
         const VelException code(1002), source(5006, text), copy(source);
         target = copy;
       });
       return heldBy(target, japanese) == (a.threw ? before : Held{5006, t.text, t.text}); }, true},
    {"VelException::getErrorMessageJP", [](Attempt& a, const Scene& t) {
       VelParamString text(t.text.first.c_str());
       VelException e(5006, text);
       const VelParamString& japanese = e.getErrorMessageJP();
       const Held before = heldBy(e, japanese);
       a.run([&] { e.getErrorMessageJP(); });
       return !a.threw || heldBy(e, japanese) == before; }, true},
    {"createNativeObject, newObject: 1005", createAndBuild<QUIRE_OBJ_PARAM_STRING>},
    {"createNativeObject, newObject: 2012", createAndBuild<QUIRE_OBJ_PARAM_INPUT>},
    {"createNativeObject, newObject: 2013", createAndBuild<QUIRE_OBJ_PARAM_OUTPUT>},
    {"createNativeObject, newObject: another kind", createAndBuild<kOther>},
    {"Object(const Object&), Object = Object", [](Attempt& a, const Scene&) {
       Probe target(2, 3), source(3, 0);
       const std::string before = target.state();
       a.run([&] { target = Probe(source); });
       return a.threw ? target.unchanged(before) : target.state() == source.state(); }},
    {"VelParamInput, VelParamOutput on a path, file there or not: built, used, destroyed",
     [](Attempt& a, const Scene& t) {
       const VelParamString there(t.existing.c_str()), none(t.absent.c_str());
       std::optional<Output> created, emptied;
       char bytes[16];
       long results = 0;
       a.run([&] {
         VelParamInput in(there);
         results = !VelParamInput(none).canRead() + in.read(bytes, 16) + in.seekoff(-2, 2, 0);
         created.emplace(none);
         results += created->write(bytes, 16);
         emptied.emplace(there);
         created.reset();  // flagged: its file goes with it
       });
       // Each file as the outputs built so far left it, and no other way.
       return (a.threw || (results == 1 + 16 + 14 + 16 && emptied->canWrite())) &&
              fileExists(t.absent) == created.has_value() &&
              readFile(t.existing) == (emptied ? "" : kContent); }},
    {"both on a caller's stream: built, copied, assigned, read, written, destroyed",
     [](Attempt& a, const Scene& t) {
       const VelParamString label(t.absent.c_str());
       RefillingBuffer refilling;
       std::istream source(&refilling);
       std::ostringstream sink;
       VelParamInput inputs[2];
       VelParamOutput outputs[2];
       char bytes[100];
       int got = 0, written = 0;
       a.run([&] {
         const VelParamInput input(label, &source);
         const VelParamOutput output(label, &sink);
         inputs[0] = inputs[1] = VelParamInput(input);
         outputs[0] = outputs[1] = VelParamOutput(output);
         got = inputs[1].read(bytes, 100);
         written = outputs[0].write(bytes, 100);
       });
       // A caller's stream failing shows once, as the read's -1 or the sink gone bad.

       const bool readFailed = got == -1;
       return a.threw || (inputs[1].canRead() && written == 100 &&
                          readFailed + sink.bad() == a.hit &&
                          (readFailed || sink.bad() || sink.str() == std::string(100, 'r')));
     }, false, true},
};

long openDescriptors() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

TEST(OutOfMemory, EveryOperationLeavesItsObjectsAndFilesAsTheyWereWhenAllocationFails) {
  // A tool that brings its own allocator (valgrind) would leave nothing to fail.
  Attempt probe{1};
  probe.run([] { VelParamString("longer than the small buffer of a string"); });
  if (!probe.hit) GTEST_SKIP() << "this program's operator new is not the one in use";
  TempDir dir;
  long attempts = 0, rows = 0;
  for (const char* encoding : kEncodings) {
    const ScopedEncoding chosen(encoding);
    for (const int repeats : {1, 3700}) {  // some 20 bytes, and 77 to 115 KB
      Wide wide;
      for (int i = 0; i < repeats; ++i) wide += u16(u"日本語のテキスト/かな");
      const Scene t{pairOf(VelParamString(wide.c_str())),
                    pairOf(VelParamString(u16(u"古いテキスト").c_str())), dir.file("existing"),
                    dir.file("absent")};
      for (const Row& row : kRows) {
        if (!row.perText && (repeats > 1 || encoding != kEncodings[0])) continue;
        ++rows;
        for (long n = 0;; ++n) {  // 0: nothing fails, and what is built once gets built
          writeFile(t.existing, kContent);
          std::remove(t.absent.c_str());
          const long fdsBefore = openDescriptors(), liveBefore = live;
          Attempt a{n};
          const bool held = row.attempt(a, t);
          attempts += n > 0;
          const char* fault = !held ? (a.threw ? "objects or files changed" : "wrong result")
                              : n > 0 && live != liveBefore ? "allocations left"
                              : openDescriptors() != fdsBefore ? "descriptors left open"
                              : freshHandle(globalObject) == 0 ? "registry broken"
                              : a.hit && !a.threw && !row.reports ? "failure swallowed"
                                                                  : nullptr;
          if (fault != nullptr)
            ADD_FAILURE() << row.name << " in " << encoding << ", " << t.text.first.size()
                          << " bytes: " << fault << " at allocation " << n;
          if (fault != nullptr || (n > 0 && !a.hit)) break;
        }
      }
    }
  }
  std::printf("%ld operations, %ld attempts with an allocation failing\n", rows, attempts);
}

}  // namespace
