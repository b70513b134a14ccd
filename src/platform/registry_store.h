// Internal: one call's hold on the store directory. It takes the file lock
// (shared to read, exclusive to write), brings a root's tree up to date with
// its file, and writes a changed tree back atomically.
#pragma once

#include "registry_model.h"
#include "registry_state.h"

namespace zmo::reg {

enum class Access { kRead, kWrite };

class StoreLock {
 public:
  // The caller holds State().mu for the lifetime of the object.
  explicit StoreLock(Access access) : access_(access) {}
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  // Takes the lock; for a write, creates the directory first.
  LONG Acquire();
  // Sets *tree to root's tree, read again when its file changed since this
  // process last read it. ERROR_BADDB for a damaged file.
  LONG Load(int root, Key** tree);
  // Writes root's tree (as changed since Load) to its file. On failure the
  // cached tree is dropped, so the next call sees the file as it is.
  LONG Commit(int root);

 private:
  Access access_;
  int lock_fd_ = -1;
};

}  // namespace zmo::reg
