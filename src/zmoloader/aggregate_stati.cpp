// <BinDir>/zmostati.sql: removes the excluded users, transactions and
// programs from the staging table, trims the warehouse, sums the staging
// rows by hour, application group and service level, rebuilds the trend
// summaries, keeps the transaction-to-group table and drops the staging
// table.
#include <cstdio>
#include <string>
#include <vector>

#include "aggregate_internal.h"
#include "common/metric_switches.h"
#include "common/record_layouts.h"
#include "lines.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/libraries.h"
#include "zmoloader/load_check.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// The catalog text that names the all-transactions service-level rows.
constexpr unsigned kAllTransactionsId = 1512;
constexpr const char* kAllTransactionsFallback = "All Transactions";

// This run's rows of r3_progresp: those above the id stored before its
// insert.
constexpr const char* kThisRunRows = "r3_last_seq.prog_seq_id < r3_progresp.prog_seq_id";
constexpr const char* kThisRunSeq = "prog_seq_id > (select prog_seq_id from r3_last_seq)";

// The twelve measures, with the switches that keep them and their sum over
// the staging rows.
struct Measure {
  int stati;
  int appl;
  const char* column;
  const char* staged;
};
constexpr Measure kMeasures[] = {
    {zmo::kSwStatiCPU, zmo::kSwApplCPU, "cpu_time", "sum(cpu_time)"},
    {zmo::kSwStatiResp, zmo::kSwApplResp, "response_time", "sum(response_time)"},
    {zmo::kSwStatiDB, zmo::kSwApplDB, "database_time", "sum(database_time)"},
    {zmo::kSwStatiOther, zmo::kSwApplOther, "other_time",
     "sum((((response_time - database_time) - cpu_time) - wait_time) - load_time)"},
    {zmo::kSwStatiKBtrans, zmo::kSwApplKBtrans, "kb_transfered", "sum(kb_transfered)"},
    {zmo::kSwStatiKBchanged, zmo::kSwApplKBchanged, "kb_changed", "sum(kb_changed)"},
    {zmo::kSwStatiWait, zmo::kSwApplWait, "wait_time", "sum(wait_time)"},
    {zmo::kSwStatiMemUsed, zmo::kSwApplMemUsed, "memory_used", "sum(memory_used)"},
    {zmo::kSwStatiLoad, zmo::kSwApplLoad, "load_time", "sum(load_time)"},
    {zmo::kSwStatiGUI, zmo::kSwApplGUI, "gui_time", "sum(gui_time)"},
    {zmo::kSwStatiGUIcount, zmo::kSwApplGUIcount, "gui_count", "sum(gui_count)"},
    {zmo::kSwStatiGUInetTime, zmo::kSwApplGUInetTime, "gui_net_time", "sum(gui_net_time)"},
};

// The figures of the variance tables: the columns of r3_cur_prog summed and
// averaged over tot_count.
constexpr const char* kVarianceFigures[] = {"tot_cpu_time",      "tot_kb_transfered",
                                            "tot_kb_changed",    "tot_response_time",
                                            "tot_database_time", "tot_memory_used"};

// One script being written.
struct StatiScript {
  SqlScript sql;
  const SqlDialect* d = nullptr;
  const zmo::MetricSwitches* sw = nullptr;
  std::string stage;  // s<key>

  bool On(int s) const { return sw->on[s]; }
  bool Group(int g) const { return sw->group[g]; }
  bool Trend() const { return sw->all != 0; }
  std::string Trim(const std::string& x) const { return sqlApply(d->trim, x); }
  std::string DateCol(const std::string& c) const { return sqlApply(d->date_col, c); }
  void Add(const std::string& statement) { sqlStatement(&sql, statement); }
  void Add(const SqlInsert& insert) { sqlStatement(&sql, sqlInsertSelect(*d, insert)); }
};

// The warehouse's marks of the intervals whose records were loaded.
constexpr const char* kIntervalDone = "r3_interval_done";

// The intervals the staging table's interval lines name: each server's
// records of one kind whose end lies in an interval already marked loaded
// leave the staging table, the new intervals are marked, and the interval
// lines themselves go, so that only records reach the statements after
// these. An interval collected, handed over or loaded again therefore adds
// none of its records twice.
void AddIntervalMarks(StatiScript* s) {
  const std::string& st = s->stage;
  const std::string m = kIntervalDone;
  const std::string interval(1, zmo::kStatIntervalRecord);
  auto stamp = [&](const std::string& column) { return sqlApply(s->d->stamp, column); };
  const std::string same = "\nand " + m + ".";
  s->Add("delete from " + st + "\nwhere record_type <> '" + interval +
         "' and exists (select 1 from " + m + "\nwhere " + m + ".rfc_dest_str = " + st +
         ".rfc_dest_str" + same + "host_name = " + st + ".host_name" + same +
         "system_label = " + st + ".system_label" + same + "record_type = " + st +
         ".record_type\nand " + stamp(st + ".end_date") + " between " + stamp(m + ".start_date") +
         " and " + stamp(m + ".end_date") + ")");
  SqlInsert marks;
  marks.table = kIntervalDone;
  marks.select = {"distinct rfc_dest_str", "host_name",  "system_label",
                  s->Trim("t_code"),       "start_date", "end_date"};
  marks.from = st;
  marks.where = "record_type = '" + interval + "'";
  s->Add(marks);
  s->Add("delete from " + st + " where record_type = '" + interval + "'");
}

// The exclusion lists. The staging columns hold the fixed-width fields with
// their trailing blanks (the Oracle load preserves them), so each entry is
// compared with the trimmed column.
void AddExclusions(StatiScript* s) {
  struct Rule {
    bool on;
    const zmo::IgnoreListLayout& list;
    const char* column;
  };
  const Rule rules[] = {
      {s->Group(zmo::kGroupStati), kIdsToIgnore, "user_name"},
      {s->On(zmo::kSwStatiTransactions), kTransToIgnore, "t_code"},
      {s->On(zmo::kSwStatiPrograms), kProgsToIgnore, "cua_prog"},
  };
  for (const Rule& r : rules) {
    if (!r.on) continue;
    for (const std::string& word : readExclusionWords(r.list)) {
      s->Add("delete from " + s->stage + " where " + s->Trim(r.column) + " = " + sqlLiteral(word));
    }
  }
}

// The retention period.
void AddRetention(StatiScript* s) {
  const std::string cut = " < " + dateLiteral(*s->d, detailKeepDays());
  struct Rule {
    bool on;
    const char* table;
    const char* column;
  };
  const Rule rules[] = {
      {s->Group(zmo::kGroupStati), "r3_progresp", "diag_date"},
      // The marks go with the rows they kept from being loaded twice.
      {s->Group(zmo::kGroupStati), kIntervalDone, s->d->diag_date},
      {s->Group(zmo::kGroupSla), "r3_tx_sla", "record_date"},
      {s->On(zmo::kSwStatiActiveUsers), "r3_user_sum", "diag_date"},
      {s->Group(zmo::kGroupAppl), "r3_application", "diag_date"},
  };
  for (const Rule& r : rules) {
    if (r.on)
      s->Add(std::string("delete from ") + r.table + " where " + s->DateCol(r.column) + cut);
  }
}

// The highest id before this run's rows.
void AddLastSeq(StatiScript* s) {
  s->Add("delete from r3_last_seq");
  s->Add("insert into r3_last_seq (prog_seq_id) select max(prog_seq_id) from r3_progresp");
  s->Add("update r3_last_seq set prog_seq_id = 0 where prog_seq_id is null");
}

// The staging rows by hour into r3_progresp.
void AddProgresp(StatiScript* s) {
  const bool codes = s->On(zmo::kSwStatiTransactions) || s->Group(zmo::kGroupAppl);
  const bool programs = s->On(zmo::kSwStatiPrograms);
  SqlInsert in;
  in.table = "r3_progresp";
  in.select = {"record_type",
               s->Trim("system_label"),
               s->d->sid,
               "rfc_dest_str",
               "host_name",
               s->d->diag_date,
               s->d->diag_hour,
               codes ? s->Trim("t_code") : "''",
               programs ? s->Trim("cua_prog") : "''",
               "user_name",
               "task_type",
               "count(*)"};
  bool other_on = false;
  for (const Measure& m : kMeasures) {
    bool on = s->On(m.stati) || s->On(m.appl) ||
              (m.stati == zmo::kSwStatiResp && s->Group(zmo::kGroupSla));
    if (m.stati == zmo::kSwStatiOther) other_on = on;
    in.select.push_back(metricOr9(on, m.staged));
  }
  in.select.push_back("0");
  in.from = s->stage;
  // Every code the select lists is a group key, so the statement holds in
  // every dialect.
  in.group_by = {"system_label", s->d->sid, "rfc_dest_str", "host_name"};
  if (codes) in.group_by.push_back("t_code");
  if (programs) in.group_by.push_back("cua_prog");
  for (const char* key : {"user_name", "record_type", "task_type"}) in.group_by.push_back(key);
  in.group_by.push_back(s->d->diag_hour);
  in.group_by.push_back(s->d->diag_date_key);
  s->Add(in);
  // A negative other time of this run's rows is noise of the rounding; the
  // -9 of a switched-off measure, and older rows, stay as they are.
  if (other_on) {
    s->Add(std::string("update r3_progresp set other_time = 0 where other_time < 0 and ") +
           kThisRunSeq);
  }
}

// This run's rows by application group.
void AddApplication(StatiScript* s) {
  SqlInsert in;
  in.table = "r3_application";
  in.select = {"group_area",     "group_name", "r3_tcode_group.t_code",
               "system_label",   s->d->sid,    "rfc_dest_str",
               "host_name",      "diag_date",  "diag_hour",
               "sum(diag_count)"};
  for (const Measure& m : kMeasures) {
    in.select.push_back(metricOr9(s->On(m.appl), std::string("sum(") + m.column + ")"));
  }
  in.select.push_back("0");
  in.from = "r3_progresp,r3_tcode_group,r3_last_seq";
  in.where = std::string("r3_progresp.t_code=r3_tcode_group.t_code and ") + kThisRunRows;
  in.group_by = {"r3_tcode_group.t_code",
                 "diag_date",
                 "diag_hour",
                 "r3_progresp.system_label",
                 "r3_progresp.rfc_dest_str",
                 "r3_progresp.host_name",
                 "group_area",
                 "group_name"};
  s->Add(in);
}

// A measure of the trend summaries: the columns a row must carry for it
// (none holding the -9 of a metric switched off in that row's run) and the
// value such a row adds.
struct TrendMeasure {
  std::vector<const char*> columns;
  std::string value;
};

// A measure of one column.
TrendMeasure Column(const char* column) { return {{column}, column}; }

// The other time: the response time less its measured parts.
TrendMeasure OtherTime(bool gui_net) {
  TrendMeasure m{{"response_time", "database_time", "cpu_time", "wait_time", "load_time"},
                 "response_time - database_time - cpu_time - wait_time - load_time"};
  if (gui_net) {
    m.columns.push_back("gui_net_time");
    m.value += " - gui_net_time";
  }
  return m;
}

std::string TrendTotal(const TrendMeasure& m) { return carriedTotal(m.columns, m.value); }
std::string TrendAverage(const TrendMeasure& m) {
  return carriedAverage(m.columns, m.value, "diag_count");
}

// The 30-day summaries by transaction and by program. A metric switched off
// for a run leaves -9 in its rows; the totals and averages leave those rows
// out rather than count the marker as a value.
void AddThirtyDaySums(StatiScript* s) {
  const std::string recent =
      s->DateCol("diag_date") + " >= " + dateLiteral(*s->d, -30) + " and diag_count > 0";

  const std::vector<TrendMeasure> measures = {
      Column("cpu_time"),      Column("response_time"),
      Column("database_time"), OtherTime(true),
      Column("kb_transfered"), Column("kb_changed"),
      Column("wait_time"),     Column("memory_used"),
      Column("load_time"),     Column("gui_net_time"),
      Column("gui_time"),      {{"response_time", "gui_net_time"}, "response_time + gui_net_time"}};
  std::vector<std::string> items;
  for (const TrendMeasure& m : measures) items.push_back(TrendTotal(m));
  for (const TrendMeasure& m : measures) items.push_back(TrendAverage(m));
  sqlStatement(&s->sql, sqlApply(s->d->empty_table, "r3_trans_sum"));
  SqlInsert trans;
  trans.table = "r3_trans_sum";
  trans.select = {s->Trim("system_label"), s->Trim("t_code"), "sum(diag_count)",
                  selectLines(items)};
  trans.from = "r3_progresp";
  trans.where = recent;
  trans.group_by = {"system_label", "t_code"};
  s->Add(trans);
  // A negative average other time is noise of the rounding; the -9 of a
  // measure no row carried stays.
  s->Add(
      "update r3_trans_sum set avg_other_time = 0 where avg_other_time < 0 and "
      "avg_other_time <> -9");

  items.clear();
  for (const char* c : {"cpu_time", "kb_transfered", "kb_changed", "database_time"}) {
    items.push_back(TrendTotal(Column(c)));
  }
  for (const TrendMeasure& m :
       {Column("cpu_time"), Column("response_time"), Column("database_time"), OtherTime(false),
        Column("kb_transfered"), Column("kb_changed"), Column("wait_time"), Column("memory_used"),
        Column("load_time")}) {
    items.push_back(TrendAverage(m));
  }
  sqlStatement(&s->sql, sqlApply(s->d->empty_table, "r3_prog_sum"));
  SqlInsert prog;
  prog.table = "r3_prog_sum";
  prog.select = {s->Trim("system_label"), s->Trim("cua_prog"), "sum(diag_count)",
                 selectLines(items)};
  prog.from = "r3_progresp";
  prog.where = recent;
  prog.group_by = {"system_label", "cua_prog"};
  s->Add(prog);
  s->Add(
      "update r3_prog_sum set avg_other_time = 0 where avg_other_time < 0 and "
      "avg_other_time <> -9");
}

// The users active per hour.
void AddActiveUsers(StatiScript* s) {
  SqlInsert in;
  in.table = "r3_user_sum";
  in.select = {"'A'",
               s->Trim("system_label"),
               "host_name",
               "rfc_dest_str",
               "count(distinct(user_name))",
               s->d->diag_date,
               s->d->diag_hour,
               "0"};
  in.from = s->stage;
  in.where = "record_type = 'N'";
  // Not by user: the count is of the users within each hour.
  in.group_by = {"system_label", "host_name", "rfc_dest_str", s->d->diag_hour, s->d->diag_date_key};
  s->Add(in);
}

// One side of a variance: the rows of table summed per key.
std::string VarianceSide(const char* table, const char* key, const char* alias) {
  std::string sums = std::string("sum(tot_count) tot_count");
  for (const char* f : kVarianceFigures) sums += std::string(", sum(") + f + ") " + f;
  return std::string("(select system_label, ") + key + ", " + sums + " from " + table +
         " group by system_label, " + key + ") " + alias;
}

// A variance table: the current and the previous period, each summed per
// key before the two are joined, so that no count is multiplied by the
// other side's rows.
void AddVariance(StatiScript* s, const char* table, const char* key) {
  SqlInsert in;
  in.table = table;
  in.select = {"c.system_label", std::string("c.") + key};
  for (const char* side : {"c.", "p."}) {
    in.select.push_back(std::string(side) + "tot_count");
    for (const char* f : kVarianceFigures) {
      in.select.push_back(std::string(side) + f + "/" + side + "tot_count");
    }
  }
  in.from = VarianceSide("r3_cur_prog", key, "c") + ",\n" + VarianceSide("r3_prev_prog", key, "p");
  in.where = std::string("c.system_label = p.system_label and c.") + key + " = p." + key;
  s->Add(in);
}

// The week against the three weeks before it.
void AddVariances(StatiScript* s) {
  for (const char* t : {"r3_trans_variance", "r3_prog_variance", "r3_cur_prog", "r3_prev_prog"}) {
    sqlStatement(&s->sql, sqlApply(s->d->empty_table, t));
  }
  struct Period {
    const char* table;
    int from;
    int to;
  };
  for (const Period& p : {Period{"r3_cur_prog", -7, 0}, Period{"r3_prev_prog", -28, -8}}) {
    SqlInsert in;
    in.table = p.table;
    in.select = {
        s->Trim("system_label"), s->Trim("t_code"),    "cua_prog",        "count(*)",
        "sum(cpu_time)",         "sum(kb_transfered)", "sum(kb_changed)", "sum(response_time)",
        "sum(database_time)",    "sum(memory_used)"};
    in.from = "r3_progresp";
    // A variance divides each figure by the rows counted, so a period takes
    // only the rows that carry every figure: a run with one of them switched
    // off left -9 in its rows.
    in.where = s->DateCol("diag_date") + " between " + dateLiteral(*s->d, p.from) + " and " +
               dateLiteral(*s->d, p.to) + " and " +
               carriedRows({"cpu_time", "kb_transfered", "kb_changed", "response_time",
                            "database_time", "memory_used"});
    in.group_by = {"diag_date", "t_code", "cua_prog", "system_label"};
    s->Add(in);
    for (const char* column : {"tot_cpu_time", "tot_response_time", "tot_database_time"}) {
      s->Add(std::string("delete from ") + p.table + " where " + column + " = 0");
    }
  }
  AddVariance(s, "r3_trans_variance", "t_code");
  AddVariance(s, "r3_prog_variance", "cua_prog");
}

// The group table r3_tcode_group from the group files, when they changed
// since it was last built.
void AddGroupTable(StatiScript* s) {
  std::string stamp;
  if (fileTimeText(binPath(kTransGroupFile), &stamp) != 0) return;
  if (stamp == readCustomGroupDate()) return;
  s->Add("delete from r3_tcode_group where group_area='ZZ'");
  for (const GroupCode& c : readGroupCodes()) {
    s->Add("insert into r3_tcode_group (group_area,group_name,t_code,sla) values('ZZ'," +
           sqlLiteral(c.group) + "," + sqlLiteral(c.code) + "," + c.sla + ")");
  }
  sqlCommit(&s->sql);
  // The batch stores the time text once the script has committed.
  LoaderState& state = loaderState();
  state.store_group_date = true;
  state.group_date = stamp;
}

// One service-level statement: the steps of this run's rows within (yes) or
// beyond (no) their level, by group or, with all, for every transaction. A
// row holds a sum of whole seconds over diag_count steps; the level is
// milliseconds per step.
void AddSlaRows(StatiScript* s, bool yes, const std::string& level, bool all) {
  const std::string counted = "sum(diag_count)";
  // The all-transactions yes rows write 0 beyond the level, the others -9.
  const std::string other = all && yes ? "0" : "-9";
  const std::string within =
      std::string("response_time * 1000 ") + (yes ? "<=" : ">") + " " + level + " * diag_count";
  SqlInsert in;
  in.table = "r3_tx_sla";
  if (all) {
    std::string name;
    if (loaderCatalogText(kAllTransactionsId, &name) != 0) name = kAllTransactionsFallback;
    in.select = {"system_label", s->d->sid, sqlLiteral(name), sqlLiteral(name)};
    in.from = "r3_progresp,r3_last_seq";
    in.where = within + " and " + kThisRunRows;
    in.group_by = {"diag_date", "diag_hour", "system_label"};
  } else {
    in.select = {"system_label", s->d->sid, "group_name", "r3_tcode_group.t_code"};
    in.from = "r3_progresp,r3_tcode_group,r3_last_seq";
    in.where = "r3_progresp.t_code=r3_tcode_group.t_code and group_area = 'ZZ' and " + within +
               " and " + kThisRunRows;
    in.group_by = {"diag_date", "diag_hour", "r3_tcode_group.t_code", "system_label", "group_name"};
  }
  for (const std::string& item :
       {std::string("diag_date"), std::string("diag_hour"), yes ? counted : other,
        yes ? other : counted, counted, std::string("0")}) {
    in.select.push_back(item);
  }
  s->Add(in);
}

// The service levels of the groups and of all transactions.
void AddServiceLevels(StatiScript* s) {
  const bool yes = s->On(zmo::kSwSLAyes);
  const bool no = s->On(zmo::kSwSLAno);
  if (yes) AddSlaRows(s, true, "sla", false);
  if (no) {
    AddSlaRows(s, false, "sla", false);
    s->Add("delete from r3_progresp where t_code like 'No%'");
    s->Add("delete from r3_trans_sum where t_code like 'No%'");
  }
  const int level = loaderState().system_sla;
  if (level == 0) return;
  if (yes) AddSlaRows(s, true, std::to_string(level), true);
  if (no) AddSlaRows(s, false, std::to_string(level), true);
}

// The service levels by day. Each row carries -9 in the column of
// the other statement; only counts are summed.
void AddSlaSum(StatiScript* s) {
  auto counted = [](const char* column) {
    return std::string("sum(case when ") + column + " < 0 then 0 else " + column + " end)";
  };
  sqlStatement(&s->sql, sqlApply(s->d->empty_table, "r3_sla_sum"));
  SqlInsert in;
  in.table = "r3_sla_sum";
  in.select = {"system_label",          "group_name",    "record_date", counted("sla_yes_count"),
               counted("sla_no_count"), "sum(tot_count)"};
  in.from = "r3_tx_sla";
  in.group_by = {"system_label", "group_name", "record_date"};
  s->Add(in);
}

// The group renames. The batch deletes the rename file once the script has
// committed.
void AddGroupRenames(StatiScript* s) {
  if (!zmo::FileExists(binPath(kGroupRenameFile).c_str())) return;
  for (const GroupRename& r : readGroupRenames()) {
    s->Add("update r3_tcode_group set group_name = " + sqlLiteral(r.new_name) +
           " where group_name = " + sqlLiteral(r.old_name));
  }
  sqlCommit(&s->sql);
  loaderState().delete_renames = true;
}

}  // namespace

int writeStatiAggregateSql(zmo::DbKind kind) {
  LoaderState& state = loaderState();
  state.store_group_date = false;
  state.delete_renames = false;
  const LoaderProgramInfo& program = *loaderProgramInfo(kProgramStati);
  StatiScript s;
  int rc = aggregateBegin(kind, program.agg_log, false, &s.sql);
  if (rc != 0) return rc;
  s.d = s.sql.dialect;
  s.sw = &state.switches;
  s.stage = tableName(kStatiTable);

  const bool stati = s.Group(zmo::kGroupStati);
  const bool sla = s.Group(zmo::kGroupSla);
  const bool appl = s.Group(zmo::kGroupAppl);
  if (tableOn(kStatiTable)) AddIntervalMarks(&s);
  AddExclusions(&s);
  AddRetention(&s);
  AddLastSeq(&s);
  if (stati || appl || sla) AddProgresp(&s);
  // The group table is built before the first statement that joins it, so
  // that a run's rows meet the groups of the files it was started with (on
  // the first run the table is still empty).
  if (appl) AddGroupTable(&s);
  if (appl) AddApplication(&s);
  if (s.Trend()) AddThirtyDaySums(&s);
  if (s.On(zmo::kSwStatiActiveUsers)) AddActiveUsers(&s);
  if (s.Trend()) AddVariances(&s);
  if (sla) AddServiceLevels(&s);
  if (s.Trend()) AddSlaSum(&s);
  if (appl) AddGroupRenames(&s);
  // The mark that the data file's records are in the warehouse, in the
  // same transaction as they are.
  for (const std::string& tag : state.load_tags) s.Add(loadDoneInsert(tag));
  if (tableOn(kStatiTable)) s.Add("drop table " + s.stage);
  sqlEnd(&s.sql);
  return aggregateWrite(s.sql, program.agg_script);
}

}  // namespace zmo::loader
