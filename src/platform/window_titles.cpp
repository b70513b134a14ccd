#include "platform/window_titles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace zmo {

namespace {

constexpr const char* kWindowsEnv = "ZMO_WINDOWS";

std::string EntryPath(pid_t pid) { return JoinPath(WindowTitleDirectory(), std::to_string(pid)); }

// Only "<digits>" names are windows; a writer's temporary file is not.
bool PidFromName(const char* name, pid_t* pid) {
  if (!*name) return false;
  long value = 0;
  for (const char* p = name; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + (*p - '0');
    if (value > 0x7fffffff) return false;
  }
  *pid = static_cast<pid_t>(value);
  return value > 0;
}

// Reads an entry: the start time of its process and the title.
int ReadEntry(pid_t pid, std::uint64_t* start, std::string* title) {
  std::string data;
  if (ReadWholeFile(EntryPath(pid), &data) != 0) return -1;
  size_t nl = data.find('\n');
  if (nl == std::string::npos) {
    errno = EINVAL;
    return -1;
  }
  *start = std::strtoull(data.substr(0, nl).c_str(), nullptr, 10);
  *title = data.substr(nl + 1);
  return 0;
}

// The entry's title when its process still runs; a stale entry is removed.
int ReadLiveEntry(pid_t pid, std::string* title) {
  std::uint64_t start = 0;
  if (ReadEntry(pid, &start, title) != 0) return -1;
  if (start == 0 || ProcessStartTime(pid) != start) {
    unlink(EntryPath(pid).c_str());
    errno = ENOENT;
    return -1;
  }
  return 0;
}

int EnsureDirectory(const std::string& dir) {
  if (mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST) return 0;
  return -1;
}

}  // namespace

std::string WindowTitleDirectory() {
  const char* dir = std::getenv(kWindowsEnv);
  if (dir && *dir) return dir;
  return JoinPath(RegistryDirectory(), "windows");
}

int SetWindowTitle(pid_t pid, const std::string& title) {
  std::uint64_t start = ProcessStartTime(pid);
  if (start == 0) {
    errno = ESRCH;
    return -1;
  }
  if (EnsureDirectory(WindowTitleDirectory()) != 0) return -1;
  return WriteFileAtomic(EntryPath(pid), std::to_string(start) + "\n" + title, 0644);
}

int RemoveWindow(pid_t pid) {
  if (unlink(EntryPath(pid).c_str()) == 0 || errno == ENOENT) return 0;
  return -1;
}

void DropWindowIfGone(pid_t pid) {
  std::string ignored;
  ReadLiveEntry(pid, &ignored);
}

int GetWindowTitleOf(pid_t pid, std::string* title) { return ReadLiveEntry(pid, title); }

int EnumWindowTitles(std::vector<WindowEntry>* out) {
  out->clear();
  DIR* d = opendir(WindowTitleDirectory().c_str());
  if (!d) return errno == ENOENT ? 0 : -1;
  std::vector<pid_t> pids;
  while (dirent* e = readdir(d)) {
    pid_t pid = 0;
    if (PidFromName(e->d_name, &pid)) pids.push_back(pid);
  }
  closedir(d);
  std::sort(pids.begin(), pids.end());
  for (pid_t pid : pids) {
    WindowEntry w;
    w.pid = pid;
    if (ReadLiveEntry(pid, &w.title) == 0) out->push_back(std::move(w));
  }
  return 0;
}

}  // namespace zmo
