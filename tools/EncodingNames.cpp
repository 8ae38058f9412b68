#include "tools/EncodingNames.h"

#include <cctype>
#include <cstring>

#include "text/EncodingChoice.h"

namespace quire_tool {
namespace {

struct Spellings {
  const char* name;
  const char* const aliases[7];
};

// Shift_JIS proper lacks the Windows extensions, but people who type it mean
// their Windows text.
const Spellings kEncodings[] = {
    {"WINDOWS31J", {"WINDOWS-31J", "CP932", "MS932", "SJIS", "SHIFT_JIS", "SHIFT-JIS", nullptr}},
    {"EUC-JP", {"EUCJP", "EUC_JP", "UJIS", nullptr}},
    {"ISO-2022-JP", {"ISO2022JP", "ISO_2022_JP", "CSISO2022JP", nullptr}},
    {"UTF-8", {"UTF8", nullptr}},
    {"ChineseGBK", {"GBK", "CP936", "MS936", "WINDOWS-936", nullptr}},
};

bool sameIgnoringCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

const char* findEncoding(const std::string& name) {
  for (const Spellings& e : kEncodings) {
    bool match = sameIgnoringCase(name, e.name);
    for (const char* const* alias = e.aliases; !match && *alias != nullptr; ++alias)
      match = sameIgnoringCase(name, *alias);
    // The library's own text, which the converter is handed.
    if (match) return Quire::findMbcsEncoding(e.name);
  }
  return nullptr;
}

std::string listEncodings(bool withAliases) {
  std::string list;
  for (const Spellings& e : kEncodings) {
    list += withAliases ? std::string("  ") + e.name + std::string(12 - std::strlen(e.name), ' ')
                        : e.name;
    for (const char* const* alias = e.aliases; withAliases && *alias != nullptr; ++alias)
      list += std::string(alias == e.aliases ? "" : ", ") + *alias;
    list += '\n';
  }
  return list;
}

}  // namespace quire_tool
