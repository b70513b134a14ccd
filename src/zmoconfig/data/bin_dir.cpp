#include "zmoconfig/bin_dir.h"

#include "platform/files.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

int ReadBinDir() {
  gBinDir = GetRegValue(zmo::cfg::kBinDir);
  return BinDirMissing() ? kBinDirMissing : kBinDirOk;
}

bool BinDirMissing() { return gBinDir.find_first_not_of(' ') == std::string::npos; }

int BinFilePath(const std::string& name, std::string* path) {
  path->clear();
  if (BinDirMissing()) return kBinDirMissing;
  *path = zmo::JoinPath(gBinDir, name);
  return kBinDirOk;
}

}  // namespace zmo::config
