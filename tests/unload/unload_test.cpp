// Loads and unloads the shared library for real. This program does not link
// quirecommon, so that dlclose can take the library out of the process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <dlfcn.h>
#include <sys/stat.h>

#include "tests/TestSupport.h"

namespace {

using quire_test::fileExists;
using quire_test::readFile;
using quire_test::ScopedCurrentDir;
using quire_test::ScopedEnv;
using quire_test::TempDir;
using quire_test::writeFile;

bool libraryMapped() {
  std::ifstream maps("/proc/self/maps");
  const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return text.find("libquirecommon") != std::string::npos;
}

// Whether any descriptor of this process is open on the file at path.
bool openHere(const std::string& path) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) return false;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    struct stat open;
    if (::stat(entry.path().c_str(), &open) == 0 && open.st_dev == target.st_dev &&
        open.st_ino == target.st_ino)
      return true;
  }
  return false;
}

TEST(Unload, ClosesALiveFlaggedOutputAndKeepsTheFile) {
  ASSERT_FALSE(libraryMapped()) << "this program must not link quirecommon";
  TempDir dir;
  const std::string path = dir.file("alive.bin");
  std::string bytes(3000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);

  void* helper = ::dlopen(QUIRE_UNLOAD_HELPER, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, helper) << ::dlerror();
  using WriteAndKeep = int (*)(const char*, const char*, int);
  auto writeAndKeep = reinterpret_cast<WriteAndKeep>(::dlsym(helper, "helperWriteAndKeep"));
  ASSERT_NE(nullptr, writeAndKeep) << ::dlerror();
  ASSERT_EQ(3000, writeAndKeep(path.c_str(), bytes.data(), 3000));
  ASSERT_TRUE(libraryMapped());
  ASSERT_TRUE(openHere(path));
  // Some bytes must still wait in the stream's buffer, or the check of the
  // content below would prove nothing about the close at unload.
  ASSERT_LT(readFile(path).size(), bytes.size());

  ASSERT_EQ(0, ::dlclose(helper));
  EXPECT_FALSE(libraryMapped());
  EXPECT_FALSE(openHere(path));
  EXPECT_EQ(bytes, readFile(path));
}

TEST(Unload, LoadAndUnloadAloneTouchNothing) {
  TempDir dir;
  ScopedCurrentDir here(dir.path());
  writeFile("Pdf-v3-temp0.pdf", "zero");
  writeFile("Pdf-v3-temp1.pdf", "one");
  // A 'del' ahead on the search path notes any command that would run.
  const std::string bin = dir.file("bin");
  ASSERT_EQ(0, ::mkdir(bin.c_str(), 0700));
  writeFile(bin + "/del", "#!/bin/sh\necho \"$*\" >> '" + dir.file("ran") + "'\n");
  ASSERT_EQ(0, ::chmod((bin + "/del").c_str(), 0700));
  const char* oldPath = std::getenv("PATH");
  ScopedEnv path("PATH", (bin + ":" + (oldPath != nullptr ? oldPath : "/bin")).c_str());

  void* library = ::dlopen(QUIRE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, library) << ::dlerror();
  ASSERT_TRUE(libraryMapped());
  ASSERT_EQ(0, ::dlclose(library));
  EXPECT_FALSE(libraryMapped());
  EXPECT_EQ("zero", readFile("Pdf-v3-temp0.pdf"));
  EXPECT_EQ("one", readFile("Pdf-v3-temp1.pdf"));
  EXPECT_FALSE(fileExists(dir.file("ran")));
}

}  // namespace
