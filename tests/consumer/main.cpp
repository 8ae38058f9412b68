// Uses every public type of quirecommon the way a client of the installed
// package does. Prints "consumer ok" when every check holds.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <quire/quire.h>

namespace {

int failures = 0;

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "consumer: %s failed\n", what);
    ++failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: consumer WRITABLE_DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[1];

  Quire::VelParamString text("quire");
  check(text.length() == 5 && text.compare("quire") == 0, "string");

  Quire::VelException error(Quire::VelErrorCode::INVALID_PAGE_NUMBER());
  check(error.getErrorCode() == 5006, "exception code");
  check(error.getErrorMessage().compare("Invalid page number") == 0, "exception message");
  check(error.getErrorMessageJP().wstr_length() == 14, "Japanese message");

  const Quire::VelParamString path((dir + "/consumer.bin").c_str());
  {
    Quire::VelParamOutput output(path);
    char bytes[] = "12345";
    check(output.canWrite() && output.write(bytes, 5) == 5, "output write");
    output.setRemoveFlag(0);
  }
  {
    Quire::VelParamInput input(path);
    char buffer[8];
    check(input.canRead() && input.read(buffer, 8) == 5, "input read");
    check(input.seekoff(0, 1, 0) == 5, "input position");
  }
  std::remove(path.c_str());

  QuireCommon::Object registry;
  const int handle = registry.createNativeObject(QuireCommon::QUIRE_OBJ_PARAM_STRING, nullptr);
  check(handle == 1 && registry.getNativeObject(handle) != 0, "registry");
  registry.releaseNativeObject(handle);

  Quire::VelParamString kept("kept");
  Quire::getMBCstring(nullptr, kept);
  check(kept.compare("kept") == 0, "getMBCstring");
  Quire::getUNICODEstring(nullptr, kept);
  check(kept.length() == 0, "getUNICODEstring");

  check(Quire::VelFileSystemCode::UNIX() == 8, "file system code");

  if (failures == 0) std::puts("consumer ok");
  return failures == 0 ? 0 : 1;
}
