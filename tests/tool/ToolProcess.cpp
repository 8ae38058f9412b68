#include "tests/tool/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace quire_test {
namespace {

void closeIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Appends what fd has now, closing it at its end.
void drain(int& fd, std::string& into) {
  char block[1 << 16];
  const ssize_t got = ::read(fd, block, sizeof block);
  if (got > 0) into.append(block, static_cast<std::size_t>(got));
  if (got == 0 || (got < 0 && errno != EINTR)) closeIfOpen(fd);
}

// Between fork and exec: only calls that are safe there.
[[noreturn]] void becomeTool(char** argv, const ToolOptions& options, const int (&ends)[3]) {
  for (int fd = 0; fd < 3; ++fd) ::dup2(ends[fd], fd);
  if (options.closedOutput) ::close(1);
  if (!options.outputFile.empty())
    ::dup2(::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
  // Whatever the test runner ignores, the tool meets these as a user sends them.
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(s, SIG_DFL);
  if (options.fileSizeLimit >= 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                       static_cast<rlim_t>(options.fileSizeLimit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ::execv(argv[0], argv);
  ::_exit(127);
}

}  // namespace

ToolProcess::ToolProcess(const std::vector<std::string>& args, const ToolOptions& options) {
  std::vector<std::string> words{QUIRE_TOOL_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);

  int pipes[3][2];
  for (auto& p : pipes)
    if (::pipe2(p, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const int toolEnds[3] = {pipes[0][0], pipes[1][1], pipes[2][1]};
  fds_[0] = pipes[0][1], fds_[1] = pipes[1][0], fds_[2] = pipes[2][0];
  // Closed before the tool starts, so that its first write meets no reader;
  // and SIGPIPE would end the test when the tool stops reading early.
  if (options.brokenOutput) closeIfOpen(fds_[1]);
  ::signal(SIGPIPE, SIG_IGN);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) becomeTool(argv.data(), options, toolEnds);
  for (int end : toolEnds) ::close(end);
  ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
}

ToolProcess::~ToolProcess() {
  for (int& fd : fds_) closeIfOpen(fd);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

std::string ToolProcess::exchange(const std::string& input, std::size_t count) {
  pump(input, false, count);
  return std::move(result_.out);
}

ToolResult ToolProcess::finish(const std::string& input) {
  pump(input, true, std::string::npos);
  int status = 0;
  rusage usage{};
  if (::wait4(pid_, &status, 0, &usage) == pid_) {
    pid_ = -1;
    result_.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result_.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result_.peakKilobytes = usage.ru_maxrss;
  }
  return result_;
}

// Input and output move together: a tool that streams would otherwise fill
// its output pipe and stop reading.
void ToolProcess::pump(const std::string& input, bool thenClose, std::size_t count) {
  result_.out.clear();
  for (std::size_t written = 0; (written < input.size() || result_.out.size() < count) &&
                                (fds_[1] >= 0 || fds_[2] >= 0);) {
    if (written == input.size() && thenClose) closeIfOpen(fds_[0]);
    pollfd ready[3] = {{written < input.size() ? fds_[0] : -1, POLLOUT, 0},
                       {fds_[1], POLLIN, 0},
                       {fds_[2], POLLIN, 0}};
    if (::poll(ready, 3, 30000) <= 0) break;
    if (ready[1].revents != 0) drain(fds_[1], result_.out);
    if (ready[2].revents != 0) drain(fds_[2], result_.err);
    if (ready[0].revents != 0) {
      const ssize_t put = ::write(fds_[0], input.data() + written,
                                  std::min<std::size_t>(input.size() - written, 1 << 16));
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // no reader
    }
  }
}

ToolResult runTool(const std::vector<std::string>& args, const std::string& input,
                   const ToolOptions& options) {
  return ToolProcess(args, options).finish(input);
}

}  // namespace quire_test
