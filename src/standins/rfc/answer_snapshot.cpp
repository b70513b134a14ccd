// RFC_FUNCTION_SEARCH, J_8C1_GET_DB_LOG_DEST and FILL_SNAPSHOT_DATA: which
// function modules exist, where the database host is reached, and the
// operating-system figures of the application server or the database host.
#include <strings.h>

#include "answers.h"

namespace zmo::rfc {
namespace {

// Matches name against a pattern in which '*' stands for any run.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*')
    return Matches(pattern + 1, name) || (*name != '\0' && Matches(pattern, name + 1));
  return *name != '\0' &&
         toupper(static_cast<unsigned char>(*pattern)) ==
             toupper(static_cast<unsigned char>(*name)) &&
         Matches(pattern + 1, name + 1);
}

struct FunctionInfo {
  const char* name;
  const char* group;
  const char* text;
};

constexpr FunctionInfo kInfo[] = {
    {"RFC_SYSTEM_INFO", "SRFC", "System information of the RFC server"},
    {"SAPWL_STATREC_READ_FILE", "SAPWL_STATREC", "Read statistic records of an interval"},
    {"SXMI_LOGON", "SXMI", "Log on an external tool to the monitoring interface"},
    {"SXMI_XMB_USER_LIST_READ", "SXMI_XMB", "Users and sessions of the system"},
    {"SXMI_LOGOFF", "SXMI", "Log off from the monitoring interface"},
    {"RFC_FUNCTION_SEARCH", "SRFC", "Search function modules"},
    {"J_8C1_GET_DB_LOG_DEST", "J8C1", "Logical destination of the database host"},
    {"FILL_SNAPSHOT_DATA", "SMON", "Operating-system snapshot of a host"}};

}  // namespace

int AnswerFunctionSearch(CallContext& ctx, Answer* answer, std::string* refusal) {
  const std::string pattern = ExportText(ctx.exports, "FUNCNAME");
  const TableArg* t = FindTableArg(ctx, "FUNCTIONS");
  if (t == nullptr || pattern.empty()) return 0;
  const sap::StructLayout* layout = TableLayout(ctx, *t, "RFCFUNC", "", refusal);
  if (layout == nullptr) return -1;
  std::vector<std::vector<FieldValue>> rows;
  for (const FunctionInfo& f : kInfo) {
    if (ctx.sys.Behaviour(f.name).absent || !Matches(pattern.c_str(), f.name)) continue;
    rows.push_back(
        {{"FUNCNAME", f.name}, {"GROUPNAME", f.group}, {"APPL", "S"}, {"STEXT", f.text}});
  }
  return PutRows(*layout, rows, true, "FUNCTIONS", answer, refusal);
}

int AnswerDbLogDest(CallContext& ctx, Answer* answer, std::string* /*refusal*/) {
  answer->imports["DESTINATION"] = TextValue(ctx.sys.db_destination);
  answer->imports["LOCALITY"] = TextValue(ctx.sys.db_locality);
  return 0;
}

// Without LOGICAL_DESTINATION the application server is sampled; with the
// destination J_8C1_GET_DB_LOG_DEST names, the database host.
int AnswerFillSnapshot(CallContext& ctx, Answer* answer, std::string* refusal) {
  const std::string dest = ExportText(ctx.exports, "LOGICAL_DESTINATION");
  const HostSnapshot* host = &ctx.sys.app;
  if (!dest.empty()) {
    if (!ctx.sys.has_db_host || strcasecmp(dest.c_str(), ctx.sys.db_destination.c_str()) != 0) {
      Raise(answer, RFC_EXCEPTION, "INVALID_DESTINATION",
            "no host is reached through destination " + dest);
      return 0;
    }
    host = &ctx.sys.db;
  }
  struct Part {
    const char* table;
    const char* structure;
    const std::vector<std::vector<FieldValue>>& rows;
  };
  const Part parts[] = {{"TF_CPU_ALL", "CPU_ALL", host->cpu},
                        {"TF_DISK_SINGLE", "DSK_SINGLE", host->disk},
                        {"TF_LAN_SINGLE", "LAN_SINGLE", host->lan},
                        {"TF_MEM_ALL", "MEM_ALL", host->mem}};
  for (const Part& p : parts) {
    const TableArg* t = FindTableArg(ctx, p.table);
    if (t == nullptr) continue;
    const sap::StructLayout* layout = TableLayout(ctx, *t, p.structure, "", refusal);
    if (layout == nullptr) return -1;
    // Rows are numbered by their position unless the file numbers them.
    std::vector<std::vector<FieldValue>> rows = p.rows;
    for (size_t i = 0; i < rows.size(); ++i) {
      bool numbered = false;
      for (const FieldValue& v : rows[i])
        numbered = numbered || strcasecmp(v.name.c_str(), "SERIALNR") == 0;
      if (!numbered) rows[i].insert(rows[i].begin(), {"SERIALNR", std::to_string(i + 1)});
    }
    if (PutRows(*layout, rows, true, p.table, answer, refusal) != 0) return -1;
  }
  return 0;
}

}  // namespace zmo::rfc
