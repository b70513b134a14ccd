#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace zmo {

std::string WithTrailingSep(const std::string& dir) {
  if (dir.empty() || dir.back() == kPathSep) return dir;
  return dir + kPathSep;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return WithTrailingSep(dir) + name;
}

int WriteLineCrlf(std::FILE* f, const char* text) {
  if (std::fputs(text, f) == EOF) return -1;
  if (std::fputs(kLineEnd, f) == EOF) return -1;
  return 0;
}

int WriteLineCrlf(std::FILE* f, const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), f) != text.size()) return -1;
  if (std::fputs(kLineEnd, f) == EOF) return -1;
  return 0;
}

int RenameNoReplace(const char* from, const char* to) {
#ifdef SYS_renameat2
  constexpr unsigned kRenameNoReplace = 1;  // RENAME_NOREPLACE
  if (syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, kRenameNoReplace) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
  // File systems without renameat2 flags: a hard link fails on an existing
  // target, then the old name goes.
  if (link(from, to) != 0) return -1;
  if (unlink(from) != 0) {
    int saved = errno;
    unlink(to);
    errno = saved;
    return -1;
  }
  return 0;
}

std::int64_t FileSize64(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool FileExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

std::FILE* OpenPrivateFile(const char* path, const char* mode) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  // An existing file keeps its old mode through O_CREAT; narrow it too.
  fchmod(fd, 0600);
  std::FILE* f = fdopen(fd, mode);
  if (!f) {
    int saved = errno;
    close(fd);
    errno = saved;
  }
  return f;
}

std::FILE* OpenPrivateAppend(const char* path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "ab");
  if (!f) {
    int saved = errno;
    close(fd);
    errno = saved;
  }
  return f;
}

std::string ProgramPath() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return std::string();
  return std::string(buf, static_cast<size_t>(n));
}

std::string ProgramDirectory() {
  std::string path = ProgramPath();
  size_t slash = path.rfind(kPathSep);
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

namespace {

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

int WriteFileAtomic(const std::string& path, const std::string& data, unsigned mode) {
  std::string tmp = path + ".tmpXXXXXX";
  int fd = mkstemp(tmp.data());
  if (fd < 0) return -1;
  int saved = 0;
  if (fchmod(fd, mode) != 0 || WriteAll(fd, data.data(), data.size()) != 0 || fsync(fd) != 0) {
    saved = errno;
  }
  if (close(fd) != 0 && saved == 0) saved = errno;
  if (saved == 0 && rename(tmp.c_str(), path.c_str()) != 0) saved = errno;
  if (saved != 0) {
    unlink(tmp.c_str());
    errno = saved;
    return -1;
  }
  // Make the rename itself durable.
  size_t slash = path.rfind(kPathSep);
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return 0;
}

int ReadWholeFile(const std::string& path, std::string* out) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  out->clear();
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof(buf));
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      close(fd);
      errno = saved;
      return -1;
    }
    if (n == 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return 0;
}

int LockFileExclusive(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  int rc;
  do {
    rc = flock(fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) return fd;
  const int saved = errno;
  close(fd);
  errno = saved;
  return -1;
}

}  // namespace zmo
