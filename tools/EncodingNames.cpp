#include "tools/EncodingNames.h"

#include <cctype>
#include <cstring>

#include "platform/conv/Encodings.h"

namespace quire_tool {
namespace {

using convlib::Encoding;
using convlib::kEncodings;

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
  for (const Encoding& e : kEncodings) {
    bool match = sameIgnoringCase(name, e.name);
    for (const char* const* alias = e.aliases; !match && *alias != nullptr; ++alias)
      match = sameIgnoringCase(name, *alias);
    if (match) return e.name;
  }
  return nullptr;
}

std::string listEncodings(bool withAliases) {
  std::string list;
  for (const Encoding& e : kEncodings) {
    list += withAliases ? std::string("  ") + e.name + std::string(12 - std::strlen(e.name), ' ')
                        : e.name;
    for (const char* const* alias = e.aliases; withAliases && *alias != nullptr; ++alias)
      list += std::string(alias == e.aliases ? "" : ", ") + *alias;
    list += '\n';
  }
  return list;
}

}  // namespace quire_tool
