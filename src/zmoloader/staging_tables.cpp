// The staging tables of a run and the scripts that create and fill them:
// the Corva and Tessel load scripts, and for the Oracle, MSSQL and Sybase
// kinds a script of its own that the batch runs before the loads. Every kind
// drops and creates the tables of the groups that are on, so a table that
// the last run's aggregation dropped is there again for this run's load.
#include <cstdio>
#include <span>
#include <string>

#include "common/field_writer.h"
#include "lines.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"

namespace {

enum ColumnType { kVarchar, kInteger, kBigint, kTimestamp };

struct Column {
  const char* name;
  ColumnType type;
  int size;  // of a varchar
  bool not_null;
};

constexpr Column Text(const char* name, int size) { return {name, kVarchar, size, false}; }
constexpr Column Key(const char* name, int size) { return {name, kVarchar, size, true}; }
constexpr Column Int(const char* name) { return {name, kInteger, 0, false}; }
constexpr Column Big(const char* name) { return {name, kBigint, 0, false}; }
constexpr Column Time(const char* name) { return {name, kTimestamp, 0, false}; }

constexpr Column kCpuColumns[] = {
    Key("rfc_dest_str", 20), Text("host_name", 55), Text("system_label", 34),
    Text("sys_id", 3),       Int("snap_client"),    Time("snap_date"),
    Int("num_of_cpu"),       Int("load1_avg"),      Int("load5_avg"),
    Int("load15_avg"),       Int("user_cpu"),       Int("system_cpu"),
    Int("idle_CPU"),         Int("page_in_sec"),    Int("page_out_sec"),
    Int("free_memory"),      Int("tot_memory"),     Int("num_users"),
    Int("num_modi"),
};
constexpr Column kDiskColumns[] = {
    Key("rfc_dest_str", 20), Text("host_name", 55),    Text("system_label", 34),
    Text("sys_id", 3),       Int("snap_client"),       Time("snap_date"),
    Text("disk_name", 34),   Int("utilization"),       Int("avg_queue_length"),
    Int("avg_wait"),         Int("avg_service"),
};
constexpr Column kLanColumns[] = {
    Key("rfc_dest_str", 20), Text("host_name", 55), Text("system_label", 34),
    Text("sys_id", 3),       Int("snap_client"),    Time("snap_date"),
    Text("lan_name", 34),    Int("packets_in"),     Int("packets_out"),
    Int("in_errors"),        Int("out_errors"),     Int("collisions"),
};
constexpr Column kAvailColumns[] = {
    Text("rfc_dest_str", 20), Text("host_name", 55), Text("system_label", 34),
    Text("sys_id", 3),        Time("snap_date"),     Int("sys_available"),
};
// The columns are named as the fields of the statistic data file, which the
// Oracle control file zmoklvload.par names and its loader binds by name:
// the dynpro field is DYNPRO_NUMBER there, so its column is dynpro_number in
// every kind.
constexpr Column kStatiColumns[] = {
    Key("record_type", 1),    Key("rfc_dest_str", 20), Text("host_name", 55),
    Text("system_label", 34), Key("client", 3),        Text("start_date", 26),
    Text("end_date", 26),     Text("t_code", 20),      Text("dynpro_number", 4),
    Text("cua_prog", 40),     Key("wp_id", 4),         Text("task_type", 1),
    Text("user_name", 30),    Int("cpu_time"),         Int("response_time"),
    Int("database_time"),     Int("kb_transfered"),    Int("kb_changed"),
    Int("wait_time"),         Int("memory_used"),      Int("load_time"),
    Big("gui_time"),          Big("gui_count"),        Big("gui_net_time"),
};

std::span<const Column> ColumnsOf(char table) {
  switch (table) {
    case 'c':
      return kCpuColumns;
    case 'd':
      return kDiskColumns;
    case 'l':
      return kLanColumns;
    case 'v':
      return kAvailColumns;
    default:
      return kStatiColumns;
  }
}

// The type names of a kind; the Oracle ones are the standard names that
// Oracle accepts.
std::string TypeText(const Column& c, int kind) {
  switch (c.type) {
    case kVarchar:
      return "varchar(" + std::to_string(c.size) + ")";
    case kInteger:
      return "integer";
    case kBigint:
      return kind == zmo::kDbOracle ? "numeric(19)" : "bigint";
    case kTimestamp:
      if (kind == zmo::kDbTessel) return "datetime year to second";
      if (kind == zmo::kDbMssql || kind == zmo::kDbSybase) return "datetime";
      return "timestamp";
  }
  return "";
}

// "create table x (", then a line per column: 8 blanks, the name in 32
// columns, the type, and "," or last_end after the last column.
void AddCreate(Lines* lines, char table, int kind, const char* last_end) {
  lines->push_back("create table " + tableName(table) + " (");
  std::span<const Column> columns = ColumnsOf(table);
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& c = columns[i];
    char name[64];
    std::snprintf(name, sizeof(name), "        %-32s", c.name);
    std::string type = TypeText(c, kind) + (c.not_null ? " not null" : "");
    lines->push_back(name + type + (i + 1 == columns.size() ? last_end : ","));
  }
}

// The tables of this run whose group is on, in load order.
std::string TablesOn() {
  if (loaderState().prog != kProgramSnap) return statiDataOn() ? "s" : "";
  std::string tables;
  for (const char* t = kLoadOrder; *t; ++t) {
    if (snapGroupOn(*t)) tables += *t;
  }
  return tables;
}

// The drop and create of one table in a kind's own dialect.
void AddDropCreate(Lines* lines, char table, int kind) {
  const std::string name = tableName(table);
  switch (kind) {
    case zmo::kDbCorva:
      lines->insert(lines->end(), {"drop table " + name + ";", "commit;"});
      AddCreate(lines, table, kind, ")");
      lines->push_back(table == kStatiTable ? "        in r3klv_load;" : "        in r3klv_data;");
      lines->push_back("commit;");
      return;
    case zmo::kDbMssql:
    case zmo::kDbSybase:
      lines->insert(lines->end(),
                    {"if object_id('" + name + "') is not null drop table " + name, "go"});
      AddCreate(lines, table, kind, ")");
      lines->push_back("go");
      return;
    default:  // Oracle, Tessel: a failed drop of a missing table is logged and passed
      lines->push_back("drop table " + name + ";");
      AddCreate(lines, table, kind, ");");
      return;
  }
}

}  // namespace

int writeCorvaLoadScript() {
  const LoaderState& s = loaderState();
  const std::string logon = " user " + s.user + " using " + s.password + ";";
  Lines lines = {"attach to " + s.inst + logon, "connect to " + s.dsn + logon};
  const std::string tables = TablesOn();
  for (char t : tables) AddDropCreate(&lines, t, zmo::kDbCorva);
  if (s.prog == kProgramSnap) {
    const std::string plus = plusText() + ";";
    for (char t : tables) {
      const std::string name = tableName(t);
      lines.insert(lines.end(),
                   {plus, "echo BEGIN Loading records into " + name + ";", plus,
                    "import from " + lineArg(binPath(snapGroup(t).data_file)) +
                        " of del insert into " + name + ";",
                    plus, "echo END Loading records into " + name + ";", plus});
    }
  } else if (!tables.empty()) {
    lines.push_back("import from " + lineArg(s.stati_output) + " of del insert into " +
                    tableName(kStatiTable) + ";");
  }
  lines.push_back("Terminate;");
  return writeLoaderFile(binPath(loaderProgramInfo(s.prog)->load_sql), lines);
}

int writeTesselLoadScript() {
  const LoaderState& s = loaderState();
  Lines lines;
  for (char t : TablesOn()) AddDropCreate(&lines, t, zmo::kDbTessel);
  if (s.prog == kProgramSnap) {
    // Every file is loaded, whatever the switches.
    for (const char* t = kLoadOrder; *t; ++t) {
      lines.push_back("load from " + quoteAlways(binPath(snapGroup(*t).data_file)) +
                      " delimiter \",\" insert into " + tableName(*t) + ";");
    }
  } else {
    lines.push_back("load from " + quoteAlways(s.stati_output) + " delimiter \",\" insert into " +
                    tableName(kStatiTable));
  }
  return writeLoaderFile(binPath(loaderProgramInfo(s.prog)->load_sql), lines);
}

int writeStagingScript() {
  const LoaderState& s = loaderState();
  const LoaderProgramInfo& program = *loaderProgramInfo(s.prog);
  Lines lines;
  if (s.kind == zmo::kDbOracle) {
    lines.push_back("spool " + lineArg(binPath(program.stage_log)));
  } else {
    lines.insert(lines.end(), {"use r3klv", "go"});
  }
  for (char t : TablesOn()) AddDropCreate(&lines, t, s.kind);
  if (s.kind == zmo::kDbOracle) lines.insert(lines.end(), {"spool off;", "EXIT;"});
  return writeLoaderFile(binPath(program.stage_script), lines);
}
