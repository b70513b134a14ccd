// The staging tables of a run and the scripts that create and fill them:
// the Corva and Tessel load scripts, and for the Oracle, MSSQL and Sybase
// kinds a script of its own that the batch runs before the loads. Every kind
// drops and creates the tables of the groups that are on, so a table that
// the last run's aggregation dropped is there again for this run's load.
#include <cstdio>
#include <string>

#include "common/db_kind.h"
#include "common/record_layouts.h"
#include "lines.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"

namespace zmo::loader {

namespace {

// The columns of a staging table: the fields of its file's layout.
zmo::RecordLayout ColumnsOf(char table) {
  switch (table) {
    case 'c':
      return zmo::snapCpuLayout();
    case 'd':
      return zmo::snapDiskLayout();
    case 'l':
      return zmo::snapLanLayout();
    case 'v':
      return zmo::availLayout();
    default:
      return zmo::statRecordLayout();
  }
}

// The type names of a kind; the Oracle ones are the standard names that
// Oracle accepts.
std::string TypeText(const zmo::RecordField& c, zmo::DbKind kind) {
  switch (c.column) {
    case zmo::ColumnType::kVarchar:
      return "varchar(" + std::to_string(c.columnSize) + ")";
    case zmo::ColumnType::kInteger:
      return "integer";
    case zmo::ColumnType::kBigint:
      return kind == zmo::DbKind::kOracle ? "numeric(19)" : "bigint";
    case zmo::ColumnType::kTimestamp:
      if (kind == zmo::DbKind::kTessel) return "datetime year to second";
      if (kind == zmo::DbKind::kMssql || kind == zmo::DbKind::kSybase) return "datetime";
      return "timestamp";
  }
  return "";
}

// "create table x (", then a line per column: 8 blanks, the name in 32
// columns, the type, and "," or last_end after the last column.
void AddCreate(Lines* lines, char table, zmo::DbKind kind, const char* last_end) {
  lines->push_back("create table " + tableName(table) + " (");
  const zmo::RecordLayout columns = ColumnsOf(table);
  for (size_t i = 0; i < columns.size(); ++i) {
    const zmo::RecordField& c = columns[i];
    char name[64];
    std::snprintf(name, sizeof(name), "        %-32s", c.name);
    std::string type = TypeText(c, kind) + (c.notNull ? " not null" : "");
    lines->push_back(name + type + (i + 1 == columns.size() ? last_end : ","));
  }
}

// The tables of this run that are on, in load order.
std::string TablesOn() {
  std::string tables;
  for (char t : runTables()) {
    if (tableOn(t)) tables += t;
  }
  return tables;
}

// The drop of one table in a kind's own dialect. The MSSQL and Sybase one
// drops only a table that is there; the others fail on a missing table,
// which the scripts pass over.
void AddDrop(Lines* lines, char table, zmo::DbKind kind) {
  const std::string name = tableName(table);
  switch (kind) {
    case zmo::DbKind::kCorva:
      lines->insert(lines->end(), {"drop table " + name + ";", "commit;"});
      return;
    case zmo::DbKind::kMssql:
    case zmo::DbKind::kSybase:
      lines->insert(lines->end(),
                    {"if object_id('" + name + "') is not null drop table " + name, "go"});
      return;
    default:
      lines->push_back("drop table " + name + ";");
      return;
  }
}

// The create of one table in a kind's own dialect.
void AddCreateIn(Lines* lines, char table, zmo::DbKind kind) {
  switch (kind) {
    case zmo::DbKind::kCorva:
      AddCreate(lines, table, kind, ")");
      lines->push_back(table == kStatiTable ? "        in r3klv_load;" : "        in r3klv_data;");
      lines->push_back("commit;");
      return;
    case zmo::DbKind::kMssql:
    case zmo::DbKind::kSybase:
      AddCreate(lines, table, kind, ")");
      lines->push_back("go");
      return;
    default:
      AddCreate(lines, table, kind, ");");
      return;
  }
}

void AddDropCreate(Lines* lines, char table, zmo::DbKind kind) {
  AddDrop(lines, table, kind);
  AddCreateIn(lines, table, kind);
}

}  // namespace

int writeCorvaLoadScript() {
  const LoaderState& s = loaderState();
  const std::string logon = " user " + s.user + " using " + s.password + ";";
  Lines lines = {"attach to " + s.inst + logon, "connect to " + s.dsn + logon};
  const std::string tables = TablesOn();
  for (char t : tables) AddDropCreate(&lines, t, zmo::DbKind::kCorva);
  if (s.prog == kProgramSnap) {
    const std::string plus = plusText() + ";";
    for (char t : tables) {
      if (!dataPresent(t)) continue;
      const std::string name = tableName(t);
      lines.insert(lines.end(), {plus, "echo BEGIN Loading records into " + name + ";", plus,
                                 "import from " + lineArg(binPath(snapGroup(t).hand_over)) +
                                     " of del insert into " + name + ";",
                                 plus, "echo END Loading records into " + name + ";", plus});
    }
  } else if (tableLoaded(kStatiTable)) {
    lines.push_back("import from " + lineArg(s.stati_output) + " of del insert into " +
                    tableName(kStatiTable) + ";");
  }
  lines.push_back("Terminate;");
  return writeLoaderFile(binPath(loaderProgramInfo(s.prog)->load_sql), lines);
}

int writeTesselLoadScript() {
  const LoaderState& s = loaderState();
  Lines lines;
  for (char t : TablesOn()) AddDropCreate(&lines, t, zmo::DbKind::kTessel);
  // Only the tables that are made, from the files that are there.
  for (char t : runTables()) {
    if (!tableLoaded(t)) continue;
    std::string load =
        "load from " + quoteAlways(dataPath(t)) + " delimiter \",\" insert into " + tableName(t);
    lines.push_back(s.prog == kProgramSnap ? load + ";" : load);
  }
  return writeLoaderFile(binPath(loaderProgramInfo(s.prog)->load_sql), lines);
}

int writeStagingScript() {
  const LoaderState& s = loaderState();
  const LoaderProgramInfo& program = *loaderProgramInfo(s.prog);
  Lines lines;
  if (s.kind != zmo::DbKind::kOracle) {
    lines.insert(lines.end(), {"use r3klv", "go"});
    for (char t : TablesOn()) AddDropCreate(&lines, t, s.kind);
    return writeLoaderFile(binPath(program.stage_script), lines);
  }
  // The drops of tables that are not there fail and are passed over; any
  // other failure ends the script with failure, and it ends with success
  // only when every table was made.
  lines.push_back("spool " + lineArg(binPath(program.stage_log)));
  for (char t : TablesOn()) AddDrop(&lines, t, s.kind);
  lines.push_back("whenever sqlerror exit failure");
  for (char t : TablesOn()) AddCreateIn(&lines, t, s.kind);
  lines.insert(lines.end(), {"spool off;", "EXIT SUCCESS;"});
  return writeLoaderFile(binPath(program.stage_script), lines);
}

int writeDropScript() {
  const LoaderState& s = loaderState();
  Lines lines;
  if (s.kind != zmo::DbKind::kOracle) lines.insert(lines.end(), {"use r3klv", "go"});
  for (char t : TablesOn()) AddDrop(&lines, t, s.kind);
  if (s.kind == zmo::DbKind::kOracle) lines.push_back("EXIT;");
  return writeLoaderFile(binPath(loaderProgramInfo(s.prog)->drop_script), lines);
}

bool stagingTablesMade() { return !TablesOn().empty(); }

}  // namespace zmo::loader
