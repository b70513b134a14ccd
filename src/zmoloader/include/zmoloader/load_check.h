// The mark of a statistics load in the warehouse (Oracle kind), so that a
// data file whose aggregation committed but which a kill kept from its
// archive move is never loaded a second time.
//
// The aggregation inserts the data file's tag into r3_load_done in its one
// transaction. Before anything is loaded, the batch runs zmocheck_stati.sql,
// which fails (exit code 2) when the tag is there; the batch then goes
// straight to the archive move.
#pragma once

#include <string>

namespace zmo::loader {

// The warehouse table of the tags.
constexpr const char* kLoadDoneTable = "r3_load_done";
constexpr const char* kLoadCheckScript = "zmocheck_stati.sql";

// The tag of the statistic data file: its length and a 64-bit FNV-1a hash
// of its bytes, in hex. Two intervals' files never hold the same bytes; a
// file loaded again after a kill does. "" when the file cannot be read.
std::string statiLoadTag();

// The statement that marks the tag loaded.
std::string loadDoneInsert(const std::string& tag);

// Writes <BinDir>/zmocheck_stati.sql: a query that fails when the tag is
// marked loaded. Returns 0, or kLoaderExitError after its trace lines.
int writeLoadCheckScript(const std::string& tag);

}  // namespace zmo::loader
