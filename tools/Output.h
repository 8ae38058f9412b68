#ifndef QUIRE_TOOLS_OUTPUT_H_
#define QUIRE_TOOLS_OUTPUT_H_

#include <cstddef>

namespace quire_tool {

// Standard output as every command writes it: with stdio for short texts, or
// with writeOutput for a stream that must leave at once. The first failure
// is kept with its reason, and finishOutput reports it.

// Gives standard output a buffer larger than any short text, so that a
// short text is written, and fails, only in finishOutput, where the reason
// is still known.
void startOutput();
// Writes and flushes; false once anything written has failed.
bool writeOutput(const char* bytes, std::size_t count);
// Flushes standard output. After a failure anywhere, says why in one line on
// standard error and returns 1; otherwise returns status.
int finishOutput(int status);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_OUTPUT_H_
