#include "registry/Globals.h"

// Both in this one unit, lock first: static destruction runs in reverse, so
// the registry's destructor, which takes the lock for every deletion, has
// finished before the lock goes.
MoxCommon::MXLock globalLock;
QuireCommon::Object globalObject;

#if defined(_WIN32)
#include <windows.h>

// Static initialisation and destruction do the work; every notification is
// accepted.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
