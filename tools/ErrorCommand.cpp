#include "tools/Commands.h"

namespace quire_tool {

int runError(const Args&) { return usageError("error", "not built yet"); }

}  // namespace quire_tool
