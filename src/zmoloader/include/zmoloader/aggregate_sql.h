// The aggregation scripts that the batch runs after the load with -a:
// <BinDir>/zmosnap.sql and <BinDir>/zmostati.sql, in the SQL dialect of the
// kind named. Called at the point of the batch where the script's line goes.
#pragma once

// The result when no script could be written.
constexpr int kAggregateNotWritten = 1;

// Each returns 0 when the script was written, or non-zero when not.
int writeSnapAggregateSql(const char* kind_name);
int writeStatiAggregateSql(const char* kind_name);
