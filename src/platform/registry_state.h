// Internal: what the registry keeps per process: the open handles and, per
// root key, the tree last read from its file.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/registry.h"
#include "registry_model.h"

// What an open HKEY is: the path it names, resolved again at every use, so a
// handle stays valid across re-reads of the file.
struct ZmoRegKey {
  int root = 0;                    // index into the root table
  std::vector<std::string> parts;  // path below the root
};

namespace zmo::reg {

constexpr int kRootCount = 6;

// "HKEY_LOCAL_MACHINE" and so on, by root index.
const char* RootName(int root);
// The root index of a predefined key, or -1.
int RootIndex(HKEY key);

// The tree of one root as last read, with what identifies the file it came
// from. The file stays open, so its inode number cannot be handed to a later
// file while this identity is held.
struct RootCache {
  bool valid = false;
  std::string path;
  bool missing = false;  // no file: the root is empty
  int fd = -1;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};
  std::unique_ptr<Key> tree;

  void Reset();
};

struct ProcessState {
  std::mutex mu;  // one call at a time in this process; guards all below
  std::unordered_set<ZmoRegKey*> handles;
  RootCache roots[kRootCount];
};

ProcessState& State();

// The thread's last error text (see zmo::RegistryLastErrorText).
void SetErrorText(std::string text);
void ClearErrorText();

}  // namespace zmo::reg
