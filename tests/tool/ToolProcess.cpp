#include "tests/tool/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tests/TestSupport.h"

namespace quire_test {
namespace {

// The tool with fds as its standard streams; a negative one is closed.
pid_t spawn(const std::vector<std::string>& args, const int (&fds)[3], long long fileSizeLimit) {
  std::vector<std::string> words{QUIRE_TOOL_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  // SIGPIPE would end the test when the tool stops reading early.
  ::signal(SIGPIPE, SIG_IGN);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  // Between fork and exec: only calls that are safe there.
  for (int fd = 0; fd < 3; ++fd) fds[fd] >= 0 ? ::dup2(fds[fd], fd) : ::close(fd);
  // Whatever the test runner ignores, the tool meets these as a user sends them.
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(s, SIG_DFL);
  if (fileSizeLimit >= 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

ToolResult waitFor(pid_t pid) {
  ToolResult result;
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.peakKilobytes = usage.ru_maxrss;
  return result;
}

}  // namespace

ToolResult runTool(const std::vector<std::string>& args, const std::string& input,
                   const ToolOptions& options) {
  TempDir dir;
  writeFile(dir.file("in"), input);
  const std::string out = options.outputFile.empty() ? dir.file("out") : options.outputFile;
  int fds[3] = {::open(dir.file("in").c_str(), O_RDONLY | O_CLOEXEC),
                ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644),
                ::open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644)};
  int pipe[2] = {-1, -1};
  if (options.brokenOutput && ::pipe2(pipe, O_CLOEXEC) == 0) ::close(pipe[0]);
  const int outputFd = fds[1];
  if (options.closedOutput || options.brokenOutput) fds[1] = pipe[1];
  ToolResult result = waitFor(spawn(args, fds, options.fileSizeLimit));
  for (int fd : {fds[0], outputFd, fds[2], pipe[1]}) ::close(fd);
  if (options.outputFile.empty()) result.out = readFile(out);
  result.err = readFile(dir.file("err"));
  return result;
}

ToolProcess::ToolProcess(const std::vector<std::string>& args) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) == 0 && ::pipe2(out, O_CLOEXEC) == 0) {
    pid_ = spawn(args, {in[0], out[1], 2}, -1);
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
}

ToolProcess::~ToolProcess() {
  for (int fd : {input_, output_}) ::close(fd);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void ToolProcess::write(const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t put = ::write(input_, bytes.data() + done, bytes.size() - done);
    if (put <= 0 && errno != EINTR) return;
    done += static_cast<std::size_t>(std::max<ssize_t>(put, 0));
  }
}

std::string ToolProcess::read(std::size_t count) {
  std::string got;
  char block[1 << 16];
  pollfd ready{output_, POLLIN, 0};
  for (ssize_t n = 1; got.size() < count && n > 0 && ::poll(&ready, 1, 30000) > 0;) {
    n = ::read(output_, block, std::min(sizeof block, count - got.size()));
    got.append(block, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
  }
  return got;
}

ToolResult ToolProcess::finish() {
  ::close(input_);
  input_ = -1;
  const std::string rest = read(std::string::npos);
  ToolResult result = waitFor(pid_);
  pid_ = -1;
  result.out = rest;
  return result;
}

}  // namespace quire_test
