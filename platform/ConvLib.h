#ifndef QUIRE_PLATFORM_CONVLIB_H_
#define QUIRE_PLATFORM_CONVLIB_H_

#include <cstddef>
#include <cstdint>

// The code-conversion component: converts between a multibyte encoding and
// UCS-2 on a context that the caller owns. Calls go convOpenOutput,
// convOpenInput, convExecute, convClose; a non-zero result from either open
// means the caller stops there. Its tables are its own (platform/conv), made
// from the C library's iconv, whose bytes it gives on every platform.

extern "C" {

// The record layout is fixed, so it is packed to 4 bytes: on a 64-bit build
// the two addresses take 8 bytes each and the whole stays 1228 bytes.
#pragma pack(push, 4)
struct ConvContext {
  const void* source;            // bytes 0-7
  std::int32_t sourceBytes;      // bytes 8-11
  std::int32_t reserved0;        // bytes 12-15
  void* target;                  // bytes 16-23
  std::int32_t targetCapacity;   // bytes 24-27
  unsigned char workState[1200]; // bytes 28-1227, the component's own
};
#pragma pack(pop)

struct ConvInputOptions {
  std::int32_t bigEndian;  // byte order of UCS-2 on this side
  std::int32_t word2;
  std::int32_t word3;
};

struct ConvOutputOptions {
  std::int32_t bigEndian;
  std::int32_t word2;
  std::int32_t word3;
  unsigned char reserved[276];
};

int convOpenOutput(ConvContext* context, const ConvOutputOptions* options,
                   const char* toCode);
int convOpenInput(ConvContext* context, const ConvInputOptions* options,
                  const char* fromCode);
int convExecute(ConvContext* context);
int convClose(ConvContext* context);

}  // extern "C"

static_assert(sizeof(ConvContext) == 1228, "context record is 1228 bytes");
static_assert(offsetof(ConvContext, source) == 0, "source at byte 0");
static_assert(offsetof(ConvContext, sourceBytes) == 8, "sourceBytes at 8");
static_assert(offsetof(ConvContext, target) == 16, "target at byte 16");
static_assert(offsetof(ConvContext, targetCapacity) == 24, "capacity at 24");
static_assert(offsetof(ConvContext, workState) == 28, "work state at 28");
static_assert(sizeof(ConvInputOptions) == 12, "input options are 12 bytes");
static_assert(sizeof(ConvOutputOptions) == 288, "output options are 288 bytes");

#endif  // QUIRE_PLATFORM_CONVLIB_H_
