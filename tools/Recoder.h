#ifndef QUIRE_TOOLS_RECODER_H_
#define QUIRE_TOOLS_RECODER_H_

#include <cstddef>
#include <string>

#include "platform/conv/Coder.h"

namespace quire_tool {

// Converts text from one of the library's multibyte encodings to another as
// it arrives, in pieces of any size, through UCS-2: the codec engine keeps
// what a piece leaves open, so the output and the counts are those of one
// conversion of the whole text, and memory stays bounded whatever its length.
class Recoder {
 public:
  // Two of the library's encoding names.
  Recoder(const char* fromCode, const char* toCode);

  // Appends to out what bytes complete. A zero byte ends a text, as finish
  // does, and is copied through.
  void add(const char* bytes, std::size_t count, std::string* out);
  // Ends a text: a character that it cuts becomes U+FFFD, and the next text
  // starts in the initial shift state.
  void finish(std::string* out);

  // Bytes that did not decode, and characters that the target could not
  // hold (U+FFFD and "?" already in the text do not count).
  long long undecodableBytes() const { return decoder_.undecodableBytes(); }
  long long unencodableCharacters() const;

 private:
  void convert(const char* bytes, std::size_t count, bool last, std::string* out);
  void encode(const unsigned char* units, std::size_t bytes, bool last, std::string* out);

  convlib::Decoder decoder_;
  convlib::Encoder encoder_;
  // Whether the target lacks U+FFFD, so that each byte that did not decode
  // also became a "?" which lost no character of the text.
  const bool replacementUnencodable_;
};

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_RECODER_H_
