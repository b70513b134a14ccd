// The aggregation script writers are not part of this program yet: each
// writes nothing and says so, and the batch's aggregation line then finds
// no script, which its tool logs.
#include "zmoloader/aggregate_sql.h"

#include "zmoloader/trace.h"

int writeSnapAggregateSql(const char* kind_name) {
  loaderLog("writeSnapAggregateSql() no snapshot aggregation script for <%s>\n", kind_name);
  return kAggregateNotWritten;
}

int writeStatiAggregateSql(const char* kind_name) {
  loaderLog("writeStatiAggregateSql() no statistics aggregation script for <%s>\n", kind_name);
  return kAggregateNotWritten;
}
