// Archived data files: the names the batch moves the loaded files to, and
// the dates whose archives it deletes.
#pragma once

#include <string>
#include <vector>

#include "common/db_kind.h"

namespace zmo::loader {

// A date literal of today plus days (calendar days in local time, so a
// daylight-saving change never skips or doubles a date), in the date form
// of the kind's row (db_kind.h); "%Y%m%d" for no kind.
std::string getDateForDb(int days, zmo::DbKind kind);

// Local time now as YYYYmmddHHMMSS.
std::string getTimeStamp();

// The stamp of this run's archives: getTimeStamp(), followed by "_1", "_2",
// ... when <ArchiveDir>/<prefix>_<stamp>.dat already exists for any of the
// prefixes, so that no archive can take another's name. The delete patterns
// <prefix>_<YYYYmmdd>*.dat match every form.
std::string archiveStamp(const std::vector<std::string>& prefixes);

// The three deletion dates YYYYmmdd: today plus keep_days, minus 0, 1 and 2
// days, in that order.
std::vector<std::string> retentionDates(int keep_days);

// Reads an ArchiveKeepDays text: an optional sign and 1 to 5 digits. The
// archives kept are always in the past, so "7" and "-7" both give -7.
// Returns 0 and *days, or 1 for any other text.
int parseArchiveKeepDays(const std::string& text, int* days);

}  // namespace zmo::loader
