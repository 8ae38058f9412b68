#include "platform/TempFile.h"

#include <string>

#if defined(_WIN32)
#include <cstdlib>
#else
#include <unistd.h>
#endif

namespace platform {

void deleteTempFile(const char* name) {
#if defined(_WIN32)
  const std::string command = std::string("del ") + name;
  (void)std::system(command.c_str());
#else
  (void)::unlink(name);
#endif
}

}  // namespace platform
