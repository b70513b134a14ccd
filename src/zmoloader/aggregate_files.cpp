// The configuration files and registry values the aggregation scripts are
// written from.
#include <sys/stat.h>

#include <ctime>
#include <initializer_list>
#include <string>

#include "aggregate_internal.h"
#include "common/config_table.h"
#include "lines.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// The whole file in BinDir, or false when it is missing or unreadable.
bool ReadBinFile(const char* name, std::string* data) {
  return zmo::ReadWholeFile(binPath(name), data) == 0;
}

// Field f of the record that starts at offset at of data.
std::string Field(const std::string& data, size_t at, zmo::FixedField f) {
  return std::string(zmo::recordField(std::string_view(data).substr(at), f));
}

// The service level of a group: the first record of that name wins.
std::string GroupLevel(const std::string& app_groups, const std::string& group) {
  const size_t length = zmo::kAppGroupRecordLength;
  for (size_t at = 0; at + length <= app_groups.size(); at += length) {
    if (rightTrimCopy(Field(app_groups, at, zmo::kAppGroupName)) != group) continue;
    std::string level = Field(app_groups, at, zmo::kAppGroupLevel);
    size_t first = level.find_first_not_of(' ');
    level = first == std::string::npos ? std::string() : rightTrimCopy(level.substr(first));
    // The level goes into the statement as a bare number.
    return !level.empty() && isNumeric(level) ? level : "null";
  }
  return "null";
}

// False, after a trace line naming the file and the record (from 1), when
// a text of the record holds a control byte: in a statement it could end a
// line, and the MSSQL and Sybase tools run every "go" line as the end of a
// batch, so a name could carry a statement of its own.
bool PlainText(const char* file, size_t record, std::initializer_list<std::string> texts) {
  for (const std::string& text : texts) {
    for (char ch : text) {
      const unsigned char c = static_cast<unsigned char>(ch);
      if (c >= 0x20 && c != 0x7f) continue;
      loaderLog("ERROR - ERROR: %s record %zu holds a control character, the record is skipped\n",
                file, record);
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> readExclusionWords(const zmo::IgnoreListLayout& list) {
  std::string data;
  if (!ReadBinFile(list.file, &data)) return {};
  std::vector<zmo::IgnoreLineSkipped> skipped;
  std::vector<std::string> words = zmo::readIgnoreList(data, list, &skipped);
  // A control byte could end a line of the statement (the MSSQL and Sybase
  // tools run every "go" line as the end of a batch).
  for (const zmo::IgnoreLineSkipped& s : skipped) {
    if (s.fault == zmo::IgnoreLineFault::kControl) {
      loaderLog("ERROR - ERROR: %s line %zu holds a control character, the entry is skipped\n",
                list.file, s.line);
    } else {
      loaderLog(
          "ERROR - ERROR: %s line %zu holds an entry longer than %zu characters, the entry "
          "is skipped\n",
          list.file, s.line, list.entry.width);
    }
  }
  return words;
}

std::vector<GroupCode> readGroupCodes() {
  std::vector<GroupCode> codes;
  std::string trans_groups;
  std::string app_groups;
  if (!ReadBinFile(kTransGroupFile, &trans_groups)) return codes;
  ReadBinFile(kAppGroupFile, &app_groups);
  const size_t length = zmo::kTransGroupRecordLength;
  for (size_t at = 0; at + length <= trans_groups.size(); at += length) {
    GroupCode c;
    c.group = rightTrimCopy(Field(trans_groups, at, zmo::kTransGroupName));
    c.code = rightTrimCopy(Field(trans_groups, at, zmo::kTransGroupCode));
    c.sla = GroupLevel(app_groups, c.group);
    if (PlainText(kTransGroupFile, at / length + 1, {c.group, c.code})) {
      codes.push_back(c);
    }
  }
  return codes;
}

std::vector<GroupRename> readGroupRenames() {
  std::vector<GroupRename> renames;
  std::string data;
  if (!ReadBinFile(kGroupRenameFile, &data)) return renames;
  const size_t length = zmo::kRenameRecordLength;
  for (size_t at = 0; at + length <= data.size(); at += length) {
    GroupRename r;
    r.new_name = rightTrimCopy(Field(data, at, zmo::kRenameNewName));
    r.old_name = rightTrimCopy(Field(data, at, zmo::kRenameOldName));
    if (r.new_name.empty() || r.old_name.empty()) continue;
    if (PlainText(kGroupRenameFile, at / length + 1, {r.new_name, r.old_name})) {
      renames.push_back(r);
    }
  }
  return renames;
}

int fileTimeText(const std::string& path, std::string* out) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 1;
  char text[32];
  if (ctime_r(&st.st_mtime, text) == nullptr) return 1;
  *out = text;
  while (!out->empty() && (out->back() == '\n' || out->back() == '\r')) out->pop_back();
  return 0;
}

std::string readCustomGroupDate() {
  // Without the key or the value no group files were loaded yet.
  static constexpr zmo::ConfigRow kCustomGroupDate = {.name = zmo::cfg::kCustomGroupDate,
                                                      .missing = zmo::ConfigMissing::kDefault};
  std::string text;
  zmo::readConfigValue(kCustomGroupDate, zmo::ConfigReader{}, &text);
  return text;
}

}  // namespace zmo::loader
