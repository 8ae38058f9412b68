#include "tests/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace quire_test {

namespace fs = std::filesystem;

void putEnv(const char* name, const char* value) {
#if defined(_WIN32)
  ::_putenv_s(name, value != nullptr ? value : "");  // an empty value removes the variable
#else
  value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) oldValue_ = old;
  putEnv(name, value);
}

ScopedEnv::~ScopedEnv() { putEnv(name_.c_str(), oldValue_ ? oldValue_->c_str() : nullptr); }

TempDir::TempDir() {
  // create_directory throws when it cannot create, and is false on a name taken.
  std::random_device random;
  do {
    path_ = (fs::temp_directory_path() / ("quire-test-" + std::to_string(random()))).string();
  } while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool fileExists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

bool openHere(const std::string& path) {
#if defined(_WIN32)
  // Every opener here shares the file: asking for it alone fails while one holds it.
  const HANDLE alone = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (alone != INVALID_HANDLE_VALUE) ::CloseHandle(alone);
  return alone == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
#else
  std::error_code gone;  // a descriptor closed meanwhile, or no file at path
  for (const auto& fd : fs::directory_iterator("/proc/self/fd"))
    if (fs::equivalent(fd.path(), path, gone)) return true;
  return false;
#endif
}

}  // namespace quire_test
