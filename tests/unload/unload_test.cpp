// Loads and unloads the shared library for real: not linked here, unloading takes it out.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "tests/TestSupport.h"

namespace {

using namespace quire_test;

// The platform's loader, as far as this test uses it.
#if defined(_WIN32)
using Module = HMODULE;
Module load(const char* path) { return ::LoadLibraryA(path); }
bool unload(Module module) { return ::FreeLibrary(module) != 0; }
void* symbol(Module module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(module, name));
}
bool libraryLoaded() { return ::GetModuleHandleA(QUIRE_LIBRARY_NAME) != nullptr; }
#else
using Module = void*;
Module load(const char* path) { return ::dlopen(path, RTLD_NOW | RTLD_LOCAL); }
bool unload(Module module) { return ::dlclose(module) == 0; }
void* symbol(Module module, const char* name) { return ::dlsym(module, name); }
bool libraryLoaded() {
  return readFile("/proc/self/maps").find(QUIRE_LIBRARY_NAME) != std::string::npos;
}
#endif

// Unloading deletes the outputs still registered: their files are flushed and
// closed but stay, though flagged. A second load does the same again.
TEST(Unload, ClosesLiveFlaggedOutputsKeepsEveryFileAndStartsAfresh) {
  TempDir dir;
  // Fewer bytes than the stream's buffer holds (512 with MinGW), so all wait there.
  const std::string bytes(400, 'q');
  const std::string paths[] = {dir.file("first.bin"), dir.file("second.bin")};
  for (int round = 0; round < 2; ++round) {
    const Module helper = load(QUIRE_UNLOAD_HELPER);
    const auto writeAndKeep = reinterpret_cast<int (*)(const char*, const char*, int)>(
        symbol(helper, "helperWriteAndKeep"));
    ASSERT_TRUE(writeAndKeep != nullptr) << "round " << round;
    for (const std::string& path : paths) {
      EXPECT_EQ(int(bytes.size()), writeAndKeep(path.c_str(), bytes.data(), int(bytes.size())));
      std::thread([] {}).join();  // a thread that comes and goes changes nothing
      ASSERT_TRUE(openHere(path));
      ASSERT_EQ("", readFile(path));  // still in the buffer, for the unload to flush
    }
    ASSERT_TRUE(libraryLoaded());
    ASSERT_TRUE(unload(helper));
    EXPECT_FALSE(libraryLoaded()) << "this program must not link quirecommon";
    for (const std::string& path : paths) {
      EXPECT_FALSE(openHere(path));
      EXPECT_EQ(bytes, readFile(path));
    }
  }
}

}  // namespace
