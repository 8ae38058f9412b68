#ifndef QUIRE_PLATFORM_CONV_TABLES_H_
#define QUIRE_PLATFORM_CONV_TABLES_H_

#include <cstdint>

// Constant tables of the double-byte encodings, generated from the C
// library's iconv by platform/conv/gen (see the head of each table file).
namespace convlib {

// Bytes into characters; a cell of 0 means no character.
struct DecodeTable {
  const std::uint16_t* single;  // bytes 0x80-0xFF standing alone
  const std::uint8_t* rowOf;    // row in pairs of lead bytes 0x80-0xFF; row 0 is empty
  const std::uint16_t* pairs;   // rows of width cells for trail bytes trailLow on
  unsigned trailLow;
  unsigned width;
};

// BMP characters into bytes, 64 code points a block. A cell below 0x100 is
// one byte, any other non-zero cell two (first byte high); in EUC-JP a second
// byte without its top bit stands for the three bytes 8F, first, second | 0x80.
struct EncodeTable {
  const std::uint16_t* index;   // block of each 64 code points
  const std::uint16_t* blocks;  // 64 cells each; block 0 is empty
};

inline unsigned encodeCell(const EncodeTable& table, unsigned cp) {
  return table.blocks[table.index[cp >> 6] * 64u + (cp & 63)];
}

extern const DecodeTable kWindows31JDecode;
extern const EncodeTable kWindows31JEncode;
extern const DecodeTable kEucJpDecode;
extern const std::uint16_t kJis0212Decode[94 * 94];  // EUC-JP 8F A1-FE A1-FE
extern const EncodeTable kEucJpEncode;
extern const DecodeTable kGbkDecode;
extern const EncodeTable kGbkEncode;

}  // namespace convlib

#endif  // QUIRE_PLATFORM_CONV_TABLES_H_
