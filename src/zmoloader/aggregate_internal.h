// Pieces the two aggregation scripts share: the configuration files they
// read from BinDir, the registry values of the group table, and the start
// and the end of a script.
#pragma once

#include <string>
#include <vector>

#include "sql_dialect.h"

// File names in BinDir.
constexpr const char* kIdsToIgnoreFile = "zmoIDsToIgnore.dat";
constexpr const char* kTransToIgnoreFile = "zmoTransToIgnore.dat";
constexpr const char* kProgsToIgnoreFile = "zmoProgsToIgnore.dat";
constexpr const char* kTransGroupFile = "zmoTransGroup.dat";
constexpr const char* kAppGroupFile = "zmoAppGroup.dat";
constexpr const char* kGroupRenameFile = "zmogrpupdt.dat";

// The record and entry widths of the three exclusion lists.
struct ExclusionList {
  const char* file;
  size_t record;  // entry and CR LF
  size_t entry;
};
constexpr ExclusionList kIdsToIgnore = {kIdsToIgnoreFile, 14, 12};
constexpr ExclusionList kTransToIgnore = {kTransToIgnoreFile, 22, 20};
constexpr ExclusionList kProgsToIgnore = {kProgsToIgnoreFile, 32, 30};

// The first blank-delimited word of each entry of an exclusion list, in
// file order; a last line without its line end counts, and an empty entry
// gives nothing. A missing file gives no words.
std::vector<std::string> readExclusionWords(const ExclusionList& list);

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

// True when this run starts the batch that runs the script: neither -d nor
// LoadDebug "True". Otherwise nothing a script run would settle (the group
// file's date, the rename file) is changed now.
bool aggregateBatchRuns();

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
// Writes the script into <BinDir>/<name>. Returns 0, or
// kAggregateNotWritten after the loader's error lines.
int aggregateWrite(const SqlScript& script, const char* name);
