// The snapshot aggregation script: its switch gates and the sound forms of
// its statements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aggregate_fixture.h"

using namespace zmo::loader;

namespace {

using aggregate_test::AggregateTest;

const std::string kKey = aggregate_test::kKey;

class SnapScriptTest : public AggregateTest {
 protected:
  void SetUp() override {
    AggregateTest::SetUp();
    Prime(kProgramSnap, "Oracle");
  }
  std::vector<std::string> Written() {
    EXPECT_EQ(WriteSnap(), 0);
    return SnapStatements();
  }
};

TEST_F(SnapScriptTest, AvailabilityAloneWritesItsStatementsOnly) {
  struct Case {
    const char* kind;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"Oracle",
       {"spool " + Bin("trace_zmo_agg_snap.log"), "set serverout on", "set echo on",
        "set define off", "whenever sqlerror exit failure rollback", "",
        "delete from r3_avail_sum where to_char(snap_date,'yyyymmdd') < '20031126';", "",
        "insert into r3_avail_sum",
        "select rfc_dest_str, host_name, system_label, sys_id, "
        "to_date(substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),1,11),'dd-mon-yyyy'), "
        "substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),13,2), count(*), "
        "sum(sys_available), 0",
        "from v" + kKey,
        "group by rfc_dest_str, host_name, system_label, sys_id, "
        "to_date(substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),1,11),'dd-mon-yyyy'), "
        "substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),13,2);",
        "", "drop table v" + kKey + ";", "", "spool off;", "EXIT;"}},
      {"Corva",
       {"attach to zmoinst  user zmouser  using secret;",
        "connect to WHSE user zmouser using secret;", "", "",
        "delete from r3_avail_sum where snap_date < '2003-11-26-00.00.00.000000';", "", "COMMIT;",
        "insert into r3_avail_sum",
        "select rfc_dest_str, host_name, system_label, sys_id, substr(char(snap_date),1,10), "
        "substr(char(snap_date),12,2), count(*), sum(sys_available), 0",
        "from v" + kKey,
        "group by rfc_dest_str, host_name, system_label, sys_id, substr(char(snap_date),1,10), "
        "substr(char(snap_date),12,2);",
        "", "COMMIT;", "drop table v" + kKey + ";", "", "COMMIT;", "TERMINATE;"}},
      {"MSSQL",
       {"delete from r3_avail_sum where snap_date < '2003-11-26'", "", "go",
        "insert into r3_avail_sum",
        "select rfc_dest_str, host_name, system_label, sys_id, CONVERT(varchar(11), snap_date), "
        "CONVERT(varchar(2), snap_date, 108), count(*), sum(sys_available), 0",
        "from v" + kKey,
        "group by rfc_dest_str, host_name, system_label, sys_id, CONVERT(varchar(11), "
        "snap_date), CONVERT(varchar(2), snap_date, 108)",
        "", "go", "drop table v" + kKey, "", "go"}},
      {"Tessel",
       {"delete from r3_avail_sum where snap_date < '11/26/2003';", "",
        "insert into r3_avail_sum (rfc_dest_str,host_name,system_label,sys_id,snap_date,"
        "snap_hour,snap_count,sys_available,avail_seq_id)",
        "select rfc_dest_str, host_name, system_label, sys_id, snap_date[1,10], "
        "snap_date[12,13], count(*), sum(sys_available), 0",
        "from v" + kKey,
        "group by rfc_dest_str, host_name, system_label, sys_id, snap_date[1,10], "
        "snap_date[12,13];",
        "", "drop table v" + kKey + ";", ""}},
  };
  for (const Case& c : cases) {
    Prime(kProgramSnap, c.kind);
    OnlySwitches({zmo::kSwSnapLogonAble});
    ASSERT_EQ(WriteSnap(), 0);
    EXPECT_EQ(SnapLines(), c.lines) << c.kind;
  }
}

TEST_F(SnapScriptTest, TrendDataEmptiesAndRebuildsTheDailyAverages) {
  std::vector<std::string> statements = Written();
  EXPECT_EQ(One(statements, "delete from r3_cpu_sum"), "delete from r3_cpu_sum");
  EXPECT_EQ(One(statements, "delete from r3_disk_sum"), "delete from r3_disk_sum");
  std::string cpu = One(statements, "insert into r3_cpu_sum");
  EXPECT_EQ(Clause(cpu, "from "), "from r3_cpu");
  EXPECT_EQ(Clause(cpu, "where "), "");
  EXPECT_EQ(Clause(cpu, "group by "),
            "group by rfc_dest_str, host_name, system_label, sys_id, snap_date");
  std::string disk = One(statements, "insert into r3_disk_sum");
  EXPECT_EQ(Clause(disk, "from "), "from r3_disk");
  EXPECT_EQ(Clause(disk, "where "), "");
  // Each average over the hourly rows that carry its figure (a cycle with
  // the figure switched off left -9 in its rows); -9 when none does.
  auto carried = [](const std::string& f) {
    const std::string rows = "sum(case when " + f + " <> -9 then ";
    return "case when " + rows + "1 else 0 end) = 0 then -9 else " + rows + f + " else 0 end)/" +
           rows + "snap_count else 0 end) end";
  };
  EXPECT_EQ(SelectItems(disk), (std::vector<std::string>{
                                   "rfc_dest_str", "host_name", "system_label", "sys_id",
                                   "snap_date", "disk_name", carried("utilization"),
                                   carried("queue_length"), carried("wait"), carried("service")}));

  // Without trend data nothing of them, and the trend measures of r3_cpu are -9.
  AllSwitchesBut({});
  statements = Written();
  for (const char* table : {"r3_cpu_sum", "r3_disk_sum"}) {
    for (const std::string& s : statements) EXPECT_FALSE(Holds(s, table)) << s;
  }
  std::vector<std::string> items = SelectItems(One(statements, "insert into r3_cpu"));
  ASSERT_EQ(items.size(), 22u);
  for (int i : {9, 10, 11, 15, 16, 17, 18}) EXPECT_EQ(items[i], "-9") << i;
  for (int i : {12, 13, 14, 19, 20}) EXPECT_NE(items[i], "-9") << i;
}

TEST_F(SnapScriptTest, TesselKeepsTheDailyAveragesBeforeTomorrow) {
  Prime(kProgramSnap, "Tessel");
  std::vector<std::string> statements = Written();
  EXPECT_EQ(One(statements, "delete from r3_cpu_sum"),
            "delete from r3_cpu_sum where snap_date < '01/11/2004 00:00:00'");
  EXPECT_EQ(One(statements, "delete from r3_disk_sum"),
            "delete from r3_disk_sum where snap_date < '01/11/2004 00:00:00'");
}

TEST_F(SnapScriptTest, DisksOfNoInterestNeverReachTheWarehouse) {
  const std::string d = "delete from d" + kKey + " where ";
  const std::vector<std::string> want = {d + "system_label is null", d + "avg_service > 30000",
                                         d + "disk_name like 'CD%'",
                                         d + "disk_name like '_TOTAL%'"};
  OnlySwitches({zmo::kSwSnapServiceTime});
  std::vector<std::string> statements = Written();
  EXPECT_EQ(Starting(statements, "delete from d" + kKey), want);
  // The clean-up comes before the disk rows are summed.
  auto at = [&](const std::string& prefix) {
    for (size_t i = 0; i < statements.size(); ++i) {
      if (statements[i].rfind(prefix, 0) == 0) return i;
    }
    return statements.size();
  };
  EXPECT_LT(at(d + "disk_name like '_TOTAL%'"), at("insert into r3_disk"));
  OnlySwitches({zmo::kSwSnapUsers});
  EXPECT_TRUE(Starting(Written(), "delete from d" + kKey).empty());
}

TEST_F(SnapScriptTest, TotalCpuAloneFillsUserAndSystemCpu) {
  OnlySwitches({zmo::kSwSnapTotalCPU});
  std::vector<std::string> statements = Written();
  std::vector<std::string> items = SelectItems(One(statements, "insert into r3_cpu"));
  ASSERT_EQ(items.size(), 22u);
  EXPECT_EQ(items[12], "sum(user_cpu)");
  EXPECT_EQ(items[13], "sum(system_cpu)");
  EXPECT_EQ(items[14], "-9");  // idle
  EXPECT_EQ(items[19], "-9");  // users
  EXPECT_EQ(items[20], "-9");  // sessions
  EXPECT_TRUE(Starting(statements, "insert into r3_user_sum").empty());
}

TEST_F(SnapScriptTest, EachMeasureFollowsItsSwitch) {
  struct Case {
    int sw;
    const char* table;
    int item;  // in the select list
    const char* sum;
  };
  const Case cases[] = {
      {zmo::kSwSnapUserCPU, "r3_cpu", 12, "sum(user_cpu)"},
      {zmo::kSwSnapSystemCPU, "r3_cpu", 13, "sum(system_cpu)"},
      {zmo::kSwSnapIdleCPU, "r3_cpu", 14, "sum(idle_CPU)"},
      {zmo::kSwSnapUsers, "r3_cpu", 19, "sum(num_users)"},
      {zmo::kSwSnapSessions, "r3_cpu", 20, "sum(num_modi)"},
      {zmo::kSwSnapDiskUtilization, "r3_disk", 9, "sum(utilization)"},
      {zmo::kSwSnapQueueLength, "r3_disk", 10, "sum(avg_queue_length)"},
      {zmo::kSwSnapDiskWaitTime, "r3_disk", 11, "sum(avg_wait)"},
      {zmo::kSwSnapServiceTime, "r3_disk", 12, "sum(avg_service)"},
      {zmo::kSwSnapPacketsIn, "r3_lan", 9, "sum(packets_in)"},
      {zmo::kSwSnapPacketsOut, "r3_lan", 10, "sum(packets_out)"},
      {zmo::kSwSnapInErrors, "r3_lan", 11, "sum(in_errors)"},
      {zmo::kSwSnapOutErrors, "r3_lan", 12, "sum(out_errors)"},
      {zmo::kSwSnapCollisions, "r3_lan", 13, "sum(collisions)"},
  };
  // The measure columns of each table.
  auto measures = [](const std::string& table) {
    if (table == "r3_cpu") return std::vector<int>{12, 13, 14, 19, 20};
    if (table == "r3_disk") return std::vector<int>{9, 10, 11, 12};
    return std::vector<int>{9, 10, 11, 12, 13};
  };
  for (const Case& c : cases) {
    OnlySwitches({c.sw});
    std::vector<std::string> statements = Written();
    for (const char* other : {"r3_cpu", "r3_disk", "r3_lan"}) {
      size_t n = Starting(statements, std::string("insert into ") + other + "\n").size();
      EXPECT_EQ(n, std::string(other) == c.table ? 1u : 0u) << c.sum << " " << other;
    }
    std::vector<std::string> items =
        SelectItems(One(statements, std::string("insert into ") + c.table + "\n"));
    for (int m : measures(c.table)) {
      EXPECT_EQ(items[m], m == c.item ? c.sum : "-9") << c.sum << " item " << m;
    }
    EXPECT_EQ(items.back(), "0");
  }
}

TEST_F(SnapScriptTest, UserAndSessionCountsFollowTheirSwitches) {
  struct Case {
    std::vector<int> on;
    std::vector<std::string> types;
  };
  const Case cases[] = {{{zmo::kSwSnapUsers}, {"'L'"}},
                        {{zmo::kSwSnapSessions}, {"'S'"}},
                        {{zmo::kSwSnapUsers, zmo::kSwSnapSessions}, {"'L'", "'S'"}},
                        {{zmo::kSwSnapIdleCPU}, {}}};
  for (const Case& c : cases) {
    OnlySwitches(c.on);
    std::vector<std::string> types;
    for (const std::string& s : Starting(Written(), "insert into r3_user_sum")) {
      std::vector<std::string> items = SelectItems(s);
      types.push_back(items[0]);
      EXPECT_EQ(items[4], items[0] == "'L'" ? "sum(num_users)/count(*)" : "sum(num_modi)/count(*)");
      EXPECT_EQ(Clause(s, "group by "),
                "group by system_label, host_name, rfc_dest_str, "
                "substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),13,2), "
                "to_date(substr(to_char(snap_date,'dd-mon-yyyy hh24:mi:ss'),1,11),'dd-mon-yyyy')");
    }
    EXPECT_EQ(types, c.types);
  }
}

TEST_F(SnapScriptTest, RetentionComparesDatesInEachKindsForm) {
  struct Case {
    const char* kind;
    std::string where;
  };
  const Case cases[] = {
      {"Oracle", "where to_char(snap_date,'yyyymmdd') < '20031126'"},
      {"Corva", "where snap_date < '2003-11-26-00.00.00.000000'"},
      {"MSSQL", "where snap_date < '2003-11-26'"},
      {"Sybase", "where snap_date < '2003-11-26'"},
      {"Tessel", "where snap_date < '11/26/2003'"},
  };
  for (const Case& c : cases) {
    Prime(kProgramSnap, c.kind);
    ASSERT_EQ(WriteSnap(), 0);
    int found = 0;
    for (const std::string& line : SnapLines()) {
      for (const char* table : {"r3_cpu", "r3_disk", "r3_lan", "r3_avail_sum"}) {
        std::string head = std::string("delete from ") + table + " ";
        if (line.rfind(head, 0) != 0) continue;
        ++found;
        std::string rest = line.substr(head.size());
        if (!rest.empty() && rest.back() == ';') rest.pop_back();
        EXPECT_EQ(rest, c.where) << c.kind << " " << table;
      }
    }
    EXPECT_EQ(found, 4) << c.kind;
  }
  // A day count written without its sign still looks back.
  Prime(kProgramSnap, "Oracle");
  loaderState().detail_keep_days = 45;
  EXPECT_EQ(One(Written(), "delete from r3_cpu "),
            "delete from r3_cpu where to_char(snap_date,'yyyymmdd') < '20031126'");
}

TEST_F(SnapScriptTest, HourIsOfTheTwentyFourHourClock) {
  for (const char* kind : {"MSSQL", "Sybase"}) {
    Prime(kProgramSnap, kind);
    ASSERT_EQ(WriteSnap(), 0);
    int hours = 0;
    for (const std::string& line : SnapLines()) {
      EXPECT_FALSE(Holds(line, "varchar(14)")) << line;
      if (Holds(line, "CONVERT(varchar(2), snap_date, 108)")) ++hours;
    }
    // In the select and the group by of r3_cpu, r3_disk, r3_lan, the two user
    // counts and the availability.
    EXPECT_EQ(hours, 12) << kind;
  }
}

TEST_F(SnapScriptTest, StagingTablesOfTheGroupsOnAreDropped) {
  struct Case {
    std::vector<int> on;
    std::vector<std::string> dropped;
  };
  const std::string v = "drop table v" + kKey, l = "drop table l" + kKey, c = "drop table c" + kKey,
                    d = "drop table d" + kKey;
  const Case cases[] = {
      {{zmo::kSwSnapIdleCPU}, {c}},
      {{zmo::kSwSnapQueueLength, zmo::kSwSnapCollisions}, {l, d}},
      {{zmo::kSwSnapLogonAble, zmo::kSwSnapUsers, zmo::kSwSnapInErrors, zmo::kSwSnapDiskWaitTime},
       {v, l, c, d}},
      {{}, {}},
  };
  for (const Case& cs : cases) {
    OnlySwitches(cs.on);
    EXPECT_EQ(Starting(Written(), "drop table "), cs.dropped);
  }
}

TEST_F(SnapScriptTest, KindsWithoutADialectGetNoScript) {
  EXPECT_EQ(writeSnapAggregateSql(zmo::dbKindFromVendor("Xbase")), kAggregateNotWritten);
  EXPECT_FALSE(BinExists("zmosnap.sql"));
}

}  // namespace
