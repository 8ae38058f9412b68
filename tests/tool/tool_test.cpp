// The quire tool's promises, checked on the built program run as a subprocess.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/TestSupport.h"

namespace {

using namespace quire_test;
namespace fs = std::filesystem;

struct ToolResult {
  int status;  // the exit status, 128 + the signal that ended it, or -1
  std::string out, err;
};

// Each run's address space: streaming keeps far below the input (sanitizers reserve terabytes).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr rlim_t kMemoryLimit = RLIM_INFINITY;
#else
constexpr rlim_t kMemoryLimit = 64 << 20;
#endif

// What the tool meets besides its arguments.
struct Setting {
  std::string input;
  int lost = 0;  // standard output fails: ENOSPC a full device, EPIPE no reader, EBADF closed
  rlim_t fileSizeLimit = RLIM_INFINITY;
  // Run instead of writing input, with the tool, its standard input and its output's file.
  std::function<void(pid_t tool, int input, const std::string& output)> meanwhile{};
  std::string output{};  // a file that standard output appends to, instead of a new one
  bool asNobody = false;
};

// A private character device 1,minor (3 null, 5 zero, 7 full) at path.
bool makeDevice(const std::string& path, unsigned minor) {
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// Runs the tool as a user would (the signals that the runner ignores at their defaults), no core.
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
  // Only root, on a file system that allows devices, can make a full one and open it.
  if (setting.lost == ENOSPC && !makeDevice(dir.file("full"), 7)) return {-1, "", "no device"};
  const int outFd = ::open(setting.lost == ENOSPC ? dir.file("full").c_str() : out.c_str(),
                           O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (outFd < 0) return {-1, "", "no device"};
  int in[2], broken[2];
  ::pipe2(in, O_CLOEXEC);
  ::pipe2(broken, O_CLOEXEC);
  ::close(broken[0]);
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
    if (nobody != nullptr && (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                              ::setuid(nobody->pw_uid) != 0))
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

// Whether text is pattern, where each "..." in pattern stands for any bytes.
bool matches(std::string_view text, std::string_view pattern) {
  const std::size_t gap = pattern.find("...");
  if (gap == std::string_view::npos) return text == pattern;
  if (text.substr(0, gap) != pattern.substr(0, gap)) return false;
  for (std::size_t at = gap; at <= text.size(); ++at)
    if (matches(text.substr(at), pattern.substr(gap + 3))) return true;
  return false;
}

// The words of a command line; a "~" in a word stands for a space.
std::vector<std::string> wordsOf(const std::string& line) {
  std::istringstream words(line);
  std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
  for (std::string& arg : args) std::replace(arg.begin(), arg.end(), '~', ' ');
  return args;
}

// A command line, its input, its standard output and error ("..." for any bytes), its exit
// status, what else it meets, and the encoding variables.
struct Row {
  std::string line, input, out, err;
  int status;
  Setting setting{};
  const char* vel30 = "UTF-8";
  const char* lang = nullptr;
};

void checkRows(std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    ScopedEnv vel30("VEL30_MBCS_ENCODING", row.vel30), lang("LANG", row.lang);
    Setting setting = row.setting;
    setting.input = row.input;
    const ToolResult run = runTool(wordsOf(row.line), setting);
    EXPECT_TRUE(matches(run.out, row.out)) << run.out;
    EXPECT_TRUE(matches(run.err, row.err)) << run.err;
    EXPECT_EQ(run.status, row.status);
    EXPECT_TRUE(row.status == 0 || std::count(run.err.begin(), run.err.end(), '\n') == 1)
        << "one line says why";
  }
}

// Standard output lost: a full device or a closed one is reported in one line; a pipe that
// nobody reads ends the tool quietly by SIGPIPE, as it ends cat.
void checkLostOutput(const std::vector<std::string>& args) {
  for (int lost : {ENOSPC, EBADF, EPIPE}) {
    const ToolResult run = runTool(args, {"", lost});
    if (run.err == "no device") continue;  // a full one cannot be made here
    EXPECT_EQ(run.status, lost == EPIPE ? 128 + SIGPIPE : 1) << lost;
    EXPECT_EQ(run.err, lost == EPIPE ? "" : "quire: cannot write standard output: " +
                                                std::string(std::strerror(lost)) + "\n");
  }
}

TEST(ToolTest, ErrorInspectAndEncodingPrintWhatTheLibraryGives) {
  checkRows({
      {"--help", "", "usage: quire COMMAND...", "", 0},
      {"error 3104", "",
       u8"3104\nPRINTING_IS_NOT_ALLOWED\nPrinting is not allowed.\n印刷が許可されていません\n", "", 0},
      {"error -- -42", "", u8"-42\n-\nOther errors\nその他のエラーです\n"
                          "(-42 is not an error code: these are the default messages)\n", "", 0},
      {"inspect aé😀", "", "narrow: 61 C3 A9 F0 9F 98 80\nucs2:   0061 00E9 D83D DE00\n"
                           "cstr_length: 7\nwstr_length: 4\nlength: 4\n", "", 0},
      {"encoding", "", "UTF-8 (VEL30_MBCS_ENCODING)\n", "", 0},
      {"encoding", "", "UTF-8 (LANG)\n", "", 0, {}, nullptr, "ja_JP.UTF-8"},
      {"encoding", "", "WINDOWS31J (default)\n", "", 0, {}, nullptr},
  });
  // Every command's output ends in the same check; recode's streaming one is below.
  checkLostOutput({"error", "3104"});
}

TEST(ToolTest, RecodeConvertsAndCountsWhatDidNotConvert) {
  TempDir dir;
  const std::string none = dir.file("none"), cut = dir.file("cut"), own = dir.file("own");
  writeFile(cut, "\xE6\xBC");  // the start of a character that the next file must not end
  writeFile(own, "text\n");
  Setting toOwn;  // standard output appends to own
  toOwn.output = own;
  toOwn.fileSizeLimit = 1 << 20;  // a tool that reads own on stops here, not at a full disk
  checkRows({
      // Options as Unix tools take them: bundled, anywhere, "--" ending them.
      {"recode -cfUTF-8 -teucjp", u8"a€", "a?", "", 0},
      {"recode --list", "", "WINDOWS31J\nEUC-JP\nISO-2022-JP\nUTF-8\nChineseGBK\n", "", 0},
      // Encodings as people spell them; without -f, the encoding that the library chooses.
      {"recode -t ms932 -f UTF8 -- -", u8"表示 ok\n", "\x95\\\x8E\xA6 ok\n", "", 0},
      {"recode --to=CP936", "\xC9\xBD\xBC\xA8 ok\n", "\xB1\xED\xCA\xBE ok\n", "", 0, {}, "EUC-JP"},
      // What did not convert is counted, unless -c accepts it; U+FFFD and "?"
      // in the input, and 0x3F inside an ISO-2022-JP character, are no loss.
      {"recode --from utf8 --to cp932", u8"a€😀¥b", "a???b", "quire: 0 bytes did not decode "
       "from UTF-8 and 3 characters did not encode to WINDOWS31J (-c accepts that)\n", 1},
      {"recode --from=UTF-8 -tutf-8", "a\xFF" "b\xE3\x81", u8"a\uFFFDb\uFFFD\uFFFD",
       "quire: 3 ...0 ...", 1},
      {"recode -fUtf-8 --to=EUCJP", "\xFF\xEF\xBF\xBD", "??", "quire: 1 ...1 ...", 1},
      {"recode -f UTF-8 -t iso2022jp", u8"人与?", "\x1B$B?MM?\x1B(B?", "", 0},
      // Each file is a text of its own, and so is each run that a zero byte
      // ends: the second "4A" is in ASCII. A file that cannot be read is skipped.
      {"recode -f ISO-2022-JP -t UTF-8", std::string("\x1B$B4A\0" "4A", 8),
       std::string(u8"漢\0" "4A", 6), "", 0},
      {"recode --lossy -f UTF-8 -t gbk " + cut + " - " + none + " " + cut, "\xA2", "?????",
       "quire: cannot read '" + none + "': No such file or directory\n", 1},
      // As cat: the file that standard output appends to would grow as it is read.
      {"recode -f UTF-8 -t UTF-8 " + own + " -", "more\n", "text\nmore\n",
       "quire: cannot read '" + own + "': it is the file that standard output writes to\n", 1,
       toOwn},
  });
}

TEST(ToolTest, WrongCommandLinesGiveUsageAndStatus2) {
  for (const char* line : {"", "nothing", "error", "error 31O4", "error ~3104", "error -1",
                           "error --all 1", "inspect", "--version x", "encoding x", "recode -f",
                           "recode -l x", "recode -f latin1", "recode --from-utf8"})
    checkRows({{line, "", "", "quire: ...(try 'quire ...--help')\n", 2}});
}

// Far more than the tool may hold, read 64 KiB at a time: each block ends 10 bytes further
// into a line, inside a character or a run of JIS X 0208 in turn.
TEST(ToolTest, RecodeStreamsTextLargerThanItsMemory) {
  TempDir dir;
  const std::string line = u8"日本語の文章とASCII text, 日本語の文章とASCII text\n";
  const std::string lineOut = "\x1B$BF|K\\8l$NJ8>O$H\x1B(BASCII text, "  // back in ASCII
                              "\x1B$BF|K\\8l$NJ8>O$H\x1B(BASCII text\n";
  std::string big, expected;
  for (int i = 0; i < 1250000; ++i) big += line, expected += lineOut;
  writeFile(dir.file("big"), big);
  const auto args = wordsOf("recode -f UTF-8 -t ISO-2022-JP " + dir.file("big"));
  const ToolResult run = runTool(args);
  EXPECT_TRUE(run.status == 0 && run.err.empty() && run.out == expected)
      << run.status << ", " << run.err << ", " << run.out.size() << " bytes";
  checkLostOutput(args);
}

// ISO-2022-JP output waits until the encoder is back in ASCII, as at each line's end.
TEST(ToolTest, RecodeWritesEachLineAsItArrives) {
  const std::string line = u8"一行目 ¥first\n";
  const std::string lineOut = "\x1B$B0l9TL\\\x1B(B \x1B(J\\first\x1B(B\n";
  Setting typing;  // the line comes out before the input ends
  typing.meanwhile = [&](pid_t, int input, const std::string& output) {
    ASSERT_EQ(::write(input, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    for (int tries = 0; readFile(output) != lineOut && tries < 3000; ++tries) ::usleep(10000);
    ASSERT_EQ(readFile(output), lineOut);
  };
  checkRows({{"recode --from UTF-8 --to ISO-2022-JP", "", lineOut, "", 0, typing}});
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

// What the tool writes into the FIFO at path until it ends, if it opens it at all.
std::string drainFifo(const std::string& path, pid_t tool) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  std::string got;
  char block[1 << 16];
  for (bool last = false; !last; ::usleep(1000)) {
    last = ended(tool);  // what it wrote before it ended is still read below
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;) got.append(block, n);
  }
  ::close(fd);
  return got;
}

// Each kind of SOURCE and DEST, and copies stopped on the way: what the copy says, what DEST
// holds then, and no other file made, replaced or undone.
TEST(ToolTest, CopyTreatsEachKindOfSourceAndDestAsCpDoes) {
  TempDir dir;
  const auto at = [&](const std::string& name) { return name[0] == '/' ? name : dir.file(name); };
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  const std::string kept = "the old DEST\n", script = "#!/bin/sh\n", empty;
  const std::string proc = readFile("/proc/version");
  writeFile(at("source"), bytes);
  fs::permissions(at("source"), fs::perms(0750));
  writeFile(at("setuid"), script);
  ::chmod(at("setuid").c_str(), 04755);
  // Data, a hole, data and a hole to the end.
  writeFile(at("sparse"), "head");
  fs::resize_file(at("sparse"), 8 << 20);
  std::ofstream(at("sparse"), std::ios::app) << "tail";
  fs::resize_file(at("sparse"), 12 << 20);
  const std::string sparseBytes = readFile(at("sparse"));
  for (const auto& [link, target] : {std::pair{"link", "dest"}, std::pair{"dangling", "nowhere"},
                                     std::pair{"loop", "loop"}, std::pair{"to-full", "full"}})
    fs::create_symlink(target, at(link));
  writeFile(at("hard"), kept);
  fs::create_hard_link(at("hard"), at("hard-too"));
  fs::create_directory(at("directory"));
  for (const char* fifo : {"fifo-in", "fifo-out"}) ::mkfifo(at(fifo).c_str(), 0644);
  ASSERT_EQ(::mknod(at("socket").c_str(), S_IFSOCK | 0644, 0), 0);
  const bool devices = makeDevice(at("null"), 3) && makeDevice(at("zero"), 5) &&
                       makeDevice(at("full"), 7) && std::ofstream(at("null")).is_open();
  if (!devices) std::cout << "[  SKIPPED ] device nodes: this test does not run as root\n";
  const std::set<std::string> nodes{"null", "zero", "full", "to-full"};
  const mode_t mask = ::umask(0);
  ::umask(mask);

  const struct {
    std::string source, dest;
    // Empty: the copy succeeds, or a signal stops it. "@": the path named, SOURCE or DEST.
    std::string message;
    const std::string* holds;  // what DEST holds afterwards, where it can be read
    mode_t mode = 0;  // DEST's mode afterwards, where it is checked
    int stop = 0;  // sent once the copy is under way; SIGXFSZ: a file size limit of 256 KiB
  } cases[] = {
      // A regular DEST, new or replaced whole: SOURCE's mode less umask and setuid, or its own.
      {"source", "new", "", &bytes, 0750 & ~mask},
      {"setuid", "new-setuid", "", &script, 0755 & ~mask},
      {"source", "dest", "", &bytes, 0640}, {"source", "link", "", &bytes, 0640},
      {"sparse", "new-sparse", "", &sparseBytes},
      // Sources of every kind, read to their end.
      {"/proc/version", "new-proc", "", &proc},
      {"fifo-in", "new-fifo", "", &bytes}, {"null", "new-null", "", &empty},
      // Nodes written in place.
      {"source", "null", "", nullptr}, {"source", "fifo-out", "", nullptr},
      {"source", "full", "cannot write @: No space left on device", nullptr},
      {"source", "to-full", "cannot write @: No space left on device", nullptr},
      {"source", "socket", "cannot write @: No such device or address", nullptr},
      // Refused.
      {"source", "dangling", "cannot write @: it is a dangling link", nullptr},
      {"source", "loop", "cannot write @: Too many levels of symbolic links", nullptr},
      {"source", "hard", "cannot replace @: it has other hard links, which would keep the old "
       "content", &kept},
      {"source", "directory", "cannot write @: Is a directory", nullptr},
      {"source", "source", "cannot copy to @: it is the source itself", &bytes},
      {"none", "dest", "cannot read @: No such file or directory", &kept, 0640},
      {"directory", "dest", "cannot read @: Is a directory", &kept, 0640},
      {"source", "none/dest", "cannot create a new file beside @: No such file or directory",
       nullptr},
      // Stopped on the way, by a file size limit (the tool ignores SIGXFSZ) or a signal.
      {"source", "dest", "cannot write @: File too large", &kept, 0640, SIGXFSZ},
      {"zero", "dest", "cannot write @: File too large", &kept, 0640, SIGXFSZ},
      {"fifo-in", "dest", "", &kept, 0640, SIGINT}, {"fifo-in", "dest", "", &kept, 0640, SIGTERM},
      {"fifo-in", "dest", "", &kept, 0640, SIGHUP}, {"fifo-in", "dest", "", &kept, 0640, SIGQUIT},
      {"fifo-in", "dest", "", &kept, 0640, SIGKILL},
  };
  for (const auto& c : cases) {
    if (!devices && (nodes.count(c.source) != 0 || nodes.count(c.dest) != 0)) continue;
    const std::string source = at(c.source), dest = at(c.dest);
    SCOPED_TRACE(source + " " + dest + " stopped by " + std::to_string(c.stop));
    writeFile(at("dest"), kept);
    fs::permissions(at("dest"), fs::perms(0640));
    auto kinds = kindsIn(dir.path());
    std::string said = c.message, readBack;
    const std::string& named = said.rfind("cannot read", 0) == 0 ? source : dest;
    if (!said.empty()) said = "quire: " + said.replace(said.find('@'), 1, "'" + named + "'") + "\n";
    Setting setting;
    setting.fileSizeLimit = c.stop == SIGXFSZ ? 256 << 10 : RLIM_INFINITY;
    setting.meanwhile = [&](pid_t tool, int, const std::string&) {
      if (c.dest == "fifo-out") readBack = drainFifo(dest, tool);
      if (c.source != "fifo-in") return;
      int fd;  // once the tool reads the FIFO, if ever
      while ((fd = ::open(source.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && !ended(tool))
        ::usleep(1000);
      ASSERT_GE(fd, 0);
      ::fcntl(fd, F_SETFL, 0);
      // Once 200 KiB have gone into the FIFO, the copy has written a block.
      const std::size_t count = c.stop != 0 ? 200 << 10 : bytes.size();
      EXPECT_EQ(::write(fd, bytes.data(), count), static_cast<ssize_t>(count));
      if (c.stop != 0) ::kill(tool, c.stop);
      ::close(fd);
    };
    const ToolResult run = runTool({"copy", source, dest}, setting);
    EXPECT_EQ(run.status, !said.empty() ? 1 : c.stop != 0 ? 128 + c.stop : 0);
    EXPECT_EQ(run.err, said);
    EXPECT_TRUE(c.holds == nullptr || readFile(dest) == *c.holds);
    EXPECT_TRUE(c.dest != "fifo-out" || readBack == bytes);
    EXPECT_EQ(c.mode != 0 ? static_cast<mode_t>(fs::status(dest).permissions()) : 0, c.mode);
    // No other file, no node replaced, no link undone: only a new DEST.
    if (said.empty() && c.stop == 0) kinds.emplace(c.dest, fs::file_type::regular);
    EXPECT_EQ(kindsIn(dir.path()), kinds);
  }
  struct stat before, after;
  ASSERT_EQ(::stat(at("sparse").c_str(), &before), 0);
  ASSERT_EQ(::stat(at("new-sparse").c_str(), &after), 0);
  EXPECT_LE(after.st_blocks, before.st_blocks) << "the holes stay holes";
}

TEST(ToolTest, CopyKeepsDestsOwnerOrDropsSetuidAndRefusesADestThatTheUserCannotWrite) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || nobody == nullptr) GTEST_SKIP() << "needs root and a user nobody";
  const uid_t user = nobody->pw_uid;
  TempDir dir;  // nobody's, as a home would be
  const std::string source = dir.file("source"), dest = dir.file("dest");
  ASSERT_EQ(::chown(dir.path().c_str(), user, nobody->pw_gid), 0);
  writeFile(source, "new\n");
  const struct {
    bool asNobody;
    uid_t owner, ownerAfter;  // DEST's, before and after the copy; its group is root's
    mode_t mode, modeAfter;
    std::string message;
  } cases[] = {
      {false, user, user, 04755, 04755, ""},  // root keeps a setuid program nobody's
      {true, 0, user, 04666, 0666, ""},       // nobody cannot make it root's: no setuid
      {true, user, user, 02666, 0666, ""},    // nor give it root's group: no setgid
      {true, 0, 0, 0644, 0644, "cannot write '" + dest + "': Permission denied"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + (c.asNobody ? " as nobody" : " as root"));
    writeFile(dest, "old\n");
    ASSERT_EQ(::chown(dest.c_str(), c.owner, 0), 0);
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
  }
}

}  // namespace
