#include "registry/Globals.h"

// Both in this one unit, lock first: static destruction runs in reverse, so
// the registry's destructor, which takes the lock for every deletion, has
// finished before the lock goes.
MoxCommon::MXLock globalLock;
QuireCommon::Object globalObject;
