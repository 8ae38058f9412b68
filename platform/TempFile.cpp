#include "platform/TempFile.h"

#if defined(_WIN32)
#include <cstdio>
#include <cstdlib>
#else
#include <unistd.h>
#endif

namespace platform {

void deleteTempFile(const char* name) {
#if defined(_WIN32)
  // No allocation: this runs in the registry's destructor, where running out
  // of memory could only end the process. The names are the registry's own.
  char command[64];
  std::snprintf(command, sizeof command, "del %s", name);
  (void)std::system(command);
#else
  (void)::unlink(name);
#endif
}

}  // namespace platform
