// LoadTransGroups and LoadAppGroups: the two group files into their tables.
#include <algorithm>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/text_ids.h"

namespace zmo::config {

namespace {

// The records of a group file, or false when there is none to read (no
// BinDir, a missing or unreadable file). A file of more records than a
// table holds is refused as a whole and reported.
bool ReadGroupFile(const char* name, size_t record_length, std::string* data, std::int64_t* count) {
  std::string path;
  if (BinFilePath(name, &path) != kBinDirOk) return false;
  if (zmo::ReadWholeFile(path, data) != 0) return false;
  *count = zmo::recordCount(static_cast<std::int64_t>(data->size()), record_length);
  if (*count > kMaxTableRows) {
    configUi().StatusText(kTextActionFailed);
    return false;
  }
  return true;
}

std::string Trimmed(std::string_view record, zmo::FixedField f) {
  return std::string(zmo::trimBlanks(zmo::recordField(record, f)));
}

}  // namespace

void LoadTransGroups() {
  configUi().Hourglass(true);
  gTransGroups.assign(1, GroupRow{});
  gTransGroupCount = 0;
  std::string data;
  std::int64_t count = 0;
  if (ReadGroupFile(zmo::kTransGroupFile, zmo::kTransGroupRecordLength, &data, &count)) {
    for (std::int64_t n = 1; n <= count; ++n) {
      const std::string_view record = zmo::recordAt(data, zmo::kTransGroupRecordLength, n);
      gTransGroups.push_back(
          {"", Trimmed(record, zmo::kTransGroupName), Trimmed(record, zmo::kTransGroupCode)});
    }
    gTransGroupCount = static_cast<std::int16_t>(count);
  }
  configUi().Hourglass(false);
}

void LoadAppGroups() {
  gAppGroups.assign(1, GroupRow{});
  gAppGroupCount = 0;
  std::string data;
  std::int64_t count = 0;
  if (!ReadGroupFile(zmo::kAppGroupFile, zmo::kAppGroupRecordLength, &data, &count)) return;
  for (std::int64_t n = 1; n <= count; ++n) {
    const std::string_view record = zmo::recordAt(data, zmo::kAppGroupRecordLength, n);
    const std::string name = Trimmed(record, zmo::kAppGroupName);
    // A repeated name keeps the level of its first record, and a record
    // without a name fills no row; the count is the rows filled, so a save
    // never writes nameless groups.
    if (name.empty()) continue;
    const bool seen = std::any_of(gAppGroups.begin() + 1, gAppGroups.end(),
                                  [&](const GroupRow& row) { return row[1] == name; });
    if (!seen) gAppGroups.push_back({"", name, Trimmed(record, zmo::kAppGroupLevel)});
  }
  gAppGroupCount = static_cast<std::int16_t>(gAppGroups.size() - 1);
}

}  // namespace zmo::config
