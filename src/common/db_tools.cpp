#include "common/db_tools.h"

#include <cstring>

namespace zmo {
namespace {

constexpr const char* kToolNames[kDbToolCount] = {
    "sqlldr73", "sqlldr80", "sqlldr", "sqlplus",       "bcp",
    "isql",     "corvacmd", "corva",  "tesseledit300",
};

}  // namespace

const char* dbToolName(int tool) {
  if (tool < 0 || tool >= kDbToolCount) return "";
  return kToolNames[tool];
}

const OracleVersion* findOracleVersion(const char* version) {
  if (version == nullptr) return nullptr;
  for (const OracleVersion& v : kOracleVersions) {
    if (std::strcmp(version, v.version) == 0) return &v;
  }
  return nullptr;
}

int oracleLoaderTool(const char* version, int* tool) {
  const OracleVersion* v = findOracleVersion(version);
  if (v == nullptr) return 1;
  *tool = v->loader;
  return 0;
}

}  // namespace zmo
