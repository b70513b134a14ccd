#include "common/db_tools.h"

#include <cstring>

namespace zmo {
namespace {

constexpr const char* kToolNames[kDbToolCount] = {
    "sqlldr73", "sqlldr80", "sqlldr", "sqlplus",       "bcp",
    "isql",     "corvacmd", "corva",  "tesseledit300",
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

}  // namespace zmo
