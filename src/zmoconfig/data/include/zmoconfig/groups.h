// The rules behind frmTransGroup, frmAddApplication, frmAddAppTrans and
// frmSystemSLA: service levels in seconds and milliseconds, group names and
// codes, the tables gAppGroups and gTransGroups, and the writer of the two
// group files and of the group-rename file the loader reads.
#pragma once

#include <string>
#include <vector>

namespace zmo::config {

// ---- Service levels ----

// The limits in milliseconds: a group's level fits four digits; the
// all-transaction level may be 10 seconds.
constexpr int kGroupLevelMin = 100;
constexpr int kGroupLevelMax = 9999;
constexpr int kSystemLevelMax = 10000;

// Seconds as typed into milliseconds text, by SecondsToMillis (the one
// parser of both the check and the conversion). Returns 0 and *millis when
// the text is digits with at most one "." or "," and its milliseconds lie
// from kGroupLevelMin to max_millis; else 1423.
int LevelMillis(const std::string& seconds, int max_millis, std::string* millis);

// The notation a seconds text was typed in: ".", "," or "V" (whole seconds).
std::string NotationOf(const std::string& seconds);

// The seconds text a stored level shows, from its own milliseconds: whole
// seconds, then the notation's separator ("." for "V") and the milliseconds
// without zeros at the end when there are any ("2125" -> "2.125", "2500" ->
// "2,5" under ",", "10000" -> "10"). "" for a text that is not digits.
std::string LevelShown(const std::string& millis, const std::string& notation);

// The level an edit stores: the stored milliseconds when the seconds box
// still shows them (typed equals LevelShown), else LevelMillis of typed.
int EditedLevelMillis(const std::string& typed, const std::string& stored,
                      const std::string& notation, int max_millis, std::string* millis);

// ---- Groups ----

// Result of the group rules besides 0 and catalog ids.
constexpr int kGroupNothing = 1;  // nothing to do; no message

// frmTransGroup.CheckForDups and frmAddApplication.CheckForDups: true when no
// row of gAppGroups but record_to_skip (0: none) has the name, both trimmed
// and compared without regard to case.
bool GroupNameFree(const std::string& name, int record_to_skip);

// The rules of a group name: 1412 for a name in use (but record_to_skip),
// 1514 for a single quote, 1519 for more than 35 characters once trimmed.
int CheckGroupName(const std::string& name, int record_to_skip);

// frmAddApplication's OK. position: the edited group's list position, or -1
// when adding. Checks in order: empty seconds 1422, the level 1423 (an edit
// keeps the stored milliseconds while the box shows them), the name's rules,
// an empty name kGroupNothing. Then writes Notation (a failed write is
// shown with status 1453 and gives 1453, changing nothing), adds or changes the row (name trimmed)
// and, for a rename, gives the group's codes the new name and remembers the rename for the loader.
// Returns 0 with *row the 1-based row, or the code.
int ApplyGroupDialog(const std::string& name, const std::string& seconds, int position, int* row);

// The direct mode of frmTransGroup's Add: a new group named typed with the
// seconds in the page's box, starting with a copy of the codes of the group
// named old. Returns 0, kGroupNothing for empty seconds, 1423, or a name
// rule's code. Notation is not changed.
int AddGroupDirect(const std::string& typed, const std::string& seconds, const std::string& old);

// Removes the group at list position (0-based) from gAppGroups; its codes
// stay until the save, which writes codes of listed groups only.
bool DeleteGroup(int position);

// ---- Codes of a group ----

// frmAddAppTrans's text as codes: split at every ",", each piece trimmed and
// upper-cased, empty pieces dropped (a text without a comma is one code, so
// a blank text gives none). editing: the whole text is the one code.
// Returns 0 and *codes, 1407 for a code over 20 characters, or 1514 for a
// single quote.
int SplitGroupCodes(const std::string& text, bool editing, std::vector<std::string>* codes);

// True when gTransGroups has the group and code (each trimmed, upper case).
bool DuplicateFound(const std::string& group, const std::string& code);

// The codes of a group, in table order, trimmed.
std::vector<std::string> GroupCodes(const std::string& group);

// Appends (group, code) unless DuplicateFound. True when appended.
bool AddGroupCode(const std::string& group, const std::string& code);
// The row of group holding old_code gets new_code, unless new_code is a
// duplicate or no row holds old_code. True when changed.
bool ReplaceGroupCode(const std::string& group, const std::string& old_code,
                      const std::string& new_code);
// Removes the one row of group holding code. True when removed.
bool DeleteGroupCode(const std::string& group, const std::string& code);

// ---- Saving ----

// The group renames made since the last save, old name first.
struct PendingGroupRename {
  std::string new_name;
  std::string old_name;
};
extern std::vector<PendingGroupRename> gGroupRenames;

// frmTransGroup's OK: both group files are written completely as .new
// files; the renames are added to zmogrpupdt.dat (records the loader has
// not read yet are kept); then each .new file replaces its .dat by a
// rename, zmoAppGroup.dat first, so the loader, which looks at
// zmoTransGroup.dat's time, never sees one new file without the other. Returns kSaveOk or
// kSaveFailed (shown; the tables stay, so OK can be pressed again).
int SaveGroupFiles();

// Forgets the renames (Cancel reloads the tables).
void ForgetGroupRenames();

// ---- The all-transaction level ----

// The text frmSystemSLA shows for System_SLA and Notation; "" when none.
std::string SystemLevelShown();

// frmSystemSLA's OK: 1421 for empty seconds, 1423 for a level outside 0.1
// to 10 seconds; then writes Notation and System_SLA, stopping at the first
// failure, which is shown with status 1453 and gives 1453. Returns 0 or the
// id.
int SaveSystemLevel(const std::string& seconds);

}  // namespace zmo::config
