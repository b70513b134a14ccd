#include "instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/registry.h"

namespace zmo::config {

namespace {
constexpr const char* kLockName = "zmoconfig.lock";
}

InstanceLock::InstanceLock(std::string path)
    : path_(path.empty() ? DefaultPath() : std::move(path)) {}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) close(fd_);
}

std::string InstanceLock::DefaultPath() {
  return zmo::JoinPath(zmo::RegistryDirectory(), kLockName);
}

bool InstanceLock::Acquire() {
  if (fd_ >= 0) return true;
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held_elsewhere = errno == EWOULDBLOCK;
    close(fd);
    return !held_elsewhere;
  }
  fd_ = fd;
  return true;
}

}  // namespace zmo::config
