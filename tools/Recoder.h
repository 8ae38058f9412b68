#ifndef QUIRE_TOOLS_RECODER_H_
#define QUIRE_TOOLS_RECODER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "text/VelCodeConverter.h"

namespace quire_tool {

// How an encoding shows where its characters start.
enum class CharacterForm { kUtf8, kWindows31J, kGbk, kEucJp, kIso2022Jp };

// Converts text from one multibyte encoding to another as it arrives, in
// pieces of any size, with the bytes that one conversion of the whole text
// gives. Each piece is cut after its last whole character and converted
// through UCS-2; the rest waits for the next piece. ISO-2022-JP text
// carries its shift state into the next piece, and ISO-2022-JP output is
// cut only where the encoder is back in ASCII (after a million units
// without such a place it is cut anyway, and gains a pair of shifts).
// Memory stays bounded whatever the text's length.
class Recoder {
 public:
  Recoder(const char* fromCode, const char* toCode);

  // Appends to out what bytes complete. A zero byte ends a text, as finish
  // does, and is copied through.
  void add(const char* bytes, std::size_t count, std::string* out);
  // Ends a text: what waits is converted, an incomplete character at the
  // end as U+FFFD, and the next text starts in the initial shift state.
  void finish(std::string* out);

  // Bytes that did not decode, and characters that the target could not
  // hold (once finished; U+FFFD and "?" already in the text do not count).
  long long undecodableBytes() const { return undecodable_; }
  long long unencodableCharacters() const;

 private:
  std::size_t wholeIso2022Jp(std::string* shift) const;
  void convert(std::size_t count, bool last, std::string* out);
  void encode(const unsigned short* units, std::size_t count, std::string* out);
  std::size_t questionMarks(const char* bytes, std::size_t count) const;

  const Quire::VelCodeConverter decoder_;
  const Quire::VelCodeConverter encoder_;
  const CharacterForm from_;
  const bool toIso2022Jp_;
  std::string replacementInSource_;  // U+FFFD in the source encoding, if it has one
  bool replacementBecomesQuestion_;  // whether the target lacks U+FFFD

  // Bytes not converted yet; for ISO-2022-JP led by the escape sequence
  // of the shift state they start in.
  std::string pending_;
  std::vector<unsigned short> units_;
  std::vector<unsigned short> heldUnits_;  // ISO-2022-JP output not cut yet
  std::vector<char> encoded_;
  long long undecodable_ = 0;
  long long questionsAdded_ = 0;
};

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_RECODER_H_
