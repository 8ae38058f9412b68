#ifndef QUIRE_TOOLS_REPLACEMENTFILE_H_
#define QUIRE_TOOLS_REPLACEMENTFILE_H_

#include <string>

namespace quire_tool {

// A new file beside target, written through its descriptor alone, that
// takes target's place only when commit says it is complete: target is
// either left as it was or replaced whole. Until then the file is anonymous
// where the file system allows, or removed by the destructor and by the
// signals that would end the process.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // -1 when the file could not be created; why() tells the reason.
  int fd() const { return fd_; }
  const std::string& why() const { return why_; }

  // Puts the file on the disk with what target keeps of itself (owner,
  // group, mode; for a new target, the mode of the file at sourceFd less the
  // umask) and renames it over target. False, with the reason in why(),
  // when that fails.
  bool commit(int sourceFd);

 private:
  bool failed();

  const std::string target_;
  std::string path_;  // empty while the file is anonymous
  std::string why_;
  int fd_;
  bool committed_ = false;
};

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_REPLACEMENTFILE_H_
