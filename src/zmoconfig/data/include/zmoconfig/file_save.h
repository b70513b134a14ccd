// How the configurator replaces a data file: the new contents are written
// completely beside the old file and renamed into place, so a reader finds
// the old file or the new one, never a half-written one, and a failed write
// leaves the old file as it was.
#pragma once

#include <string>

namespace zmo::config {

// Result codes of the savers in this data layer.
constexpr int kSaveOk = 0;
constexpr int kSaveFailed = 1;  // shown: a message naming the file, then status 1453

// Who may read a data file the configurator creates.
enum class FileAccess {
  kShared,   // 0644
  kPrivate,  // 0600: the file holds scrambled passwords (the server files)
};

// Copies the file at path to backup when path exists (the old copy
// replaced), then replaces path with data. A failure shows the message and
// status 1453 and gives kSaveFailed; the file at path is then unchanged.
// backup empty: no copy is made. The new file keeps the old one's
// permissions; a file made anew, and the backup, get those of access.
int ReplaceDataFile(const std::string& path, const std::string& data, const std::string& backup,
                    FileAccess access = FileAccess::kShared);

// Removes the file at path; a missing file is no failure. A failure is
// shown as above.
int RemoveDataFile(const std::string& path);

// Shows the failure of an operation on path: message 1402 with the path and
// the reason, then status 1453. Returns kSaveFailed.
int ShowSaveFailure(const std::string& path, const std::string& reason);

}  // namespace zmo::config
