// The warehouse client programs the system starts or looks for, by their
// Linux names (no suffix, lower case). The loader writes them into its batch
// lines and the configurator checks that the chosen kind's program is on
// PATH, so both take the names from this one table.
#pragma once

namespace zmo {

enum DbTool {
  kToolSqlldr73,
  kToolSqlldr80,
  kToolSqlldr,
  kToolSqlplus,
  kToolBcp,
  kToolIsql,
  kToolCorvacmd,
  kToolCorva,
  kToolTesseledit300,
  kDbToolCount,
};

// The program name of a tool ("" for a number outside the table).
const char* dbToolName(int tool);

// The Oracle bulk loader of a client version: "73" sqlldr73, "80" sqlldr80,
// "81" sqlldr. Returns 0 and *tool, or 1 for any other text (the version
// goes into a command line, so nothing else is taken).
int oracleLoaderTool(const char* version, int* tool);

}  // namespace zmo
