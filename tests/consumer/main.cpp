// A client of the installed package: built against the installed headers and linked, it makes one
// call of each kind across the library's boundary (the suites test what they do).
#include <cstdio>
#include <string>

#include <quire/quire.h>

int main(int argc, char** argv) {
  if (argc != 2) return 2;  // usage: consumer WRITABLE_DIRECTORY
  const Quire::VelParamString path((std::string(argv[1]) + "/consumer.bin").c_str());
  char bytes[] = "12345";
  bool ok;
  {
    Quire::VelParamOutput output(path);
    ok = output.write(bytes, 5) == 5;
    output.setRemoveFlag(0);  // kept for the input below
  }
  QuireCommon::Object registry;
  ok = ok && Quire::VelParamInput(path).read(bytes, 6) == 5 &&
       Quire::VelException(5006).getErrorMessageJP().wstr_length() == 14 &&
       registry.getNativeObject(registry.createNativeObject(QuireCommon::QUIRE_OBJ_PARAM_STRING,
                                                            nullptr)) != 0 &&
       Quire::VelErrorCode::INVALID_PAGE_NUMBER() == 5006 && Quire::VelFileSystemCode::UNIX() == 8;
  std::puts(ok ? "consumer ok" : "consumer: wrong results");
  return ok ? 0 : 1;
}
