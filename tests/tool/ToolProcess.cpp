#include "tests/tool/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/TestSupport.h"

namespace quire_test {
namespace {

// Between fork and exec: only calls that are safe there.
[[noreturn]] void becomeTool(char** argv, const int (&fds)[3], long long fileSizeLimit) {
  for (int fd = 0; fd < 3; ++fd) fds[fd] >= 0 ? ::dup2(fds[fd], fd) : ::close(fd);
  // Whatever the test runner ignores, the tool meets these as a user sends them.
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(s, SIG_DFL);
  if (fileSizeLimit >= 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ::execv(argv[0], argv);
  ::_exit(127);
}

}  // namespace

ToolResult runTool(const std::vector<std::string>& args, const std::string& input,
                   const ToolOptions& options) {
  std::vector<std::string> words{QUIRE_TOOL_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);

  TempDir dir;
  const std::string out = options.outputFile.empty() ? dir.file("out") : options.outputFile;
  int in[2] = {-1, -1}, broken[2] = {-1, -1};
  ::pipe2(in, O_CLOEXEC);
  if (options.brokenOutput && ::pipe2(broken, O_CLOEXEC) == 0) ::close(broken[0]);
  const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int errFd = ::open(dir.file("err").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const bool fileOutput = !options.closedOutput && !options.brokenOutput;
  // SIGPIPE would end the test when the tool stops reading early.
  ::signal(SIGPIPE, SIG_IGN);
  const pid_t pid = ::fork();
  if (pid == 0) becomeTool(argv.data(), {in[0], fileOutput ? outFd : broken[1], errFd}, options.fileSizeLimit);
  for (int fd : {in[0], outFd, errFd, broken[1]}) ::close(fd);
  if (options.meanwhile)
    options.meanwhile(pid, in[1], out);
  else
    for (std::size_t done = 0; done < input.size();) {
      const ssize_t put = ::write(in[1], input.data() + done, input.size() - done);
      if (put <= 0) break;
      done += static_cast<std::size_t>(put);
    }
  ::close(in[1]);

  ToolResult result;
  int status = 0;
  rusage usage{};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.peakKilobytes = usage.ru_maxrss;
  if (fileOutput && options.outputFile.empty()) result.out = readFile(out);
  result.err = readFile(dir.file("err"));
  return result;
}

}  // namespace quire_test
