// A host's plug-in that uses quirecommon, which the unload test loads and unloads around an output.
#include <new>

#include "quire/VelParamOutput.h"

#if defined(_WIN32)
#define HELPER_EXPORT extern "C" __declspec(dllexport)
#else
#define HELPER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Static storage, never destroyed: the output outlives the unload on purpose, and nothing is left
// on the heap for a leak checker to report.
alignas(Quire::VelParamOutput) static unsigned char outputStorage[sizeof(Quire::VelParamOutput)];

// Opens a flagged output on path and writes count bytes to it in one call, whose result it returns.
// A later call abandons the earlier output, whose holder stays registered.
HELPER_EXPORT int helperWriteAndKeep(const char* path, const char* bytes, int count) {
  auto* output = new (outputStorage) Quire::VelParamOutput(path);
  return output->write(const_cast<char*>(bytes), count);
}
