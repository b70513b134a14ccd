// <BinDir>/zmosnap.sql: trims the snapshot warehouse to the retention
// period, cleans the staging rows, sums them by hour, rebuilds the daily CPU
// and disk averages, writes the user, session and availability sums and
// drops the staging tables.
#include <string>
#include <vector>

#include "aggregate_internal.h"
#include "common/metric_switches.h"
#include "lines.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/archive.h"
#include "zmoloader/load_check.h"
#include "zmoloader/state.h"

namespace zmo::loader {

namespace {

struct SnapScript {
  SqlScript sql;
  const SqlDialect* d = nullptr;
  const zmo::MetricSwitches* sw = nullptr;

  bool On(int s) const { return sw->on[s]; }
  bool Group(int g) const { return sw->group[g]; }
  bool Trend() const { return sw->all != 0; }
  void Add(const std::string& statement) { sqlStatement(&sql, statement); }
  void Add(const SqlInsert& insert) { sqlStatement(&sql, sqlInsertSelect(*d, insert)); }
  // sum(column), or -9 when its switch is off.
  std::string Sum(bool on, const char* column) const {
    return metricOr9(on, std::string("sum(") + column + ")");
  }
};

// The keys every hourly table starts with.
std::vector<std::string> HourKeys(const SnapScript& s, const std::string& day) {
  return {"rfc_dest_str", "host_name", "system_label", "sys_id",
          "snap_client",  day,         s.d->snap_hour};
}

// delete from table where its date lies before the retention date.
std::string RetentionDelete(const SnapScript& s, const char* table) {
  std::string cut = getDateForDb(detailKeepDays(), s.d->kind) + s.d->retention_tail;
  return std::string("delete from ") + table + " where " + sqlApply(s.d->date_col, "snap_date") +
         " < " + sqlLiteral(cut);
}

void AddRetention(SnapScript* s) {
  const struct {
    int group;
    const char* table;
  } tables[] = {{zmo::kGroupSnapCpu, "r3_cpu"},
                {zmo::kGroupSnapDisk, "r3_disk"},
                {zmo::kGroupSnapLan, "r3_lan"}};
  for (const auto& t : tables) {
    if (s->Group(t.group)) s->Add(RetentionDelete(*s, t.table));
  }
}

void AddTrendClear(SnapScript* s) {
  std::string where;
  if (s->d->trend_cut_time != nullptr) {
    where = " where snap_date < " + sqlLiteral(getDateForDb(1, s->d->kind) + s->d->trend_cut_time);
  }
  s->Add("delete from r3_cpu_sum" + where);
  s->Add("delete from r3_disk_sum" + where);
}

void AddStagingCleanup(SnapScript* s) {
  if (s->Group(zmo::kGroupSnapCpu)) {
    s->Add("delete from " + tableName('c') + " where system_label is null");
  }
  if (s->Group(zmo::kGroupSnapDisk)) {
    const std::string d = tableName('d');
    s->Add("delete from " + d + " where system_label is null");
    s->Add("delete from " + d + " where avg_service > 30000");
    s->Add("delete from " + d + " where disk_name like 'CD%'");
    s->Add("delete from " + d + " where disk_name like '_TOTAL%'");
  }
  if (s->Group(zmo::kGroupSnapLan)) {
    s->Add("delete from " + tableName('l') + " where system_label is null");
  }
}

void AddCpu(SnapScript* s) {
  const bool trend = s->Trend();
  const bool total = s->On(zmo::kSwSnapTotalCPU);
  SqlInsert in;
  in.table = "r3_cpu";
  in.select = HourKeys(*s, s->d->snap_day);
  for (const std::string& item :
       {std::string("count(*)"), std::string("num_of_cpu"), s->Sum(trend, "load1_avg"),
        s->Sum(trend, "load5_avg"), s->Sum(trend, "load15_avg"),
        s->Sum(s->On(zmo::kSwSnapUserCPU) || total, "user_cpu"),
        s->Sum(s->On(zmo::kSwSnapSystemCPU) || total, "system_cpu"),
        s->Sum(s->On(zmo::kSwSnapIdleCPU), "idle_CPU"), s->Sum(trend, "page_in_sec"),
        s->Sum(trend, "page_out_sec"), s->Sum(trend, "free_memory"),
        metricOr9(trend, "(sum(tot_memory))/count(*)"),
        s->Sum(s->On(zmo::kSwSnapUsers), "num_users"),
        s->Sum(s->On(zmo::kSwSnapSessions), "num_modi"), std::string("0")}) {
    in.select.push_back(item);
  }
  in.from = tableName('c');
  in.group_by = HourKeys(*s, s->d->snap_date);
  in.group_by.push_back("num_of_cpu");
  s->Add(in);
}

// The daily averages of an hourly table, per its keys. The table holds the
// rows of every run, and a metric switched off for a run left -9 in its
// rows: each average is over the rows that carry its figure.
void AddDailyAverage(SnapScript* s, const char* table, const char* from,
                     const std::vector<std::string>& leading,
                     const std::vector<const char*>& figures,
                     const std::vector<std::string>& group_by) {
  SqlInsert in;
  in.table = table;
  in.select = leading;
  std::vector<std::string> averages;
  for (const char* f : figures) averages.push_back(carriedAverage({f}, f, "snap_count"));
  in.select.push_back(selectLines(averages));
  in.from = from;
  in.group_by = group_by;
  s->Add(in);
}

void AddCpuSum(SnapScript* s) {
  const std::vector<std::string> keys = {"rfc_dest_str", "host_name", "system_label", "sys_id",
                                         "snap_date"};
  AddDailyAverage(s, "r3_cpu_sum", "r3_cpu", keys,
                  {"page_in_sec", "page_out_sec", "user_cpu", "system_cpu", "idle_CPU"}, keys);
}

void AddDiskSum(SnapScript* s) {
  AddDailyAverage(
      s, "r3_disk_sum", "r3_disk",
      {"rfc_dest_str", "host_name", "system_label", "sys_id", "snap_date", "disk_name"},
      {"utilization", "queue_length", "wait", "service"},
      {"rfc_dest_str", "host_name", "system_label", "disk_name", "sys_id", "snap_date"});
}

// An hourly table of devices (disks, LAN interfaces): the keys, the count,
// the device name and one sum per measure with its switch.
struct DeviceMeasure {
  int sw;
  const char* column;
};
void AddDevices(SnapScript* s, const char* table, char staging, const char* device,
                const std::vector<DeviceMeasure>& measures) {
  SqlInsert in;
  in.table = table;
  in.select = HourKeys(*s, s->d->snap_day);
  in.select.push_back("count(*)");
  in.select.push_back(device);
  for (const DeviceMeasure& m : measures) in.select.push_back(s->Sum(s->On(m.sw), m.column));
  in.select.push_back("0");
  in.from = tableName(staging);
  in.group_by = HourKeys(*s, s->d->snap_date);
  in.group_by.push_back(device);
  s->Add(in);
}

void AddUserCounts(SnapScript* s) {
  const struct {
    int sw;
    const char* type;
    const char* column;
  } counts[] = {{zmo::kSwSnapUsers, "'L'", "num_users"}, {zmo::kSwSnapSessions, "'S'", "num_modi"}};
  for (const auto& c : counts) {
    if (!s->On(c.sw)) continue;
    SqlInsert in;
    in.table = "r3_user_sum";
    in.select = {c.type,
                 sqlApply(s->d->trim, "system_label"),
                 "host_name",
                 "rfc_dest_str",
                 std::string("sum(") + c.column + ")/count(*)",
                 s->d->snap_date,
                 s->d->snap_hour,
                 "0"};
    in.from = tableName('c');
    in.group_by = {"system_label", "host_name", "rfc_dest_str", s->d->snap_hour, s->d->snap_date};
    s->Add(in);
  }
}

void AddAvailability(SnapScript* s) {
  s->Add(RetentionDelete(*s, "r3_avail_sum"));
  SqlInsert in;
  in.table = "r3_avail_sum";
  in.group_by = {"rfc_dest_str", "host_name",     "system_label",
                 "sys_id",       s->d->snap_date, s->d->snap_hour};
  in.select = in.group_by;
  for (const char* item : {"count(*)", "sum(sys_available)", "0"}) in.select.push_back(item);
  in.from = tableName('v');
  s->Add(in);
}

}  // namespace

int writeSnapAggregateSql(zmo::DbKind kind) {
  const LoaderProgramInfo& program = *loaderProgramInfo(kProgramSnap);
  SnapScript s;
  int rc = aggregateBegin(kind, program.agg_log, true, &s.sql);
  if (rc != 0) return rc;
  s.d = s.sql.dialect;
  s.sw = &loaderState().switches;

  const bool cpu = s.Group(zmo::kGroupSnapCpu);
  const bool disk = s.Group(zmo::kGroupSnapDisk);
  const bool lan = s.Group(zmo::kGroupSnapLan);
  AddRetention(&s);
  if (s.Trend()) AddTrendClear(&s);
  AddStagingCleanup(&s);
  if (cpu) AddCpu(&s);
  if (s.Trend()) AddCpuSum(&s);
  if (disk) {
    AddDevices(&s, "r3_disk", 'd', "disk_name",
               {{zmo::kSwSnapDiskUtilization, "utilization"},
                {zmo::kSwSnapQueueLength, "avg_queue_length"},
                {zmo::kSwSnapDiskWaitTime, "avg_wait"},
                {zmo::kSwSnapServiceTime, "avg_service"}});
  }
  if (s.Trend()) AddDiskSum(&s);
  if (lan) {
    AddDevices(&s, "r3_lan", 'l', "lan_name",
               {{zmo::kSwSnapPacketsIn, "packets_in"},
                {zmo::kSwSnapPacketsOut, "packets_out"},
                {zmo::kSwSnapInErrors, "in_errors"},
                {zmo::kSwSnapOutErrors, "out_errors"},
                {zmo::kSwSnapCollisions, "collisions"}});
  }
  if (cpu) AddUserCounts(&s);
  if (s.Group(zmo::kGroupSnapAvail)) AddAvailability(&s);
  // The marks that the data files' records are in the warehouse, in the
  // same transaction as they are.
  for (const std::string& tag : loaderState().load_tags) s.Add(loadDoneInsert(tag));
  for (const char* t = "vlcd"; *t != '\0'; ++t) {
    if (tableOn(*t)) s.Add("drop table " + tableName(*t));
  }
  sqlEnd(&s.sql);
  return aggregateWrite(s.sql, program.agg_script);
}

}  // namespace zmo::loader
