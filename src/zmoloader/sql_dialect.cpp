#include "sql_dialect.h"

#include <cstring>
#include <initializer_list>

namespace zmo::loader {

namespace {

// MSSQL; Sybase writes the same statements after a header of its own.
constexpr SqlDialect kMssql = {.kind = zmo::DbKind::kMssql,
                               .header = SqlHeader::kNone,
                               .terminator = "",
                               .commit = "go",
                               .close_line = nullptr,
                               .last_line = nullptr,
                               .trim = "rtrim(%s)",
                               .sid = "substring(system_label,1,3)",
                               .diag_date = "convert(datetime,substring(end_date,1,10),110)",
                               .diag_date_key = "convert(datetime,substring(end_date,1,10),110)",
                               .diag_hour = "substring(end_date,12,2)",
                               .date_col = "%s",
                               .empty_table = "truncate table %s",
                               .snap_date = "CONVERT(varchar(11), snap_date)",
                               .snap_day = "CONVERT(varchar(11), snap_date)",
                               .snap_hour = "CONVERT(varchar(2), snap_date, 108)",
                               .retention_tail = "",
                               .trend_cut_time = nullptr,
                               .stamp = "convert(datetime,%s)",
                               .column_lists = false};

constexpr SqlDialect AsMssql(zmo::DbKind kind, SqlHeader header) {
  SqlDialect d = kMssql;
  d.kind = kind;
  d.header = header;
  return d;
}

// The five dialects. The date and hour of end_date read the statistic data
// file's own time-stamp form of each kind (Oracle YYYYMMDDhhmmss, Corva
// YYYY-MM-DD-hh.mm.ss.000000, MSSQL and Sybase MM-DD-YYYY hh:mm:ss, Tessel
// YYYY-MM-DD hh:mm:ss; all but the month-first one order as text), and the MSSQL and Sybase hour of
// snap_date is taken from the 24-hour style 108, never from a 12-hour clock.
constexpr SqlDialect kDialects[] = {
    {.kind = zmo::DbKind::kCorva,
     .header = SqlHeader::kCorva,
     .terminator = ";",
     .commit = "COMMIT;",
     .close_line = nullptr,
     .last_line = "TERMINATE;",
     .trim = "ltrim(rtrim(%s))",
     .sid = "substr(system_label,1,3)",
     .diag_date = "date(substr(end_date,1,10))",
     .diag_date_key = "date(substr(end_date,1,10))",
     .diag_hour = "substr(end_date,12,2)",
     .date_col = "%s",
     .empty_table = "delete from  %s",
     .snap_date = "substr(char(snap_date),1,10)",
     .snap_day = "substr(char(snap_date),1,10)",
     .snap_hour = "substr(char(snap_date),12,2)",
     .retention_tail = "-00.00.00.000000",
     .trend_cut_time = nullptr,
     .stamp = "%s",
     .column_lists = false},
    // Emptying a table keeps a where clause, but one that holds for every
    // row: a filler value would leave the rows whose key equals it or is
    // null, and they would be summed again by the next rebuild.
    {.kind = zmo::DbKind::kTessel,
     .header = SqlHeader::kNone,
     .terminator = ";",
     .commit = nullptr,
     .close_line = nullptr,
     .last_line = nullptr,
     .trim = "trim(%s)",
     .sid = "system_label[1,3]",
     .diag_date = "date(end_date[6,7] || '/' || end_date[9,10] || '/' || end_date[1,4])",
     .diag_date_key = "end_date[1,10]",
     .diag_hour = "end_date[12,13]",
     .date_col = "%s",
     .empty_table = "delete from %s where 1 = 1",
     .snap_date = "snap_date[1,10]",
     .snap_day = "date(snap_date[6,7] || '/' || snap_date[9,10] || '/' || snap_date[1,4])",
     .snap_hour = "snap_date[12,13]",
     .retention_tail = "",
     .trend_cut_time = " 00:00:00",
     .stamp = "%s",
     .column_lists = true},
    kMssql,
    // The Oracle date columns compare with YYYYMMDD literals through to_char,
    // never by the session's default date format.
    // One transaction: no commit per statement, the first failed statement
    // rolls the whole run back, and the final EXIT commits.
    {.kind = zmo::DbKind::kOracle,
     .header = SqlHeader::kOracle,
     .terminator = ";",
     .commit = nullptr,
     .close_line = "spool off;",
     .last_line = "EXIT;",
     .trim = "rtrim(%s)",
     .sid = "substr(system_label,1,3)",
     .diag_date = "to_date(substr(end_date,1,8),'yyyymmdd')",
     .diag_date_key = "to_date(substr(end_date,1,8),'yyyymmdd')",
     .diag_hour = "substr(end_date,9,2)",
     .date_col = "to_char(%s,'yyyymmdd')",
     .empty_table = "truncate table %s",
     .snap_date = "to_date(substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),1,11),'dd-mon-yyyy')",
     .snap_day = "to_date(substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),1,11),'dd-mon-yyyy')",
     .snap_hour = "substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),13,2)",
     .retention_tail = "",
     .trend_cut_time = nullptr,
     .stamp = "%s",
     .column_lists = false},
    AsMssql(zmo::DbKind::kSybase, SqlHeader::kSybase),
};

struct WarehouseTable {
  const char* name;
  const char* columns;
};

constexpr WarehouseTable kTables[] = {
    {"r3_cpu",
     "rfc_dest_str,host_name,system_label,sys_id,snap_client,snap_date,snap_hour,snap_count,"
     "num_of_cpu,load1_avg,load5_avg,load15_avg,user_cpu,system_cpu,idle_CPU,page_in_sec,"
     "page_out_sec,free_memory,tot_memory,num_users,num_modi,cpu_seq_id"},
    {"r3_disk",
     "rfc_dest_str,host_name,system_label,sys_id,snap_client,snap_date,snap_hour,snap_count,"
     "disk_name,utilization,queue_length,wait,service,disk_seq_id"},
    {"r3_lan",
     "rfc_dest_str,host_name,system_label,sys_id,snap_client,snap_date,snap_hour,snap_count,"
     "lan_name,packets_in,packets_out,in_errors,out_errors,collisions,lan_seq_id"},
    {"r3_cpu_sum",
     "rfc_dest_str,host_name,system_label,sys_id,snap_date,page_in_sec,page_out_sec,user_cpu,"
     "system_cpu,idle_CPU"},
    {"r3_disk_sum",
     "rfc_dest_str,host_name,system_label,sys_id,snap_date,disk_name,utilization,queue_length,"
     "wait,service"},
    {"r3_user_sum",
     "record_type,system_label,host_name,rfc_dest_str,user_count,diag_date,diag_hour,user_seq_id"},
    {"r3_avail_sum",
     "rfc_dest_str,host_name,system_label,sys_id,snap_date,snap_hour,snap_count,sys_available,"
     "avail_seq_id"},
    {"r3_progresp",
     "record_type,system_label,sys_id,rfc_dest_str,host_name,diag_date,diag_hour,t_code,"
     "cua_prog,user_name,task_type,diag_count,cpu_time,response_time,database_time,other_time,"
     "kb_transfered,kb_changed,wait_time,memory_used,load_time,gui_time,gui_count,gui_net_time,"
     "prog_seq_id"},
    {"r3_last_seq", "prog_seq_id"},
    {"r3_application",
     "group_area,group_name,t_code,system_label,sys_id,rfc_dest_str,host_name,diag_date,"
     "diag_hour,diag_count,cpu_time,response_time,database_time,other_time,kb_transfered,"
     "kb_changed,wait_time,memory_used,load_time,gui_time,gui_count,gui_net_time,appl_seq_id"},
    {"r3_trans_sum",
     "system_label,t_code,diag_count,tot_cpu_time,tot_response_time,tot_database_time,"
     "tot_other_time,tot_kb_transfered,tot_kb_changed,tot_wait_time,tot_memory_used,"
     "tot_load_time,tot_gui_net_time,tot_gui_time,tot_end_to_end,avg_cpu_time,"
     "avg_response_time,avg_database_time,avg_other_time,avg_kb_transfered,avg_kb_changed,"
     "avg_wait_time,avg_memory_used,avg_load_time,avg_gui_net_time,avg_gui_time,avg_end_to_end"},
    {"r3_prog_sum",
     "system_label,cua_prog,diag_count,tot_cpu_time,tot_kb_transfered,tot_kb_changed,"
     "tot_database_time,avg_cpu_time,avg_response_time,avg_database_time,avg_other_time,"
     "avg_kb_transfered,avg_kb_changed,avg_wait_time,avg_memory_used,avg_load_time"},
    {"r3_cur_prog",
     "system_label,t_code,cua_prog,tot_count,tot_cpu_time,tot_kb_transfered,tot_kb_changed,"
     "tot_response_time,tot_database_time,tot_memory_used"},
    {"r3_prev_prog",
     "system_label,t_code,cua_prog,tot_count,tot_cpu_time,tot_kb_transfered,tot_kb_changed,"
     "tot_response_time,tot_database_time,tot_memory_used"},
    {"r3_trans_variance",
     "system_label,t_code,cur_count,cur_avg_cpu_time,cur_avg_kb_trans,cur_avg_kb_changd,"
     "cur_avg_resp_time,cur_avg_db_time,cur_avg_mem_used,prev_count,prev_avg_cpu_time,"
     "prev_avg_kb_trans,prev_avg_kb_changd,prev_avg_resp_time,prev_avg_db_time,"
     "prev_avg_mem_used"},
    {"r3_prog_variance",
     "system_label,cua_prog,cur_count,cur_avg_cpu_time,cur_avg_kb_trans,cur_avg_kb_changd,"
     "cur_avg_resp_time,cur_avg_db_time,cur_avg_mem_used,prev_count,prev_avg_cpu_time,"
     "prev_avg_kb_trans,prev_avg_kb_changd,prev_avg_resp_time,prev_avg_db_time,"
     "prev_avg_mem_used"},
    {"r3_tcode_group", "group_area,group_name,t_code,sla"},
    {"r3_tx_sla",
     "system_label,sys_id,group_name,t_code,record_date,record_hour,sla_yes_count,sla_no_count,"
     "tot_count,sla_seq_id"},
    {"r3_sla_sum", "system_label,group_name,record_date,sla_yes_count,sla_no_count,tot_count"},
    {"r3_interval_done", "rfc_dest_str,host_name,system_label,record_type,start_date,end_date"},
};

void AddLines(SqlScript* script, std::initializer_list<std::string> lines) {
  script->lines.insert(script->lines.end(), lines.begin(), lines.end());
}

}  // namespace

const SqlDialect* sqlDialectOf(zmo::DbKind kind) {
  for (const SqlDialect& d : kDialects) {
    if (d.kind == kind) return &d;
  }
  return nullptr;
}

std::string sqlApply(const char* pattern, const std::string& arg) {
  std::string out;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      out += arg;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string sqlLiteral(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

void sqlHeader(SqlScript* script, const SqlHeaderValues& v) {
  switch (script->dialect->header) {
    case SqlHeader::kCorva:
      AddLines(script,
               {"attach to " + v.inst + "  user " + v.user +
                    (v.snapshot_form ? "  using " : " using ") + v.password + ";",
                "connect to " + v.dsn + " user " + v.user + " using " + v.password + ";", ""});
      if (v.snapshot_form) AddLines(script, {""});
      break;
    case SqlHeader::kOracle:
      // An "&" in a group name or an exclusion entry is text, not a
      // substitution that the client would ask for on standard input.
      AddLines(script, {"spool " + v.agg_log, "set serverout on", "set echo on", "set define off",
                        "whenever sqlerror exit failure rollback", ""});
      break;
    case SqlHeader::kSybase:
      AddLines(script, {"use r3klv", "", "go", ""});
      break;
    case SqlHeader::kNone:
      break;
  }
}

void sqlStatement(SqlScript* script, const std::string& text) {
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    script->lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  script->lines.push_back(text.substr(start) + script->dialect->terminator);
  script->lines.push_back("");
  sqlCommit(script);
}

void sqlCommit(SqlScript* script) {
  if (script->dialect->commit != nullptr) script->lines.push_back(script->dialect->commit);
}

void sqlEnd(SqlScript* script) {
  if (script->dialect->close_line != nullptr) script->lines.push_back(script->dialect->close_line);
  if (script->dialect->last_line != nullptr) script->lines.push_back(script->dialect->last_line);
}

std::string sqlList(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += ", ";
    out += item;
  }
  return out;
}

std::string sqlInsertInto(const SqlDialect& dialect, const char* table) {
  std::string out = std::string("insert into ") + table;
  if (dialect.column_lists) out += std::string(" (") + warehouseColumns(table) + ")";
  return out;
}

std::string sqlInsertSelect(const SqlDialect& dialect, const SqlInsert& insert) {
  std::string out = sqlInsertInto(dialect, insert.table) + "\nselect " + sqlList(insert.select) +
                    "\nfrom " + insert.from;
  if (!insert.where.empty()) out += "\nwhere " + insert.where;
  if (!insert.group_by.empty()) out += "\ngroup by " + sqlList(insert.group_by);
  return out;
}

const char* warehouseColumns(const char* table) {
  for (const WarehouseTable& t : kTables) {
    if (std::strcmp(t.name, table) == 0) return t.columns;
  }
  return "";
}

}  // namespace zmo::loader
