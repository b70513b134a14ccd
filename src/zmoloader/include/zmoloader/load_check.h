// The mark of a load in the warehouse (Oracle kind), so that data files
// whose aggregation committed but which a kill kept from their archive
// moves are never loaded a second time.
//
// The aggregation inserts each data file's tag into r3_load_done in its one
// transaction. Before anything is loaded, the batch runs zmocheck_stati.sql
// (zmocheck_snap.sql), which ends with kLoadCheckLoaded when any of the tags
// is there, with 0 when none is, and with any other code when it cannot
// tell; the batch then goes straight to the archive moves, on to the load,
// or to its failure lines. All tags of a run commit together, so one of
// them marks every file of the run loaded, also when a kill during the
// archive moves left only some of them.
#pragma once

#include <string>
#include <vector>

namespace zmo::loader {

// The warehouse table of the tags.
constexpr const char* kLoadDoneTable = "r3_load_done";
// The exit code of the check when a tag is marked: a code that no failure
// of the SQL tool gives (a failure ends with 1, a warning with 2, a tool
// that cannot start or is killed with 126 and above).
constexpr int kLoadCheckLoaded = 4;

// The check script of the run's program: zmocheck_stati.sql or
// zmocheck_snap.sql.
const char* loadCheckScript();

// The tag of a data file: its length and a 64-bit FNV-1a hash of its bytes,
// in hex. Two intervals' files never hold the same bytes; a file loaded
// again after a kill does. "" when the file cannot be read or is empty: an
// empty file holds no record to load twice, and every empty file would have
// the same tag.
std::string loadTag(const std::string& path);

// The tags of the files that have one, in the order given.
std::vector<std::string> loadTags(const std::vector<std::string>& paths);

// The statement that marks a tag loaded.
std::string loadDoneInsert(const std::string& tag);

// Writes the check script into BinDir: a query of the marks whose answer is
// the script's exit code, kLoadCheckLoaded or 0; a query that fails ends it
// with failure. Returns 0, or kLoaderExitError after its trace lines.
int writeLoadCheckScript(const std::vector<std::string>& tags);

}  // namespace zmo::loader
