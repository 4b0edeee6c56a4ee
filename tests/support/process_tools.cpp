#include "support/process_tools.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace sorvane::testing {
namespace {

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  std::fclose(file);
  return text;
}

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const RunOptions& options,
                            int out, int err) {
  const int in = ::open("/dev/null", O_RDONLY);
  ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(err, STDERR_FILENO);
  if (options.InterruptPending) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigprocmask(SIG_BLOCK, &interrupt, nullptr);
    ::kill(::getpid(), SIGINT);  // stays pending across exec
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options) {
  ProgramResult result;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  if (out == nullptr || err == nullptr) return result;
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) ExecChild(argv, options, ::fileno(out), ::fileno(err));
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.ExitStatus = WEXITSTATUS(status);
  result.Out = ReadAll(out);
  result.Err = ReadAll(err);
  return result;
}

bool RunKilledAfter(const std::vector<std::string>& argv, std::chrono::microseconds delay) {
  std::fflush(nullptr);
  const int sink = ::open("/dev/null", O_WRONLY);
  const auto deadline = std::chrono::steady_clock::now() + delay;
  const pid_t pid = ::fork();
  if (pid == 0) ExecChild(argv, RunOptions{}, sink, sink);
  ::close(sink);
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return false;
    ::usleep(100);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status);
}

LockHolder::LockHolder(const std::string& path) {
  int ready[2], release[2];
  if (::pipe(ready) != 0) return;
  if (::pipe(release) != 0) return;
  std::fflush(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(release[1]);  // so that the parent's close is seen as the end
    ::close(ready[0]);
    const int fd = ::open(path.c_str(), O_RDWR);
    const char held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
    (void)!::write(ready[1], &held, 1);
    char done;
    (void)!::read(release[0], &done, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  release_ = release[1];
  char held = 'n';
  held_ = pid_ > 0 && ::read(ready[0], &held, 1) == 1 && held == 'y';
  ::close(ready[0]);
}

LockHolder::~LockHolder() {
  if (release_ >= 0) ::close(release_);
  int status = 0;
  if (pid_ > 0) ::waitpid(pid_, &status, 0);
}

ProgramResult RunWords(const std::string& program, const std::string& args,
                       const RunOptions& options) {
  std::vector<std::string> argv{program};
  std::size_t at = 0;
  while ((at = args.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = args.find(' ', at);
    argv.push_back(args.substr(at, end - at));
    at = end;
  }
  return RunProgram(argv, options);
}

FileSizeLimit::FileSizeLimit(long long bytes) {
  previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
  ::getrlimit(RLIMIT_FSIZE, &previous_);
  rlimit limit = previous_;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &previous_);
  ::signal(SIGXFSZ, previousHandler_);
}

}  // namespace sorvane::testing
