#include "common/db_tools.h"

#include <cstring>

#include "common/field_writer.h"

namespace zmo {
namespace {

constexpr const char* kToolNames[kDbToolCount] = {
    "sqlldr73", "sqlldr80", "sqlldr", "sqlplus", "bcp", "isql", "corvacmd", "corva", "tesseledit300",
};

struct OracleVersion {
  const char* version;
  int tool;
};
constexpr OracleVersion kOracleVersions[] = {
    {"73", kToolSqlldr73},
    {"80", kToolSqlldr80},
    {"81", kToolSqlldr},
};

}  // namespace

const char* dbToolName(int tool) {
  if (tool < 0 || tool >= kDbToolCount) return "";
  return kToolNames[tool];
}

int oracleLoaderTool(const char* version, int* tool) {
  if (version == nullptr) return 1;
  for (const OracleVersion& v : kOracleVersions) {
    if (std::strcmp(version, v.version) == 0) {
      *tool = v.tool;
      return 0;
    }
  }
  return 1;
}

int dbKindClientTool(int kind, const char* oracle_version, int* tool) {
  switch (kind) {
    case kDbOracle:
      return oracleLoaderTool(oracle_version, tool);
    case kDbCorva:
      *tool = kToolCorvacmd;
      return 0;
    case kDbMssql:
    case kDbSybase:
      *tool = kToolIsql;
      return 0;
    case kDbTessel:
      *tool = kToolTesseledit300;
      return 0;
    default:
      return 1;
  }
}

}  // namespace zmo
