// The start and the end of an aggregation script, and the values that both
// scripts write the same way.
#include "aggregate_internal.h"
#include "lines.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/archive.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

int aggregateBegin(zmo::DbKind kind, const char* agg_log, bool snapshot, SqlScript* script) {
  script->dialect = sqlDialectOf(kind);
  if (script->dialect == nullptr) {
    loaderLog("ERROR - ERROR: No SQL dialect for the database kind <%s>\n", zmo::dbKindName(kind));
    return kAggregateNotWritten;
  }
  const LoaderState& s = loaderState();
  SqlHeaderValues values;
  values.agg_log = lineArg(binPath(agg_log));
  values.inst = s.inst;
  values.user = s.user;
  values.password = s.password;
  values.dsn = s.dsn;
  values.snapshot_form = snapshot;
  sqlHeader(script, values);
  return 0;
}

std::string dateLiteral(const SqlDialect& dialect, int days) {
  return sqlLiteral(getDateForDb(days, dialect.kind));
}

int detailKeepDays() {
  int days = loaderState().detail_keep_days;
  return days > 0 ? -days : days;
}

std::string metricOr9(bool on, const std::string& expr) { return on ? expr : "-9"; }

std::string carriedRows(const std::vector<const char*>& columns) {
  std::string carries;
  for (const char* c : columns) {
    carries += std::string(carries.empty() ? "" : " and ") + c + " <> -9";
  }
  return carries;
}

namespace {

// value summed over the rows that carry every column.
std::string CarriedSum(const std::vector<const char*>& columns, const std::string& value) {
  return "sum(case when " + carriedRows(columns) + " then " + value + " else 0 end)";
}

}  // namespace

std::string carriedTotal(const std::vector<const char*>& columns, const std::string& value) {
  return "case when " + CarriedSum(columns, "1") + " = 0 then -9 else " +
         CarriedSum(columns, value) + " end";
}

std::string carriedAverage(const std::vector<const char*>& columns, const std::string& value,
                           const char* count_column) {
  return "case when " + CarriedSum(columns, "1") + " = 0 then -9 else " +
         CarriedSum(columns, value) + "/" + CarriedSum(columns, count_column) + " end";
}

std::string selectLines(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ",\n") + item;
  return out;
}

int aggregateWrite(const SqlScript& script, const char* name) {
  if (writeLoaderFile(binPath(name), script.lines) != 0) return kAggregateNotWritten;
  return 0;
}

}  // namespace zmo::loader
