// The DLL's entry point. The C runtime builds the library's globals before
// the process-attach call and destroys them after the process-detach call,
// so there is nothing left to do here, and a load never fails.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
