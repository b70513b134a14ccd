// The start and the end of an aggregation script, and the values that both
// scripts write the same way.
#include "aggregate_internal.h"
#include "lines.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/archive.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

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

int aggregateWrite(const SqlScript& script, const char* name) {
  if (writeLoaderFile(binPath(name), script.lines) != 0) return kAggregateNotWritten;
  return 0;
}
