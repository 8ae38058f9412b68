#include "tests/tool/ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace quire_test {
namespace {

constexpr int kPatienceMs = 30000;

void closeIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Appends what fd has now; false at its end.
bool drain(int& fd, std::string& into) {
  char block[1 << 16];
  const ssize_t got = ::read(fd, block, sizeof block);
  if (got > 0) {
    into.append(block, static_cast<std::size_t>(got));
    return true;
  }
  if (got < 0 && errno == EINTR) return true;
  closeIfOpen(fd);
  return false;
}

// Between fork and exec: only calls that are safe there.
[[noreturn]] void becomeTool(char** argv, const ToolOptions& options, int in, int out, int err) {
  ::dup2(in, 0);
  if (options.closedOutput)
    ::close(1);
  else if (!options.outputFile.empty())
    ::dup2(::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
  else
    ::dup2(out, 1);
  ::dup2(err, 2);
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

  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  // Closed before the tool starts, so that its first write meets no reader.
  if (options.brokenOutput) closeIfOpen(out[0]);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) becomeTool(argv.data(), options, in[0], out[1], err[1]);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  input_ = in[1];
  output_ = out[0];
  error_ = err[0];
}

ToolProcess::~ToolProcess() {
  closeIfOpen(input_);
  closeIfOpen(output_);
  closeIfOpen(error_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void ToolProcess::writeInput(const std::string& bytes) {
  // SIGPIPE would end the test when the tool stops reading early.
  ::signal(SIGPIPE, SIG_IGN);
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t put = ::write(input_, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    done += static_cast<std::size_t>(put);
  }
}

std::string ToolProcess::readOutput(std::size_t count) {
  std::string got;
  while (got.size() < count && output_ >= 0) {
    pollfd ready{output_, POLLIN, 0};
    if (::poll(&ready, 1, kPatienceMs) <= 0) break;
    drain(output_, got);
  }
  return got;
}

ToolResult ToolProcess::finish(const std::string& input) {
  // Input and output move together: a tool that streams would otherwise
  // fill its output pipe and stop reading.
  ::signal(SIGPIPE, SIG_IGN);
  if (input_ >= 0) ::fcntl(input_, F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  ToolResult result;
  while (output_ >= 0 || error_ >= 0) {
    if (written == input.size()) closeIfOpen(input_);
    pollfd ready[3] = {{output_, POLLIN, 0}, {error_, POLLIN, 0}, {input_, POLLOUT, 0}};
    if (::poll(ready, 3, kPatienceMs) <= 0) break;
    if (ready[0].revents != 0) drain(output_, result.out);
    if (ready[1].revents != 0) drain(error_, result.err);
    if (ready[2].revents != 0) {
      const ssize_t put = ::write(input_, input.data() + written,
                                  std::min<std::size_t>(input.size() - written, 1 << 16));
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // no reader
    }
  }
  closeIfOpen(input_);
  int status = 0;
  rusage usage{};
  if (::wait4(pid_, &status, 0, &usage) == pid_) {
    pid_ = -1;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.peakKilobytes = usage.ru_maxrss;
  }
  return result;
}

ToolResult runTool(const std::vector<std::string>& args, const std::string& input,
                   const ToolOptions& options) {
  return ToolProcess(args, options).finish(input);
}

std::string outputFailure(int error) {
  return std::string("quire: cannot write standard output: ") + std::strerror(error) + "\n";
}

}  // namespace quire_test
