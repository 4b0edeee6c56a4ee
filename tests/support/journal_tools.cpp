#include "support/journal_tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "support/in_process_cli.h"

namespace sorvane::testing {

std::vector<std::string> EntryFiles(const std::string& journal) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(journal, error)) {
    const std::string kind = entry.path().extension().string();
    if (entry.is_regular_file() && (kind == ".undo" || kind == ".redo"))
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    return std::filesystem::path(a).filename() < std::filesystem::path(b).filename();
  });
  return files;
}

std::string JournalFolder(const std::string& journal) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(journal, error)) {
    if (entry.is_directory() && entry.path().filename() != "index") return entry.path().string();
  }
  return "";
}

void KillingFileIo::Count() {
  if (++calls_ == killAt_) ::kill(::getpid(), SIGKILL);
}

ssize_t KillingFileIo::PWrite(int fd, const void* data, std::size_t size, std::int64_t offset) {
  Count();
  return FileIo::PWrite(fd, data, size, offset);
}

int KillingFileIo::Truncate(int fd, std::int64_t length) {
  Count();
  return FileIo::Truncate(fd, length);
}

int KillingFileIo::Sync(int fd) {
  Count();
  return FileIo::Sync(fd);
}

int KillingFileIo::Reserve(int fd, std::int64_t offset, std::int64_t size) {
  Count();
  return FileIo::Reserve(fd, offset, size);
}

int KillingFileIo::Rename(const char* from, const char* to) {
  Count();
  return FileIo::Rename(from, to);
}

int CountCalls(const std::vector<std::string>& words) {
  KillingFileIo counting(0);
  RunInProcess(words, counting);
  return counting.Calls();
}

bool RunKilledAtCall(const std::vector<std::string>& words, int k) {
  const pid_t child = ::fork();
  if (child == 0) {
    KillingFileIo killing(k);
    RunInProcess(words, killing);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

void SetModifiedTime(const std::string& path, long long ns) {
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(ns / 1000000000), long(ns % 1000000000)}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

long long ModifiedTime(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec
                                        : -1;
}

}  // namespace sorvane::testing
