// The SQL dialects of the aggregation scripts, one row per database kind,
// and the one statement writer that frames every statement in its row's
// terminator and commit line. A script differs between the kinds only in
// what a row holds.
#pragma once

#include <string>
#include <vector>

#include "common/db_kind.h"

namespace zmo::loader {

// How a script begins.
enum class SqlHeader { kNone, kCorva, kOracle, kSybase };

// Patterns hold "%s" where the column or table goes.
struct SqlDialect {
  zmo::DbKind kind;  // its row in db_kind.h gives the date literals' form
  SqlHeader header;
  const char* terminator;      // after each statement ("" none)
  const char* commit;          // the commit line (nullptr none)
  const char* close_line;      // before the last line (nullptr none)
  const char* last_line;       // (nullptr none)
  const char* trim;            // TRIM(x)
  const char* sid;             // the system id from system_label
  const char* diag_date;       // the date of end_date, in select lists
  const char* diag_date_key;   // the same in group by lists
  const char* diag_hour;       // the hour of end_date
  const char* date_col;        // DATECOL(c): a date column as its literal compares
  const char* empty_table;     // EMPTYTABLE t
  const char* snap_date;       // DATE of snap_date, in group by and most select lists
  const char* snap_day;        // DATE in the select lists of r3_cpu, r3_disk, r3_lan
  const char* snap_hour;       // HOUR of snap_date
  const char* retention_tail;  // appended to the snapshot retention date
  const char* trend_cut_time;  // Tessel: the trend tables keep rows before tomorrow
  const char* stamp;           // a statistic time stamp's text as a value that orders by time
  bool column_lists;           // inserts name their columns
};

// The row of a kind; nullptr for none.
const SqlDialect* sqlDialectOf(zmo::DbKind kind);

// pattern with every "%s" replaced by arg.
std::string sqlApply(const char* pattern, const std::string& arg);
// text as an SQL string literal: in single quotes, each quote doubled.
std::string sqlLiteral(const std::string& text);

// A script being written: its lines, without line ends.
struct SqlScript {
  const SqlDialect* dialect = nullptr;
  std::vector<std::string> lines;
};

// The dialect's header. agg_log is the script tool's log (Oracle spools
// into it); snapshot_form writes the snapshot script's Corva attach line,
// which has two blanks before "using", and one more empty line.
struct SqlHeaderValues {
  std::string agg_log;
  std::string inst;
  std::string user;
  std::string password;
  std::string dsn;
  bool snapshot_form = false;
};
void sqlHeader(SqlScript* script, const SqlHeaderValues& values);
// One statement (its lines separated by "\n"), its terminator, an empty line
// and the commit line.
void sqlStatement(SqlScript* script, const std::string& text);
// The commit line alone, where the dialect has one.
void sqlCommit(SqlScript* script);
// The close line and the last line.
void sqlEnd(SqlScript* script);

// The pieces of an insert ... select statement, written one clause a line.
struct SqlInsert {
  const char* table = "";
  std::vector<std::string> select;
  std::string from;
  std::string where;                  // "" none
  std::vector<std::string> group_by;  // empty none
};
// "insert into t" (with the column list where the dialect writes one) and
// the select.
std::string sqlInsertSelect(const SqlDialect& dialect, const SqlInsert& insert);
// "insert into t" and, where the dialect writes them, t's columns.
std::string sqlInsertInto(const SqlDialect& dialect, const char* table);
// items joined by ", ".
std::string sqlList(const std::vector<std::string>& items);

// The warehouse columns of a table, comma-joined in the order its inserts
// fill them ("" for a table outside the list).
const char* warehouseColumns(const char* table);

}  // namespace zmo::loader
