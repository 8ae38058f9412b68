#include "quire/VelFileSystemCode.h"

namespace Quire {

VelFileSystemCode::VelFileSystemCode() = default;
VelFileSystemCode::~VelFileSystemCode() = default;
VelFileSystemCode& VelFileSystemCode::operator=(const VelFileSystemCode&) { return *this; }

int VelFileSystemCode::FILE() { return 1; }
int VelFileSystemCode::MAC() { return 2; }
int VelFileSystemCode::DOS() { return 4; }
int VelFileSystemCode::UNIX() { return 8; }

}  // namespace Quire
