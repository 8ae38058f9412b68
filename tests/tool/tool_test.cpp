// The quire tool's promises, checked on the built program run as a subprocess.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "text/EncodingChoice.h"
#include "text/VelCodeConverter.h"
#include "tools/Recoder.h"

namespace {

using namespace quire_test;
using Quire::VelCodeConverter;
namespace fs = std::filesystem;

struct ToolResult {
  int status;  // the exit status, 128 + the signal that ended it, or -1
  std::string out, err;
};

// Address space for every run of the tool: streaming keeps it far below the
// inputs' length. Sanitizers reserve terabytes.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr rlim_t kMemoryLimit = RLIM_INFINITY;
#else
constexpr rlim_t kMemoryLimit = 64 << 20;
#endif

// Called while the tool runs, instead of writing its input, with the tool,
// its standard input (a pipe) and the file of its standard output.
using Meanwhile = std::function<void(pid_t tool, int input, const std::string& output)>;

// What the tool meets besides its arguments.
struct Setting {
  std::string input;
  // The error that its standard output meets instead of a file: ENOSPC on a
  // full device, EPIPE on a pipe that nobody reads, EBADF closed.
  int lost = 0;
  rlim_t fileSizeLimit = RLIM_INFINITY;
  Meanwhile meanwhile{};
  std::string output{};  // a file that standard output appends to, instead of a new one
  bool asNobody = false;
};

// A private character device 1,minor (3 null, 5 zero, 7 full) at path.
bool makeDevice(const std::string& path, unsigned minor) {
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// Whether this process can make device nodes and open them (root, on a file
// system that allows them).
bool devicesWork() {
  static const bool work = [] {
    TempDir dir;
    const int fd = makeDevice(dir.file("null"), 3) ? ::open(dir.file("null").c_str(), O_WRONLY) : -1;
    if (fd >= 0) ::close(fd);
    return fd >= 0;
  }();
  return work;
}

// Runs the tool on args, as the user runs it: the signals that the test
// runner ignores are back to their defaults, and no core file is written.
ToolResult runTool(std::vector<std::string> args, const Setting& setting = {}) {
  args.insert(args.begin(), QUIRE_TOOL_PATH);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  TempDir dir;
  const std::string out = setting.output.empty() ? dir.file("out") : setting.output;
  if (setting.lost == ENOSPC && !makeDevice(dir.file("full"), 7)) return {-1, "", "no device"};
  int in[2], broken[2];
  ::pipe2(in, O_CLOEXEC);
  ::pipe2(broken, O_CLOEXEC);
  ::close(broken[0]);
  const int outFd = ::open(setting.lost == ENOSPC ? dir.file("full").c_str() : out.c_str(),
                           O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  const int errFd = ::open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const passwd* nobody = setting.asNobody ? ::getpwnam("nobody") : nullptr;
  ::signal(SIGPIPE, SIG_IGN);  // or the test would end where the tool stops reading
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Between fork and exec: only calls that are safe there.
    ::dup2(in[0], 0);
    ::dup2(setting.lost == EPIPE ? broken[1] : outFd, 1);
    if (setting.lost == EBADF) ::close(1);
    ::dup2(errFd, 2);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) ::signal(s, SIG_DFL);
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
    const rlimit fileSize{setting.fileSizeLimit, setting.fileSizeLimit},
        memory{kMemoryLimit, kMemoryLimit}, core{0, 0};
    ::setrlimit(RLIMIT_FSIZE, &fileSize);
    ::setrlimit(RLIMIT_AS, &memory);
    ::setrlimit(RLIMIT_CORE, &core);
    if (nobody != nullptr &&
        (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0))
      ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  for (int fd : {in[0], outFd, errFd, broken[1]}) ::close(fd);
  if (setting.meanwhile)
    setting.meanwhile(pid, in[1], out);
  else  // a blocking write to a pipe returns once all is read, or the tool has gone
    std::ignore = ::write(in[1], setting.input.data(), setting.input.size());
  ::close(in[1]);
  int status = 0;
  const bool ended = pid > 0 && ::waitpid(pid, &status, 0) == pid;
  return {!ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          readFile(out), readFile(dir.file("err"))};
}

// The library's converter on the whole text at once.
std::string oneShot(const char* from, const char* to, const std::string& bytes) {
  const int n = static_cast<int>(bytes.size());
  std::vector<unsigned short> units(bytes.size() + 1);
  VelCodeConverter(from, Quire::kUcs2Encoding)
      .decodeBuffer(bytes.data(), n, units.data(), VelCodeConverter::decodeCapacity(n));
  std::vector<char> out(static_cast<std::size_t>(VelCodeConverter::encodeCapacity(n)));
  VelCodeConverter(Quire::kUcs2Encoding, to)
      .encodeBuffer(units.data(), n, out.data(), static_cast<int>(out.size()));
  return out.data();
}

// Output, undecodable bytes and unencodable characters of one Recoder fed
// pieces of the given size.
std::tuple<std::string, long long, long long> inPieces(const char* from, const char* to,
                                                       const std::string& bytes, std::size_t size) {
  quire_tool::Recoder recoder(from, to);
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += size)
    recoder.add(bytes.data() + at, std::min(size, bytes.size() - at), &out);
  recoder.finish(&out);
  return {out, recoder.undecodableBytes(), recoder.unencodableCharacters()};
}

// Whether text is pattern, where each "..." in pattern stands for any bytes.
bool matches(std::string_view text, std::string_view pattern) {
  const std::size_t gap = pattern.find("...");
  if (gap == std::string_view::npos) return text == pattern;
  if (text.substr(0, gap) != pattern.substr(0, gap)) return false;
  for (std::size_t at = gap; at <= text.size(); ++at)
    if (matches(text.substr(at), pattern.substr(gap + 3))) return true;
  return false;
}

TEST(ToolTest, EachCommandLinesOutputMessageAndStatus) {
  TempDir dir;
  const std::string none = dir.file("none"), cut = dir.file("cut");
  const std::string usage = "quire: ...(try 'quire ...--help')\n";
  writeFile(cut, "\xE6\xBC");  // the start of a character that the next file must not end
  // Far more than the tool may hold, read 64 KiB at a time: each block ends 10
  // bytes further into a line, and output lost below is lost mid-stream.
  std::string big;
  for (int i = 0; i < 1250000; ++i) big += u8"日本語の文章とASCII text, 日本語の文章とASCII text\n";
  writeFile(dir.file("big"), big);
  // A command line, its input, output, standard error, exit status and encoding variables.
  const struct {
    std::string line, input, out, err;
    int status;
    const char* vel30 = "UTF-8";
    const char* lang = nullptr;
  } rows[] = {
      {"--version", "", "quire (quirecommon) " QUIRE_VERSION "\n", "", 0},
      {"--help", "", "usage: quire COMMAND...", "", 0},
      {"error 3104", "",
       u8"3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n印刷が許可されていません\n", "", 0},
      {"error 42", "", u8"42\n-\nOther errors\nその他のエラーです\n"
                       "(42 is not an error code: these are the default messages)\n", "", 0},
      {"inspect aé😀", "", "narrow: 61 C3 A9 F0 9F 98 80\nucs2:   0061 00E9 D83D DE00\n"
                           "cstr_length: 7\nwstr_length: 4\nlength: 4\n", "", 0},
      {"encoding", "", "UTF-8 (VEL30_MBCS_ENCODING)\n", "", 0},
      {"encoding", "", "UTF-8 (LANG)\n", "", 0, nullptr, "ja_JP.UTF-8"},
      {"encoding", "", "WINDOWS31J (default)\n", "", 0, nullptr},
      {"copy --help", "", "usage: quire copy SOURCE DEST\n...", "", 0},
      // Options as Unix tools take them: bundled, anywhere, "--" ending them.
      {"recode -cfUTF-8 -teucjp", u8"a€", "a?", "", 0},
      {"inspect -- --help", "", "narrow: 2D 2D 68 65 6C 70\n...", "", 0},
      {"error -- -1", "", "-1\n-\n...", "", 0},
      {"recode --help", "",
       "usage: quire recode...\n  ChineseGBK  GBK, CP936, MS936, WINDOWS-936\n", "", 0},
      {"recode --list", "", "WINDOWS31J\nEUC-JP\nISO-2022-JP\nUTF-8\nChineseGBK\n", "", 0},
      {"recode -f UTF-8 -t UTF-8 " + dir.file("big"), "", big, "", 0},
      // Encodings as people spell them; without -f, the encoding that the library chooses.
      {"recode -t ms932 -f UTF8 -- -", u8"表示 ok\n", "\x95\\\x8E\xA6 ok\n", "", 0},
      {"recode --to=CP936", "\xC9\xBD\xBC\xA8 ok\n", "\xB1\xED\xCA\xBE ok\n", "", 0, "EUC-JP"},
      // What did not convert is counted, unless -c accepts it; U+FFFD and "?"
      // in the input, and 0x3F inside an ISO-2022-JP character, are no loss.
      {"recode --from utf8 --to cp932", u8"a€😀¥b", "a???b", "quire: 0 bytes did not decode "
       "from UTF-8 and 3 characters did not encode to WINDOWS31J (-c accepts that)\n", 1},
      {"recode --lossy --from utf8 --to cp932", u8"a€😀¥b", "a???b", "", 0},
      {"recode --from=UTF-8 -tutf-8", "a\xFF" "b\xE3\x81", u8"a\uFFFDb\uFFFD\uFFFD",
       "quire: 3 ...0 ...", 1},
      {"recode -fUtf-8 --to=EUCJP", "\xFF\xEF\xBF\xBD", "??", "quire: 1 ...1 ...", 1},
      {"recode -f UTF-8 -t iso2022jp", u8"人与?", "\x1B$B?MM?\x1B(B?", "", 0},
      // Each file is a text of its own; one that cannot be read is skipped.
      {"recode -c -f UTF-8 -t gbk " + cut + " - " + none + " " + cut, "\xA2", "?????",
       "quire: cannot read '" + none + "': No such file or directory\n", 1},
      // Wrong command lines.
      {"", "", "", usage, 2}, {"nothing", "", "", usage, 2}, {"error", "", "", usage, 2},
      {"error 31O4", "", "", usage, 2}, {"error ~3104", "", "", usage, 2},
      {"error -1", "", "", usage, 2}, {"error --all 1", "", "", usage, 2},
      {"inspect", "", "", usage, 2}, {"--version x", "", "", usage, 2},
      {"encoding x", "", "", usage, 2}, {"copy only-source", "", "", usage, 2},
      {"copy a b c", "", "", usage, 2}, {"recode -f", "", "", usage, 2},
      {"recode -l x", "", "", usage, 2}, {"recode -f latin1", "", "", usage, 2},
      {"recode --from-utf8", "", "", usage, 2}, {"recode -cx", "", "", usage, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    ScopedEnv vel30("VEL30_MBCS_ENCODING", row.vel30), lang("LANG", row.lang);
    std::istringstream words(row.line);
    std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    for (std::string& arg : args) std::replace(arg.begin(), arg.end(), '~', ' ');  // a space in a word
    const ToolResult run = runTool(args, {row.input});
    EXPECT_TRUE(matches(run.out, row.out)) << run.out.substr(0, 200);
    EXPECT_TRUE(matches(run.err, row.err)) << run.err;
    EXPECT_EQ(run.status, row.status);
    if (row.status != 0) {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line says why";
      continue;
    }
    // A closed pipe ends the tool quietly, by SIGPIPE, as it ends cat.
    for (int lost : {ENOSPC, EBADF, EPIPE}) {
      if (lost == ENOSPC && !devicesWork()) continue;  // no full device to write to
      const ToolResult lostRun = runTool(args, {row.input, lost});
      EXPECT_EQ(lostRun.status, lost == EPIPE ? 128 + SIGPIPE : 1);
      EXPECT_EQ(lostRun.err, lost == EPIPE ? "" : "quire: cannot write standard output: " +
                                                      std::string(std::strerror(lost)) + "\n");
    }
  }
}

TEST(ToolTest, RecodeCutAnywhereGivesTheBytesAndCountsOfOneConversion) {
  // Starts with characters of every length and a shift, so that a cut a few
  // bytes in falls inside them: kanji, an emoji, half-width katakana, JIS X
  // 0212 (three bytes in EUC-JP), the JIS X 0201 Roman pair, and kanji whose
  // ISO-2022-JP bytes hold 0x3F.
  const std::string text =
      u8"漢人😀ｱ丂¥a‾b~c\\d简体中文€\uFFFD?もももすもももものうち\r\n¥100 JIS: 与人仁\tfin\n";
  // Malformed bytes in each encoding, in the same order as kEncodings.
  const char* const malformed[] = {"\x85\x40\xA0\xFD\x81\x7F\n", "\xA1\x41\x8F\xA1\x41\x8E\xE0\n",
                                   "\x80\x1B(Ix\x1B$B\x30\n\x30\x21\x1B(B\n",
                                   "\xE3\x81\x41\xFF\xF0\x9F\x98\n", "\x81\x30\xFF\n"};
  std::string longRun;  // no ASCII for far longer than a piece may wait
  for (int i = 0; i < 5000; ++i) longRun += u8"漢字仮名交";
  for (std::size_t f = 0; f < 5; ++f) {
    const char* const from = kEncodings[f];
    const std::string bytes = oneShot("UTF-8", from, text) + malformed[f];
    const std::string longBytes = oneShot("UTF-8", from, longRun);
    for (const char* to : kEncodings) {
      SCOPED_TRACE(std::string(from) + " to " + to);
      const auto whole = inPieces(from, to, bytes, bytes.size());
      ASSERT_EQ(std::get<0>(whole), oneShot(from, to, bytes));
      for (std::size_t size = 1; size < bytes.size(); ++size)
        ASSERT_EQ(inPieces(from, to, bytes, size), whole) << "pieces of " << size;
      EXPECT_TRUE(std::get<0>(inPieces(from, to, longBytes, 1001)) == oneShot(from, to, longBytes));
    }
  }
  // A zero byte ends a text: the second starts in ASCII, where "4A" is no kanji.
  EXPECT_EQ(std::get<0>(inPieces("ISO-2022-JP", "UTF-8", std::string("\x1B$B4A\0" "4A\0", 9), 4)),
            std::string(u8"漢\0" "4A\0", 7));
}

// ISO-2022-JP output waits until the encoder is back in ASCII, as it is at
// the end of each line; other targets wait for nothing.
TEST(ToolTest, RecodeWritesEachLineAsItArrives) {
  std::string expected;
  const auto typing = [&](pid_t, int input, const std::string& output) {
    for (const std::string line : {u8"一行目 first\n", u8"二行目 ¥second\n"}) {
      expected += oneShot("UTF-8", "ISO-2022-JP", line);
      ASSERT_EQ(::write(input, line.data(), line.size()), static_cast<ssize_t>(line.size()));
      for (int tries = 0; readFile(output) != expected && tries < 3000; ++tries) ::usleep(10000);
      ASSERT_EQ(readFile(output), expected);
    }
  };
  Setting setting;
  setting.meanwhile = typing;
  const ToolResult run = runTool({"recode", "--from", "UTF-8", "--to", "ISO-2022-JP"}, setting);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, expected);
}

// As cat: a file that standard output appends to would grow as it is read,
// until the disk is full.
TEST(ToolTest, RecodeRefusesTheFileThatItsOutputWritesTo) {
  TempDir dir;
  const std::string file = dir.file("file"), other = dir.file("other");
  writeFile(file, "text\n");
  writeFile(other, "more\n");
  Setting setting;
  setting.output = file;
  const ToolResult run = runTool({"recode", "-f", "UTF-8", "-t", "UTF-8", other, file, other}, setting);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quire: cannot read '" + file + "': it is the file that standard output writes to\n");
  EXPECT_EQ(run.out, "text\nmore\nmore\n");
}

TEST(ToolTest, CopyIsWholeOrLeavesDestAsItWasAndNoNewFile) {
  TempDir dir;
  const auto files = [&dir] { return std::distance(fs::directory_iterator(dir.path()), {}); };
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  const std::string kept = "the old DEST\n", source = dir.file("source"), dest = dir.file("dest");
  const std::string none = dir.file("none"), fresh = dir.file("new"), link = dir.file("link");
  const std::string pipe = dir.file("stdin");  // a source that the test holds open
  writeFile(source, bytes);
  writeFile(dest, kept);
  fs::permissions(dest, fs::perms(0640));
  fs::create_symlink("dest", link);
  fs::create_symlink("/dev/stdin", pipe);
  const struct {
    std::string source, dest, message;  // no message for a copy that succeeds or is stopped
    rlim_t fileSizeLimit = RLIM_INFINITY;
    int signal = 0;  // sent once the copy is under way
  } cases[] = {
      {source, fresh, ""},
      {source, dest, "cannot write '" + dest + "': File too large", 256 << 10},
      {none, dest, "cannot read '" + none + "': No such file or directory"},
      {dir.path(), dest, "cannot read '" + dir.path() + "': Is a directory"},
      {source, none + "/dest",
       "cannot create a new file beside '" + none + "/dest': No such file or directory"},
      {source, link, ""},  // through the link, dest is replaced
      {pipe, dest, "", RLIM_INFINITY, SIGTERM}, {pipe, dest, "", RLIM_INFINITY, SIGINT},
      {pipe, dest, "", RLIM_INFINITY, SIGHUP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " " + c.dest + " " + c.message + " signal " + std::to_string(c.signal));
    const auto killing = [&](pid_t tool, int input, const std::string&) {
      ASSERT_EQ(::write(input, bytes.data(), 200 << 10), 200 << 10);
      // The copy is under way once its new file stands beside DEST.
      for (int tries = 0; files() == 5 && tries < 3000; ++tries) ::usleep(10000);
      ASSERT_EQ(files(), 6);
      ::kill(tool, c.signal);
    };
    Setting setting;
    setting.fileSizeLimit = c.fileSizeLimit;
    if (c.signal != 0) setting.meanwhile = killing;
    const ToolResult run = runTool({"copy", c.source, c.dest}, setting);
    EXPECT_EQ(run.status, c.signal != 0 ? 128 + c.signal : c.message.empty() ? 0 : 1);
    EXPECT_EQ(run.err, c.message.empty() ? "" : "quire: " + c.message + "\n");
    EXPECT_TRUE(readFile(c.message.empty() ? c.dest : dest) == (c.message.empty() ? bytes : kept));
    EXPECT_EQ(files(), 5) << "source, dest, link, stdin, new: no new file left";
  }
  // Permissions as any new file gets them, or as DEST had them.
  EXPECT_EQ(fs::status(fresh).permissions(), fs::status(source).permissions());
  EXPECT_EQ(fs::status(dest).permissions(), fs::perms(0640));
  EXPECT_TRUE(fs::is_symlink(link));
}

}  // namespace
