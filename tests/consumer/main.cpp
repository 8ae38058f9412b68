// A client of the installed package: it builds against the installed headers,
// links, and makes one call of each kind across the library's boundary (what
// they do is tested in the library's own suites). Prints "consumer ok".
#include <cstdio>
#include <string>

#include <quire/quire.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;  // usage: consumer WRITABLE_DIRECTORY
  const Quire::VelParamString path((std::string(argv[1]) + "/consumer.bin").c_str());
  char bytes[] = "12345";
  std::string failed;
  {
    Quire::VelParamOutput output(path);
    if (output.write(bytes, 5) != 5) failed += " output";
    output.setRemoveFlag(0);  // kept for the input below
  }
  if (Quire::VelParamInput(path).read(bytes, 6) != 5) failed += " input";
  Quire::VelException error(Quire::VelErrorCode::INVALID_PAGE_NUMBER());
  if (error.getErrorMessageJP().wstr_length() != 14) failed += " exception";
  QuireCommon::Object registry;
  const int handle = registry.createNativeObject(QuireCommon::QUIRE_OBJ_PARAM_STRING, nullptr);
  if (registry.getNativeObject(handle) == 0) failed += " registry";
  registry.releaseNativeObject(handle);
  if (Quire::VelFileSystemCode::UNIX() != 8) failed += " file-system-code";
  if (!failed.empty()) std::fprintf(stderr, "consumer: wrong results from%s\n", failed.c_str());
  if (failed.empty()) std::puts("consumer ok");
  return failed.empty() ? 0 : 1;
}
