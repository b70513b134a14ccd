// Tells a second configurator from the first. The first one to take the
// lock file holds it until it ends; a later one cannot take it and knows
// another instance runs. The lock lies beside the registry store, so every
// configurator that works on one configuration sees the others.
#pragma once

#include <string>

namespace zmo::config {

class InstanceLock {
 public:
  // path: the lock file; "" for the one beside the registry store.
  explicit InstanceLock(std::string path = "");
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock when no other instance holds it. Returns true when this
  // instance holds it; false when another does. A lock file that cannot be
  // opened at all tells nothing and counts as no other instance.
  bool Acquire();

  static std::string DefaultPath();

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace zmo::config
