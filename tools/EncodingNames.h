#ifndef QUIRE_TOOLS_ENCODINGNAMES_H_
#define QUIRE_TOOLS_ENCODINGNAMES_H_

#include <string>

namespace quire_tool {

// The library's name for an encoding that the tool is given by that name or
// by a usual other spelling (CP932, SJIS, utf8, GBK, ...), in any case; null
// for any other name.
const char* findEncoding(const std::string& name);

// The five names, one a line; with aliases, each followed by the spellings
// that stand for it.
std::string listEncodings(bool withAliases);

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_ENCODINGNAMES_H_
