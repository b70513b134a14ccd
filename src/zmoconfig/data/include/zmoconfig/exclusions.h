// The three exclusion lists (user IDs, programs, transaction codes) as one
// family: the entry rules of their dialogs and the writer of their files.
// The members differ only by the rows of one table.
#pragma once

#include <string>
#include <vector>

#include "common/data_files.h"

namespace zmo::config {

// Result of CheckIgnoreEntry besides 0 and the catalog ids it refuses with.
constexpr int kIgnoreEmptyEntry = 1;  // nothing to add; no message

// The dialog's OK: typed against the page's rows (the edited row included).
// Returns 0 with *row the text to add to the list (IDs and codes trimmed,
// programs as typed, all upper case), kIgnoreEmptyEntry, or the catalog id
// of the refusal: too long for the file's field, a duplicate, or 1514 for a
// single quote.
int CheckIgnoreEntry(zmo::IgnoreList list, const std::string& typed,
                     const std::vector<std::string>& rows, std::string* row);

// True when an accepted entry needs question 1487 before it is added: a
// transaction code that IsStandardTCode does not know.
bool IgnoreEntryNeedsQuestion(zmo::IgnoreList list, const std::string& row);

// The page's OK: rows (in list order) into the list's file in BinDir, each
// trimmed and upper-cased, after copying the old file to its .bak; an empty
// list removes the file (no backup). Written beside the old file and renamed
// into place. Returns kSaveOk or kSaveFailed (shown; the old file stays).
int SaveIgnoreList(zmo::IgnoreList list, const std::vector<std::string>& rows);

// The backup name of a list's file ("zmoIDsToIgnore.bak", ...).
std::string IgnoreListBackupName(zmo::IgnoreList list);

}  // namespace zmo::config
