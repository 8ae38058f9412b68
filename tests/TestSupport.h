#ifndef QUIRE_TESTS_TESTSUPPORT_H_
#define QUIRE_TESTS_TESTSUPPORT_H_

#include <optional>
#include <string>

#include "platform/conv/Encodings.h"

namespace quire_test {

using Wide = std::basic_string<unsigned short>;

// The names of the library's five multibyte encodings, in the table's order.
constexpr const char* kEncodings[] = {
    convlib::kEncodings[0].name, convlib::kEncodings[1].name, convlib::kEncodings[2].name,
    convlib::kEncodings[3].name, convlib::kEncodings[4].name};

// Sets an environment variable, or with null unsets it.
void putEnv(const char* name, const char* value);

// putEnv for one scope, and the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> oldValue_;
};

// For one scope, VEL30_MBCS_ENCODING set to encoding (null: unset) and LANG unset.
struct ScopedEncoding {
  explicit ScopedEncoding(const char* encoding)
      : vel30("VEL30_MBCS_ENCODING", encoding), lang("LANG", nullptr) {}
  ScopedEnv vel30, lang;
};

// A fresh directory under the system's temporary one, removed with all in it at the scope's end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline Wide u16(const std::u16string& text) { return Wide(text.begin(), text.end()); }
// UCS-2 units as bytes in the order bigEndian names.
inline std::string bytesOf(const Wide& units, bool bigEndian) {
  std::string out;
  for (unsigned short u : units) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// Whether this process holds the file at path open.
bool openHere(const std::string& path);

}  // namespace quire_test

#endif  // QUIRE_TESTS_TESTSUPPORT_H_
