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
  // The emulator's own translation buffers take more than the tool may.
  const std::vector<std::string> emulator{QUIRE_TOOL_EMULATOR};
  const rlim_t memoryLimit = emulator.empty() ? kMemoryLimit : RLIM_INFINITY;
  args.insert(args.begin(), QUIRE_TOOL_PATH);
  args.insert(args.begin(), emulator.begin(), emulator.end());
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
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ}) ::signal(s, SIG_DFL);
    const rlimit fileSize{setting.fileSizeLimit, setting.fileSizeLimit},
        memory{memoryLimit, memoryLimit}, core{0, 0};
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
  std::string err = readFile(dir.file("err"));
  // qemu says in a line of its own that a core-dumping signal ended the tool.
  const std::size_t said = emulator.empty() ? std::string::npos : err.find("qemu: uncaught");
  if (said != std::string::npos) err.erase(said, err.find('\n', said) + 1 - said);
  return {!ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
          readFile(out), err};
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
  setting.fileSizeLimit = 1 << 20;  // a tool that reads on stops here, not at a full disk
  const ToolResult run = runTool({"recode", "-f", "UTF-8", "-t", "UTF-8", other, file, other}, setting);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quire: cannot read '" + file + "': it is the file that standard output writes to\n");
  EXPECT_EQ(run.out, "text\nmore\nmore\n");
}

// Each name in a directory with the kind of file that it is (a link as a link).
std::map<std::string, fs::file_type> kindsIn(const std::string& dir) {
  std::map<std::string, fs::file_type> kinds;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir))
    kinds[entry.path().filename().string()] = entry.symlink_status().type();
  return kinds;
}

// Whether the tool has ended, without reaping it: the runner does that.
bool ended(pid_t tool) {
  siginfo_t info{};
  return ::waitid(P_PID, tool, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == tool;
}

// What the tool writes into the FIFO at path until it ends, whether or not
// it opens the FIFO at all.
std::string drainFifo(const std::string& path, pid_t tool) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  std::string got;
  char block[1 << 16];
  for (bool last = false; !last;) {
    last = ended(tool);  // what it wrote before it ended is still read below
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;) got.append(block, n);
    if (!last) ::usleep(1000);
  }
  ::close(fd);
  return got;
}

mode_t modeOf(const std::string& path) {
  struct stat facts;
  return ::stat(path.c_str(), &facts) == 0 ? facts.st_mode & 07777 : 0;
}

TEST(ToolTest, CopyWritesEachKindOfDestAsCpDoesAndLeavesEveryOtherFileAsItWas) {
  TempDir dir;
  const auto at = [&dir](const char* name) { return dir.file(name); };
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  const std::string kept = "the old DEST\n", script = "#!/bin/sh\n", empty, proc = readFile("/proc/version");
  const std::string source = at("source"), setuid = at("setuid"), sparse = at("sparse"), dest = at("dest");
  const std::string none = at("none"), link = at("link"), dangling = at("dangling"), loop = at("loop");
  const std::string hard = at("hard"), directory = at("directory"), sock = at("socket");
  const std::string fifoIn = at("fifo-in"), fifoOut = at("fifo-out");
  const std::string null = at("null"), zero = at("zero"), full = at("full"), linkToFull = at("to-full");
  writeFile(source, bytes);
  fs::permissions(source, fs::perms(0750));
  writeFile(setuid, script);
  ::chmod(setuid.c_str(), 04755);
  // Data, a hole, data and a hole to the end.
  writeFile(sparse, "head");
  fs::resize_file(sparse, 8 << 20);
  std::ofstream(sparse, std::ios::app) << "tail";
  fs::resize_file(sparse, 12 << 20);
  const std::string sparseBytes = readFile(sparse);
  fs::create_symlink("dest", link);
  fs::create_symlink("nowhere", dangling);
  fs::create_symlink("loop", loop);
  writeFile(hard, kept);
  fs::create_hard_link(hard, at("hard-too"));
  fs::create_directory(directory);
  ::mkfifo(fifoIn.c_str(), 0644);
  ::mkfifo(fifoOut.c_str(), 0644);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  sock.copy(address.sun_path, sizeof address.sun_path - 1);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(listener);
  const bool devices = devicesWork() && makeDevice(null, 3) && makeDevice(zero, 5) && makeDevice(full, 7);
  fs::create_symlink("full", linkToFull);
  if (!devices) std::cout << "[  SKIPPED ] device nodes: this test does not run as root\n";
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const std::string nodes[] = {null, zero, full, linkToFull};
  const auto isNode = [&nodes](const std::string& path) {
    return std::find(std::begin(nodes), std::end(nodes), path) != std::end(nodes);
  };

  const struct {
    std::string source, dest, message;  // no message: the copy succeeds, or a signal stops it
    const std::string* holds;  // what DEST holds afterwards, where it can be read
    mode_t mode = 0;  // DEST's mode afterwards, where it is checked
    int signal = 0;  // sent once the copy is under way
    rlim_t fileSizeLimit = RLIM_INFINITY;
  } cases[] = {
      // A regular DEST, new or replaced whole: SOURCE's mode less the umask
      // (without setuid), or DEST's own.
      {source, at("new"), "", &bytes, 0750 & ~mask},
      {setuid, at("new-setuid"), "", &script, 0755 & ~mask},
      {source, dest, "", &bytes, 0640},
      {source, link, "", &bytes, 0640},
      {sparse, at("new-sparse"), "", &sparseBytes},
      // Sources of every kind, read to their end.
      {"/proc/version", at("new-proc"), "", &proc},
      {fifoIn, at("new-fifo"), "", &bytes},
      {null, at("new-null"), "", &empty},
      // Nodes written in place.
      {source, null, "", nullptr},
      {source, fifoOut, "", nullptr},
      {source, full, "cannot write '" + full + "': No space left on device", nullptr},
      {source, linkToFull, "cannot write '" + linkToFull + "': No space left on device", nullptr},
      {source, sock, "cannot write '" + sock + "': No such device or address", nullptr},
      // Refused.
      {source, dangling, "cannot write '" + dangling + "': it is a dangling link", nullptr},
      {source, loop, "cannot write '" + loop + "': Too many levels of symbolic links", nullptr},
      {source, hard,
       "cannot replace '" + hard + "': it has other hard links, which would keep the old content", &kept},
      {source, directory, "cannot write '" + directory + "': Is a directory", nullptr},
      {source, source, "cannot copy to '" + source + "': it is the source itself", &bytes},
      {none, dest, "cannot read '" + none + "': No such file or directory", &kept, 0640},
      {directory, dest, "cannot read '" + directory + "': Is a directory", &kept, 0640},
      {source, none + "/dest",
       "cannot create a new file beside '" + none + "/dest': No such file or directory", nullptr},
      // Stopped on the way, by a file size limit (SIGXFSZ) or a signal.
      {source, dest, "cannot write '" + dest + "': File too large", &kept, 0640, 0, 256 << 10},
      {zero, dest, "cannot write '" + dest + "': File too large", &kept, 0640, 0, 256 << 10},
      {fifoIn, dest, "", &kept, 0640, SIGINT}, {fifoIn, dest, "", &kept, 0640, SIGTERM},
      {fifoIn, dest, "", &kept, 0640, SIGHUP}, {fifoIn, dest, "", &kept, 0640, SIGQUIT},
      {fifoIn, dest, "", &kept, 0640, SIGKILL},
  };
  for (const auto& c : cases) {
    if (!devices && (isNode(c.source) || isNode(c.dest))) continue;
    SCOPED_TRACE(c.source + " " + c.dest + " signal " + std::to_string(c.signal));
    writeFile(dest, kept);
    fs::permissions(dest, fs::perms(0640));
    auto kinds = kindsIn(dir.path());
    std::string readBack;
    Setting setting;
    setting.fileSizeLimit = c.fileSizeLimit;
    setting.meanwhile = [&](pid_t tool, int, const std::string&) {
      if (c.dest == fifoOut) readBack = drainFifo(fifoOut, tool);
      if (c.source != fifoIn) return;
      int fd;  // once the tool reads the FIFO, if ever
      while ((fd = ::open(fifoIn.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && !ended(tool)) ::usleep(1000);
      ASSERT_GE(fd, 0);
      ::fcntl(fd, F_SETFL, 0);
      // Once 200 KiB have gone into the FIFO, the copy has written a block.
      const std::size_t count = c.signal != 0 ? 200 << 10 : bytes.size();
      EXPECT_EQ(::write(fd, bytes.data(), count), static_cast<ssize_t>(count));
      if (c.signal != 0) ::kill(tool, c.signal);
      ::close(fd);
    };
    const ToolResult run = runTool({"copy", c.source, c.dest}, setting);
    EXPECT_EQ(run.status, c.signal != 0 ? 128 + c.signal : c.message.empty() ? 0 : 1);
    EXPECT_EQ(run.err, c.message.empty() ? "" : "quire: " + c.message + "\n");
    EXPECT_TRUE(c.holds == nullptr || readFile(c.dest) == *c.holds);
    EXPECT_EQ(c.mode != 0 ? modeOf(c.dest) : 0, c.mode);
    EXPECT_TRUE(c.dest != fifoOut || readBack == bytes);
    // No other file, no node replaced, no link undone: only a new DEST.
    if (c.message.empty() && c.signal == 0)
      kinds.emplace(fs::path(c.dest).filename().string(), fs::file_type::regular);
    EXPECT_EQ(kindsIn(dir.path()), kinds);
  }
  EXPECT_EQ(readFile(at("hard-too")), kept);
  struct stat before, after;
  ASSERT_EQ(::stat(sparse.c_str(), &before), 0);
  ASSERT_EQ(::stat(at("new-sparse").c_str(), &after), 0);
  EXPECT_LE(after.st_blocks, before.st_blocks) << "the holes stay holes";
}

TEST(ToolTest, CopyKeepsDestsOwnerOrDropsSetuidAndRefusesADestThatTheUserCannotWrite) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || nobody == nullptr) GTEST_SKIP() << "needs root and a user nobody";
  const uid_t user = nobody->pw_uid;
  const gid_t group = nobody->pw_gid;
  TempDir dir;
  const std::string home = dir.file("nobody"), source = home + "/source", dest = home + "/dest";
  fs::create_directory(home);
  ASSERT_EQ(::chown(home.c_str(), user, group), 0);
  writeFile(source, "new\n");
  const struct {
    bool asNobody;
    uid_t owner;  // DEST's before
    gid_t group;
    mode_t mode;
    std::string message;
    uid_t ownerAfter;
    mode_t modeAfter;
  } cases[] = {
      {false, user, group, 04755, "", user, 04755},  // root keeps a setuid program nobody's
      {true, 0, 0, 04666, "", user, 0666},           // nobody cannot make it root's: no setuid
      {true, user, 0, 02666, "", user, 0666},        // nor give it root's group: no setgid
      {true, 0, 0, 0644, "cannot write '" + dest + "': Permission denied", 0, 0644},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + (c.asNobody ? " as nobody" : " as root"));
    writeFile(dest, "old\n");
    ASSERT_EQ(::chown(dest.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(dest.c_str(), c.mode), 0);  // after chown, which clears setuid
    Setting setting;
    setting.asNobody = c.asNobody;
    const ToolResult run = runTool({"copy", source, dest}, setting);
    EXPECT_EQ(run.status, c.message.empty() ? 0 : 1);
    EXPECT_EQ(run.err, c.message.empty() ? "" : "quire: " + c.message + "\n");
    struct stat after;
    ASSERT_EQ(::stat(dest.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, c.ownerAfter);
    EXPECT_EQ(after.st_mode & 07777, c.modeAfter);
    EXPECT_EQ(readFile(dest), c.message.empty() ? "new\n" : "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(home), {}), 2) << "no other file";
  }
}

}  // namespace
