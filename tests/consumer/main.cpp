// A client of the installed package: it builds against the installed headers,
// links, and makes one call of each kind across the library's boundary (what
// they do is tested in the library's own suites). Prints "consumer ok".
#include <cstdio>
#include <string>

#include <quire/quire.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: consumer WRITABLE_DIRECTORY\n");
    return 2;
  }
  const Quire::VelParamString path((std::string(argv[1]) + "/consumer.bin").c_str());
  char bytes[] = "12345";
  int written = -1;
  {
    Quire::VelParamOutput output(path);
    written = output.write(bytes, 5);
    output.setRemoveFlag(0);  // kept for the input below
  }
  Quire::VelException error(Quire::VelErrorCode::INVALID_PAGE_NUMBER());
  QuireCommon::Object registry;
  const int handle = registry.createNativeObject(QuireCommon::QUIRE_OBJ_PARAM_STRING, nullptr);
  std::string failed;
  if (written != 5 || Quire::VelParamInput(path).read(bytes, 6) != 5) failed += " streams";
  if (error.getErrorMessageJP().wstr_length() != 14) failed += " exception";
  if (registry.getNativeObject(handle) == 0) failed += " registry";
  if (Quire::VelFileSystemCode::UNIX() != 8) failed += " file-system-code";
  registry.releaseNativeObject(handle);
  if (!failed.empty()) std::fprintf(stderr, "consumer: wrong results from%s\n", failed.c_str());
  if (failed.empty()) std::puts("consumer ok");
  return failed.empty() ? 0 : 1;
}
