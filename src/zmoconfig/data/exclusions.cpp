#include "zmoconfig/exclusions.h"

#include "zmoconfig/bin_dir.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"

namespace zmo::config {

namespace {

// How the members differ.
struct Member {
  zmo::IgnoreList list;
  int too_long;       // message of an entry wider than the field
  int duplicate;      // message of a duplicate
  bool trimmed_rows;  // rows and the duplicate test trimmed (else as typed)
  bool ask_standard;  // question 1487 for a code IsStandardTCode does not know
};
constexpr Member kMembers[] = {
    {zmo::IgnoreList::kIds, kTextIdTooLong, kTextDuplicateId, true, false},
    {zmo::IgnoreList::kProgs, kTextProgTooLong, kTextDuplicateProg, false, false},
    {zmo::IgnoreList::kTrans, kTextTransTooLong, kTextDuplicateTrans, true, true},
};

const Member& MemberOf(zmo::IgnoreList list) {
  for (const Member& m : kMembers) {
    if (m.list == list) return m;
  }
  return kMembers[0];
}

}  // namespace

int CheckIgnoreEntry(zmo::IgnoreList list, const std::string& typed,
                     const std::vector<std::string>& rows, std::string* row) {
  const Member& m = MemberOf(list);
  const std::string upper = UpperText(typed);
  const std::string trimmed = Trimmed(upper);
  if (trimmed.empty()) return kIgnoreEmptyEntry;
  if (trimmed.size() > zmo::ignoreListLayout(list).entry.width) return m.too_long;
  const std::string candidate = m.trimmed_rows ? trimmed : upper;
  for (const std::string& r : rows) {
    if ((m.trimmed_rows ? Trimmed(r) : r) == candidate) return m.duplicate;
  }
  // The loader's statistics script compares entries inside SQL quotes.
  if (trimmed.find('\'') != std::string::npos) return kTextSingleQuote;
  *row = candidate;
  return 0;
}

bool IgnoreEntryNeedsQuestion(zmo::IgnoreList list, const std::string& row) {
  return MemberOf(list).ask_standard && !IsStandardTCode(row);
}

std::string IgnoreListBackupName(zmo::IgnoreList list) {
  std::string name = zmo::ignoreListLayout(list).file;
  return name.substr(0, name.rfind('.')) + ".bak";
}

int SaveIgnoreList(zmo::IgnoreList list, const std::vector<std::string>& rows) {
  const char* file = zmo::ignoreListLayout(list).file;
  std::string path;
  std::string backup;
  if (BinFilePath(file, &path) != kBinDirOk ||
      BinFilePath(IgnoreListBackupName(list), &backup) != kBinDirOk) {
    return ShowSaveFailure(file, "BinDir is not set");
  }
  if (rows.empty()) return RemoveDataFile(path);
  std::string data;
  for (const std::string& r : rows) data += EncodeIgnoreLine(list, UpperText(Trimmed(r)));
  return ReplaceDataFile(path, data, backup);
}

}  // namespace zmo::config
