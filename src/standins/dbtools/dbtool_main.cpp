// The stand-ins' common entry: the table of tools, the call record and the
// failure on request, then the tool's own work.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tools.h"

namespace zmo::dbtools {

namespace {

struct ToolEntry {
  const char* name;
  int (*run)(ToolRun*);
};

// The three Oracle loader names take the same command line.
constexpr ToolEntry kTools[] = {
    {"sqlldr73", RunSqlldr},   {"sqlldr80", RunSqlldr}, {"sqlldr", RunSqlldr},
    {"sqlplus", RunSqlplus},   {"bcp", RunBcp},         {"isql", RunIsql},
    {"corvacmd", RunCorvacmd}, {"corva", RunCorva},     {"tesseledit300", RunTessel},
};

}  // namespace

int dbtoolMain(const char* tool, int argc, char** argv) {
  ToolRun run;
  run.tool = tool ? tool : "";
  for (int i = 1; i < argc; ++i) run.args.emplace_back(argv[i]);
  const ToolEntry* entry = nullptr;
  for (const ToolEntry& t : kTools) {
    if (run.tool == t.name) entry = &t;
  }
  if (!entry) return Refuse(&run, "no such tool");
  if (RecordCall(run.tool, run.args) != 0) {
    Refuse(&run, std::string("cannot record the call: ") + std::strerror(errno));
  }
  int code = 0;
  if (FailRequested(run.tool, &code)) {
    Say(&run, run.tool + ": failing on request with exit code " + std::to_string(code));
    return code;
  }
  int rc = entry->run(&run);
  CloseReport(&run);
  return rc != kToolOk ? rc : run.result;
}

}  // namespace zmo::dbtools
