// The aggregation scripts that the batch runs after the load with -a:
// <BinDir>/zmosnap.sql and <BinDir>/zmostati.sql, in the SQL dialect of the
// run's kind. Called at the point of the batch where the script's line goes.
#pragma once

#include "common/db_kind.h"

namespace zmo::loader {

// The result when no script could be written.
constexpr int kAggregateNotWritten = 1;

// Each returns 0 when the script was written, or non-zero when not.
int writeSnapAggregateSql(zmo::DbKind kind);
int writeStatiAggregateSql(zmo::DbKind kind);

}  // namespace zmo::loader
