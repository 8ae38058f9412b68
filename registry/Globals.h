#ifndef QUIRE_REGISTRY_GLOBALS_H_
#define QUIRE_REGISTRY_GLOBALS_H_

#include "platform/MXLock.h"
#include "quire/Object.h"

// The library's own state, built at load and torn down at unload; neither is
// exported.
extern MoxCommon::MXLock globalLock;
extern QuireCommon::Object globalObject;

#endif  // QUIRE_REGISTRY_GLOBALS_H_
