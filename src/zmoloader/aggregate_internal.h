// Pieces the two aggregation scripts share: the configuration files they
// read from BinDir, the registry values of the group table, and the start
// and the end of a script.
#pragma once

#include <string>
#include <vector>

#include "common/data_files.h"
#include "sql_dialect.h"

namespace zmo::loader {

// The configuration files in BinDir and their record layouts.
using zmo::kAppGroupFile;
using zmo::kGroupRenameFile;
using zmo::kTransGroupFile;
inline constexpr const zmo::IgnoreListLayout& kIdsToIgnore = zmo::kIdsToIgnoreLayout;
inline constexpr const zmo::IgnoreListLayout& kTransToIgnore = zmo::kTransToIgnoreLayout;
inline constexpr const zmo::IgnoreListLayout& kProgsToIgnore = zmo::kProgsToIgnoreLayout;

// The first blank-delimited word of each entry of an exclusion list, in
// file order; a last line without its line end counts, and an empty entry
// gives nothing. A missing file gives no words.
std::vector<std::string> readExclusionWords(const zmo::IgnoreListLayout& list);

// One transaction code of a group, with the group's service level: the
// digits of zmoAppGroup.dat, or "null" when the group has none there (or
// the file is missing, or its level is not digits).
struct GroupCode {
  std::string group;  // without trailing blanks
  std::string code;
  std::string sla;  // an SQL number or null
};
std::vector<GroupCode> readGroupCodes();

// The records of zmogrpupdt.dat, names without trailing blanks; a record
// with an empty name is left out.
struct GroupRename {
  std::string new_name;
  std::string old_name;
};
std::vector<GroupRename> readGroupRenames();

// The C runtime's ctime text of the file's modification time, without its
// line end. Returns 0, or 1 when the file cannot be read.
int fileTimeText(const std::string& path, std::string* out);

// CustomGroupDate: the time text of the group file that r3_tcode_group was
// last built from; a missing value reads as "", which no file has.
std::string readCustomGroupDate();

// Starts a script of the kind: its dialect and header. Returns 0, or
// kAggregateNotWritten after its trace line for a kind without a dialect.
int aggregateBegin(zmo::DbKind kind, const char* agg_log, bool snapshot, SqlScript* script);
// The date literal of today plus days in the dialect's format, quoted.
std::string dateLiteral(const SqlDialect& dialect, int days);
// The day count that DetailKeepDays gives: always into the past, so that a
// count written without its sign never empties the warehouse.
int detailKeepDays();
// -9, the value of a metric whose switch is off, or expr.
std::string metricOr9(bool on, const std::string& expr);
// The summaries over many runs' rows: a row carries a measure when none of
// the columns it is made of holds the -9 of a metric switched off in that
// row's run. carriedTotal is value summed over the rows that carry the
// measure, carriedAverage that sum divided by the same rows' sum of
// count_column; both -9 ("not collected") where no row of the group does.
std::string carriedTotal(const std::vector<const char*>& columns, const std::string& value);
// The condition that a row carries every column ("c <> -9 and ...").
std::string carriedRows(const std::vector<const char*>& columns);
std::string carriedAverage(const std::vector<const char*>& columns, const std::string& value,
                           const char* count_column);
// Select items one a line, as one item of a select list, so that a list of
// long expressions outgrows no line limit of the kinds' SQL tools.
std::string selectLines(const std::vector<std::string>& items);
// Writes the script into <BinDir>/<name>. Returns 0, or
// kAggregateNotWritten after the loader's error lines.
int aggregateWrite(const SqlScript& script, const char* name);

}  // namespace zmo::loader
