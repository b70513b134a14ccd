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

// The Oracle client versions: the text the registry value Oracle holds, the
// version as its users write it, and the bulk loader of that client. The
// loader and the configurator take the versions from this one table.
struct OracleVersion {
  const char* version;
  const char* label;
  DbTool loader;
};
inline constexpr OracleVersion kOracleVersions[] = {
    {"73", "7.3", kToolSqlldr73},
    {"80", "8.0", kToolSqlldr80},
    {"81", "8.1", kToolSqlldr},
};

// The row of a version text of kOracleVersions (compared exactly); nullptr
// for any other text.
const OracleVersion* findOracleVersion(const char* version);

// The Oracle bulk loader of a client version (a version text of
// kOracleVersions). Returns 0 and *tool, or 1 for any other text (the
// version goes into a command line, so nothing else is taken).
int oracleLoaderTool(const char* version, int* tool);

}  // namespace zmo
