// Stands for a host's plug-in that uses quirecommon, so that a test which
// never links the library itself can load and unload it around a live output.
#include <cstring>
#include <new>

#include "quire/VelParamOutput.h"

#if defined(_WIN32)
#define HELPER_EXPORT extern "C" __declspec(dllexport)
#else
#define HELPER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Static storage, never destroyed: the output outlives the unload on purpose,
// and nothing is left on the heap for a leak checker to report.
alignas(Quire::VelParamOutput) unsigned char outputStorage[sizeof(Quire::VelParamOutput)];

}  // namespace

// Opens a flagged output on path and writes count bytes to it in one call.
// A later call abandons the earlier output, whose holder stays registered.
// Returns the output's registry handle: no call reports it, but it is the
// object's last member, in the layout that the public header fixes.
HELPER_EXPORT int helperWriteAndKeep(const char* path, const char* bytes, int count) {
  auto* output = new (outputStorage) Quire::VelParamOutput(path);
  output->write(const_cast<char*>(bytes), count);
  int handle;
  std::memcpy(&handle, outputStorage + sizeof outputStorage - sizeof handle, sizeof handle);
  return handle;
}
