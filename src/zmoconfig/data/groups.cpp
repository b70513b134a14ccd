#include "zmoconfig/groups.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"
#include "zmoconfig/validators.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

std::vector<PendingGroupRename> gGroupRenames;

namespace {

constexpr size_t kCodeWidth = 20;

bool HasQuote(const std::string& text) { return text.find('\'') != std::string::npos; }

int Rows(const std::vector<GroupRow>& table, std::int16_t count) {
  return std::min<int>(count, static_cast<int>(table.size()) - 1);
}

}  // namespace

int LevelMillis(const std::string& seconds, int max_millis, std::string* millis) {
  std::string text = Trimmed(seconds);
  if (text.empty() || !IsDecimalNumber(text)) return kTextSlaSeconds;
  const std::string m = SecondsToMillis(&text);
  if (!AllDigits(m) || m.size() > 5) return kTextSlaSeconds;
  const int value = std::atoi(m.c_str());
  if (value < kGroupLevelMin || value > max_millis) return kTextSlaSeconds;
  *millis = m;
  return 0;
}

std::string NotationOf(const std::string& seconds) {
  if (seconds.find('.') != std::string::npos) return ".";
  if (seconds.find(',') != std::string::npos) return ",";
  return "V";
}

std::string LevelShown(const std::string& millis, const std::string& notation) {
  const std::string m = Trimmed(millis);
  if (!AllDigits(m) || m.size() > 9) return std::string();
  const long value = std::atol(m.c_str());
  std::string text = std::to_string(value / 1000);
  std::string decimals = std::to_string(1000 + value % 1000).substr(1);
  while (!decimals.empty() && decimals.back() == '0') decimals.pop_back();
  if (!decimals.empty()) text += (notation == "," ? "," : ".") + decimals;
  return text;
}

int EditedLevelMillis(const std::string& typed, const std::string& stored,
                      const std::string& notation, int max_millis, std::string* millis) {
  const std::string shown = LevelShown(stored, notation);
  if (!shown.empty() && Trimmed(typed) == shown) {
    *millis = Trimmed(stored);
    return 0;
  }
  return LevelMillis(typed, max_millis, millis);
}

bool GroupNameFree(const std::string& name, int record_to_skip) {
  const std::string wanted = UpperText(Trimmed(name));
  for (int row = 1; row <= Rows(gAppGroups, gAppGroupCount); ++row) {
    if (row != record_to_skip && UpperText(Trimmed(gAppGroups[row][1])) == wanted) return false;
  }
  return true;
}

int CheckGroupName(const std::string& name, int record_to_skip) {
  if (!GroupNameFree(name, record_to_skip)) return kTextDuplicateGroup;
  if (HasQuote(name)) return kTextSingleQuote;
  if (Trimmed(name).size() > zmo::kGroupNameWidth) return kTextGroupNameTooLong;
  return 0;
}

int ApplyGroupDialog(const std::string& name, const std::string& seconds, int position, int* row) {
  if (Trimmed(seconds).empty()) return kTextNoValueToUpdate;
  const int edited = position >= 0 ? position + 1 : 0;
  if (edited > Rows(gAppGroups, gAppGroupCount)) return kGroupNothing;
  std::string millis;
  const std::string notation = GetRegValue(zmo::cfg::kNotation);
  const int level = edited > 0 ? EditedLevelMillis(seconds, gAppGroups[edited][2], notation,
                                                   kGroupLevelMax, &millis)
                               : LevelMillis(seconds, kGroupLevelMax, &millis);
  if (level != 0) return level;
  const int rule = CheckGroupName(name, edited);
  if (rule != 0) return rule;
  const std::string trimmed = Trimmed(name);
  if (trimmed.empty()) return kGroupNothing;
  if (SetRegValue(zmo::cfg::kNotation, NotationOf(Trimmed(seconds))) != kRegOk) {
    configUi().StatusText(kTextActionFailed);
    return kTextActionFailed;
  }
  if (edited == 0) {
    if (gAppGroupCount >= kMaxTableRows) return kGroupNothing;
    gAppGroups.resize(static_cast<size_t>(gAppGroupCount) + 1);
    gAppGroups.push_back({"", trimmed, millis});
    ++gAppGroupCount;
    *row = gAppGroupCount;
    return 0;
  }
  const std::string old = Trimmed(gAppGroups[edited][1]);
  gAppGroups[edited][1] = trimmed;
  gAppGroups[edited][2] = millis;
  if (old != trimmed) {
    for (int j = 1; j <= Rows(gTransGroups, gTransGroupCount); ++j) {
      if (Trimmed(gTransGroups[j][1]) == old) gTransGroups[j][1] = trimmed;
    }
    gGroupRenames.push_back({trimmed, old});
  }
  *row = edited;
  return 0;
}

int AddGroupDirect(const std::string& typed, const std::string& seconds, const std::string& old) {
  const int rule = CheckGroupName(typed, 0);
  if (rule != 0) return rule;
  if (Trimmed(seconds).empty() || Trimmed(typed).empty()) return kGroupNothing;
  std::string millis;
  const int level = LevelMillis(seconds, kGroupLevelMax, &millis);
  if (level != 0) return level;
  if (gAppGroupCount >= kMaxTableRows) return kGroupNothing;
  const std::string name = Trimmed(typed);
  gAppGroups.resize(static_cast<size_t>(gAppGroupCount) + 1);
  gAppGroups.push_back({"", name, millis});
  ++gAppGroupCount;
  for (const std::string& code : GroupCodes(old)) AddGroupCode(name, code);
  return 0;
}

bool DeleteGroup(int position) {
  if (position < 0 || position + 1 > Rows(gAppGroups, gAppGroupCount)) return false;
  gAppGroups.erase(gAppGroups.begin() + position + 1);
  gAppGroupCount = static_cast<std::int16_t>(gAppGroups.size() - 1);
  return true;
}

int SplitGroupCodes(const std::string& text, bool editing, std::vector<std::string>* codes) {
  codes->clear();
  std::vector<std::string> pieces;
  if (editing) {
    pieces.push_back(text);
  } else {
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(',', start);
      if (end == std::string::npos) end = text.size();
      pieces.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const std::string& piece : pieces) {
    const std::string code = UpperText(Trimmed(piece));
    if (code.empty()) continue;
    if (code.size() > kCodeWidth) return kTextTransTooLong;
    if (HasQuote(code)) return kTextSingleQuote;
    codes->push_back(code);
  }
  return 0;
}

bool DuplicateFound(const std::string& group, const std::string& code) {
  const std::string g = UpperText(Trimmed(group));
  const std::string c = UpperText(Trimmed(code));
  for (int j = 1; j <= Rows(gTransGroups, gTransGroupCount); ++j) {
    if (UpperText(Trimmed(gTransGroups[j][1])) == g &&
        UpperText(Trimmed(gTransGroups[j][2])) == c) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> GroupCodes(const std::string& group) {
  std::vector<std::string> codes;
  const std::string g = Trimmed(group);
  for (int j = 1; j <= Rows(gTransGroups, gTransGroupCount); ++j) {
    if (Trimmed(gTransGroups[j][1]) == g) codes.push_back(Trimmed(gTransGroups[j][2]));
  }
  return codes;
}

bool AddGroupCode(const std::string& group, const std::string& code) {
  if (DuplicateFound(group, code) || gTransGroupCount >= kMaxTableRows) return false;
  gTransGroups.resize(static_cast<size_t>(gTransGroupCount) + 1);
  gTransGroups.push_back({"", Trimmed(group), Trimmed(code)});
  ++gTransGroupCount;
  return true;
}

bool ReplaceGroupCode(const std::string& group, const std::string& old_code,
                      const std::string& new_code) {
  if (DuplicateFound(group, new_code)) return false;
  for (int j = 1; j <= Rows(gTransGroups, gTransGroupCount); ++j) {
    if (Trimmed(gTransGroups[j][1]) == Trimmed(group) &&
        Trimmed(gTransGroups[j][2]) == Trimmed(old_code)) {
      gTransGroups[j][2] = Trimmed(new_code);
      return true;
    }
  }
  return false;
}

bool DeleteGroupCode(const std::string& group, const std::string& code) {
  for (int j = 1; j <= Rows(gTransGroups, gTransGroupCount); ++j) {
    if (Trimmed(gTransGroups[j][1]) == Trimmed(group) &&
        Trimmed(gTransGroups[j][2]) == Trimmed(code)) {
      gTransGroups.erase(gTransGroups.begin() + j);
      gTransGroupCount = static_cast<std::int16_t>(gTransGroups.size() - 1);
      return true;
    }
  }
  return false;
}

void ForgetGroupRenames() { gGroupRenames.clear(); }

int SaveGroupFiles() {
  std::string app_path, app_new, trans_path, trans_new, rename_path;
  if (BinFilePath(zmo::kAppGroupFile, &app_path) != kBinDirOk) {
    return ShowSaveFailure(zmo::kAppGroupFile, "BinDir is not set");
  }
  BinFilePath(zmo::kTransGroupFile, &trans_path);
  BinFilePath(zmo::kGroupRenameFile, &rename_path);
  app_new = app_path.substr(0, app_path.rfind('.')) + ".new";
  trans_new = trans_path.substr(0, trans_path.rfind('.')) + ".new";

  std::string app_data, trans_data;
  for (int i = 1; i <= Rows(gAppGroups, gAppGroupCount); ++i) {
    const std::string name = Trimmed(gAppGroups[i][1]);
    app_data += EncodeAppGroupRecord(name, Trimmed(gAppGroups[i][2]));
    for (const std::string& code : GroupCodes(name)) {
      trans_data += EncodeTransGroupRecord(name, code);
    }
  }
  // Both new files first: a failure up to the renames changes nothing.
  const auto discard_new = [&] {
    std::remove(app_new.c_str());
    std::remove(trans_new.c_str());
    return kSaveFailed;
  };
  if (ReplaceDataFile(app_new, app_data, "") != kSaveOk ||
      ReplaceDataFile(trans_new, trans_data, "") != kSaveOk) {
    return discard_new();
  }
  if (!gGroupRenames.empty()) {
    std::string renames;
    if (zmo::ReadWholeFile(rename_path, &renames) != 0) renames.clear();
    // Only whole records of the old file are kept.
    renames.resize(renames.size() - renames.size() % zmo::kRenameRecordLength);
    for (const PendingGroupRename& r : gGroupRenames) {
      std::string record;
      zmo::putRecordField(&record, zmo::kRenameNewName, r.new_name);
      zmo::putRecordField(&record, zmo::kRenameOldName, r.old_name);
      renames += record;
    }
    if (ReplaceDataFile(rename_path, renames, "") != kSaveOk) return discard_new();
    gGroupRenames.clear();
  }
  if (std::rename(app_new.c_str(), app_path.c_str()) != 0) {
    return ShowSaveFailure(app_path, std::strerror(errno));
  }
  if (std::rename(trans_new.c_str(), trans_path.c_str()) != 0) {
    return ShowSaveFailure(trans_path, std::strerror(errno));
  }
  return kSaveOk;
}

std::string SystemLevelShown() {
  const std::string level = GetRegValue(zmo::cfg::kSystemSLA);
  if (Trimmed(level).empty() || Trimmed(level) == "0") return std::string();
  return LevelShown(level, GetRegValue(zmo::cfg::kNotation));
}

int SaveSystemLevel(const std::string& seconds) {
  if (Trimmed(seconds).empty()) return kTextNoValueToAdd;
  std::string millis;
  const int level = LevelMillis(seconds, kSystemLevelMax, &millis);
  if (level != 0) return level;
  if (SetRegValue(zmo::cfg::kNotation, NotationOf(Trimmed(seconds))) != kRegOk ||
      SetRegValue(zmo::cfg::kSystemSLA, millis) != kRegOk) {
    configUi().StatusText(kTextActionFailed);
    return kTextActionFailed;
  }
  return 0;
}

}  // namespace zmo::config
