#include "tools/Commands.h"

namespace quire_tool {

int runCopy(const Args&) { return usageError("copy", "not built yet"); }

}  // namespace quire_tool
