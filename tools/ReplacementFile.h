#ifndef QUIRE_TOOLS_REPLACEMENTFILE_H_
#define QUIRE_TOOLS_REPLACEMENTFILE_H_

#include <string>

namespace quire_tool {

// A new file beside target that takes target's place only when commit says
// it is complete, so that target is either left as it was or replaced
// whole. Until then the destructor, and SIGINT, SIGTERM and SIGHUP, remove it.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // False when the file could not be created; why() tells the reason.
  bool created() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  const std::string& why() const { return why_; }

  // Puts what was written into the file on the disk and renames the file
  // over target. False, with the reason in why(), when either fails.
  bool commit();

 private:
  std::string target_;
  std::string path_;
  std::string why_;
  int fd_;
  bool committed_ = false;
};

}  // namespace quire_tool

#endif  // QUIRE_TOOLS_REPLACEMENTFILE_H_
