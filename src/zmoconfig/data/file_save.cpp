#include "zmoconfig/file_save.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/text_ids.h"

namespace zmo::config {

int ShowSaveFailure(const std::string& path, const std::string& reason) {
  configUi().MessageOk(LoadResString(kTextErrorEncountered) + path + ": " + reason);
  configUi().StatusText(kTextActionFailed);
  return kSaveFailed;
}

int ReplaceDataFile(const std::string& path, const std::string& data, const std::string& backup,
                    FileAccess access) {
  const unsigned new_mode = access == FileAccess::kPrivate ? 0600 : 0644;
  if (!backup.empty()) {
    std::string old;
    if (zmo::ReadWholeFile(path, &old) == 0) {
      if (zmo::WriteFileAtomic(backup, old, new_mode) != 0) {
        return ShowSaveFailure(backup, std::strerror(errno));
      }
    } else if (errno != ENOENT) {
      return ShowSaveFailure(path, std::strerror(errno));
    }
  }
  // The new file keeps the old one's permissions (a server file may have
  // been made readable to the collectors' account only).
  struct stat st;
  const unsigned mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : new_mode;
  if (zmo::WriteFileAtomic(path, data, mode) != 0) {
    return ShowSaveFailure(path, std::strerror(errno));
  }
  return kSaveOk;
}

int RemoveDataFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
    return ShowSaveFailure(path, std::strerror(errno));
  }
  return kSaveOk;
}

}  // namespace zmo::config
