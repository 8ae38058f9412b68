// Loads and unloads the shared library for real. This program does not link
// quirecommon, so that unloading can take the library out of the process.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#endif

#include "tests/TestSupport.h"

namespace {

using namespace quire_test;

// The platform's loader, as far as these tests use it.
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
  return quire_test::readFile("/proc/self/maps").find(QUIRE_LIBRARY_NAME) != std::string::npos;
}
#endif

// The helper plug-in, loaded with the library behind it.
struct Helper {
  Module module = load(QUIRE_UNLOAD_HELPER);
  int (*writeAndKeep)(const char*, const char*, int) =
      reinterpret_cast<int (*)(const char*, const char*, int)>(
          symbol(module, "helperWriteAndKeep"));
  int (*lastHandle)() = reinterpret_cast<int (*)()>(symbol(module, "helperLastHandle"));
};

TEST(Unload, ClosesLiveFlaggedOutputsKeepsTheirFilesAndStartsAfresh) {
  ASSERT_FALSE(libraryLoaded()) << "this program must not link quirecommon";
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += static_cast<char>('a' + i % 26);
  const std::string first = dir.file("first.bin"), second = dir.file("second.bin");

  Helper helper;
  ASSERT_TRUE(helper.writeAndKeep != nullptr && helper.lastHandle != nullptr);
  for (const std::string& path : {first, second}) {
    ASSERT_EQ(3000, helper.writeAndKeep(path.c_str(), bytes.data(), 3000));
    EXPECT_EQ(path == first ? 1 : 2, helper.lastHandle());
    std::thread([] {}).join();  // a thread that comes and goes changes nothing
  }
  ASSERT_TRUE(libraryLoaded());
  for (const std::string& path : {first, second}) {
    ASSERT_TRUE(openHere(path));
    // Some bytes must still wait in the stream's buffer, or the check of the
    // content below would prove nothing about the close at unload.
    ASSERT_LT(readFile(path).size(), bytes.size());
  }

  ASSERT_TRUE(unload(helper.module));
  EXPECT_FALSE(libraryLoaded());
  for (const std::string& path : {first, second}) {
    EXPECT_FALSE(openHere(path));
    EXPECT_EQ(bytes, readFile(path));
  }

  // A new load starts with an empty registry.
  Helper again;
  ASSERT_TRUE(again.writeAndKeep != nullptr);
  ASSERT_EQ(3000, again.writeAndKeep(first.c_str(), bytes.data(), 3000));
  EXPECT_EQ(1, again.lastHandle());
  ASSERT_TRUE(unload(again.module));
  EXPECT_EQ(bytes, readFile(first));
}

TEST(Unload, LoadAndUnloadAloneTouchNothing) {
  TempDir dir;
  ScopedCurrentDir here(dir.path());
  writeFile("Pdf-v3-temp0.pdf", "zero");
  writeFile("Pdf-v3-temp1.pdf", "one");
#if !defined(_WIN32)
  // A 'del' ahead on the search path notes any command that would run;
  // Windows' del is built into its command interpreter, so there the files
  // alone tell.
  const std::string bin = dir.file("bin");
  ASSERT_EQ(0, ::mkdir(bin.c_str(), 0700));
  writeFile(bin + "/del", "#!/bin/sh\necho \"$*\" >> '" + dir.file("ran") + "'\n");
  ASSERT_EQ(0, ::chmod((bin + "/del").c_str(), 0700));
  const char* oldPath = std::getenv("PATH");
  ScopedEnv path("PATH", (bin + ":" + (oldPath != nullptr ? oldPath : "/bin")).c_str());
#endif

  const Module library = load(QUIRE_LIBRARY);
  ASSERT_NE(nullptr, library);
  ASSERT_TRUE(libraryLoaded());
  ASSERT_TRUE(unload(library));
  EXPECT_FALSE(libraryLoaded());
  EXPECT_EQ("zero", readFile("Pdf-v3-temp0.pdf"));
  EXPECT_EQ("one", readFile("Pdf-v3-temp1.pdf"));
  EXPECT_FALSE(fileExists(dir.file("ran")));
}

}  // namespace
