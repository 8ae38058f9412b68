// Stands for a host's plug-in that uses quirecommon, so that a test which
// never links the library itself can load and unload it around a live output.
#include <new>

#include "quire/VelParamOutput.h"

namespace {

// Static storage, never destroyed: the output outlives the unload on purpose,
// and nothing is left on the heap for a leak checker to report.
alignas(Quire::VelParamOutput) unsigned char outputStorage[sizeof(Quire::VelParamOutput)];

}  // namespace

// Opens a flagged output on path and writes count bytes in pieces small
// enough to stay in the stream's buffer; returns the bytes that write took.
extern "C" __attribute__((visibility("default"))) int helperWriteAndKeep(const char* path,
                                                                         const char* bytes,
                                                                         int count) {
  auto* output = new (outputStorage) Quire::VelParamOutput(path);
  if (!output->canWrite()) return -1;
  constexpr int kPiece = 100;
  int written = 0;
  for (int at = 0; at < count; at += kPiece) {
    const int piece = count - at < kPiece ? count - at : kPiece;
    if (output->write(const_cast<char*>(bytes + at), piece) == piece) written += piece;
  }
  return written;
}
