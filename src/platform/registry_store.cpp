#include "registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "registry_text.h"

namespace zmo::reg {

namespace {

constexpr const char* kLockFileName = "registry.lock";
// A new root file is its owner's alone: it holds the scrambled warehouse
// password, which every program of the system can unscramble.
constexpr unsigned kDefaultFileMode = 0600;

// Records a failed system call on path and gives the registry's result for it.
LONG IoFailure(const char* what, const std::string& path, int err) {
  SetErrorText(std::string(what) + " " + path + ": " + std::strerror(err));
  return err == ENOMEM ? ERROR_NOT_ENOUGH_MEMORY : ERROR_ACCESS_DENIED;
}

// mkdir -p; an existing directory is fine.
int MakeDirs(const std::string& dir) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos != dir.size() && dir[pos] != kPathSep) continue;
    std::string prefix = dir.substr(0, pos);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return -1;
  }
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) return -1;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return -1;
  }
  return 0;
}

std::string RootFilePath(int root) {
  return JoinPath(RegistryDirectory(), std::string(RootName(root)) + ".reg");
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameFile(const RootCache& c, const struct stat& st) {
  return c.dev == st.st_dev && c.ino == st.st_ino && c.size == st.st_size &&
         SameTime(c.mtime, st.st_mtim) && SameTime(c.ctime, st.st_ctim);
}

// Takes over fd as the open file the cache was read from.
void HoldFile(RootCache* c, int fd, const struct stat& st) {
  if (c->fd >= 0) close(c->fd);
  c->fd = fd;
  c->missing = false;
  c->dev = st.st_dev;
  c->ino = st.st_ino;
  c->size = st.st_size;
  c->mtime = st.st_mtim;
  c->ctime = st.st_ctim;
}

}  // namespace

StoreLock::~StoreLock() {
  if (lock_fd_ >= 0) close(lock_fd_);  // releases the flock
}

LONG StoreLock::Acquire() {
  std::string dir = RegistryDirectory();
  if (access_ == Access::kWrite && MakeDirs(dir) != 0) {
    return IoFailure("cannot create the registry directory", dir, errno);
  }
  // A fresh descriptor for every call: a lock on a descriptor shared with a
  // forked child would not exclude the child.
  std::string lock_path = JoinPath(dir, kLockFileName);
  lock_fd_ = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock_fd_ < 0 && access_ == Access::kRead) {
    lock_fd_ = open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
    // No store yet, or a directory this process may not write: read without
    // the lock. Files are only ever replaced whole by rename, so the read
    // still sees one complete state.
    if (lock_fd_ < 0) return ERROR_SUCCESS;
  }
  if (lock_fd_ < 0) return IoFailure("cannot open", lock_path, errno);
  int op = access_ == Access::kWrite ? LOCK_EX : LOCK_SH;
  while (flock(lock_fd_, op) != 0) {
    if (errno != EINTR) return IoFailure("cannot lock", lock_path, errno);
  }
  return ERROR_SUCCESS;
}

LONG StoreLock::Load(int root, Key** tree) {
  RootCache& cache = State().roots[root];
  std::string path = RootFilePath(root);
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) return IoFailure("cannot open", path, errno);
    if (!(cache.valid && cache.missing && cache.path == path)) {
      cache.Reset();
      cache.valid = true;
      cache.missing = true;
      cache.path = path;
      cache.tree = std::make_unique<Key>();
    }
    *tree = cache.tree.get();
    return ERROR_SUCCESS;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    return IoFailure("cannot stat", path, err);
  }
  if (cache.valid && !cache.missing && cache.path == path && SameFile(cache, st)) {
    close(fd);
    *tree = cache.tree.get();
    return ERROR_SUCCESS;
  }
  // Should the file be replaced between the fstat and this read, the cache
  // holds newer text under the older identity, and the next call reads again.
  std::string text;
  if (ReadWholeFile(path, &text) != 0) {
    int err = errno;
    close(fd);
    return IoFailure("cannot read", path, err);
  }
  auto fresh = std::make_unique<Key>();
  std::string error;
  cache.Reset();
  if (ParseRoot(path, text, RootName(root), fresh.get(), &error) != ERROR_SUCCESS) {
    close(fd);
    SetErrorText(error);
    return ERROR_BADDB;
  }
  cache.valid = true;
  cache.path = path;
  cache.tree = std::move(fresh);
  HoldFile(&cache, fd, st);
  *tree = cache.tree.get();
  return ERROR_SUCCESS;
}

LONG StoreLock::Commit(int root) {
  RootCache& cache = State().roots[root];
  if (access_ != Access::kWrite || !cache.valid) return ERROR_INVALID_PARAMETER;  // misuse
  unsigned mode = kDefaultFileMode;
  struct stat st;
  if (cache.fd >= 0 && fstat(cache.fd, &st) == 0)
    mode = st.st_mode & 07777;  // keep what an admin set
  std::string text = SerializeRoot(RootName(root), *cache.tree);
  if (WriteFileAtomic(cache.path, text, mode) != 0) {
    int err = errno;
    std::string path = cache.path;
    cache.Reset();
    return IoFailure("cannot write", path, err);
  }
  int fd = open(cache.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &st) != 0) {
    // The write is committed; only the identity is unknown, so read again
    // next time.
    if (fd >= 0) close(fd);
    cache.Reset();
    return ERROR_SUCCESS;
  }
  HoldFile(&cache, fd, st);
  return ERROR_SUCCESS;
}

}  // namespace zmo::reg
