// The whole road of the statistics into the warehouse: a simulated SAP
// system with known records, a zmostati -nr collection (in this process, on
// the fake clock), the real zmoloader it starts, the load batch under the
// batch interpreter, sqlldr and sqlplus on PostgreSQL. The test then works
// out on its own, from the records that were loaded, what the warehouse
// tables must hold, and compares.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "platform/clock.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "stati_world.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"
#include "zmostati/entry.h"
#include "zmostati/params.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using namespace warehouse_test;
using dbtools_test::Read;
using dbtools_test::Write;

// The figures of a warehouse row: count and the twelve sums.
struct Sums {
  long long count = 0, cpu = 0, response = 0, database = 0, other = 0, kb_trans = 0, kb_changed = 0,
            wait = 0, memory = 0, load = 0, gui_time = 0, gui_count = 0, gui_net = 0;
  void Add(const Sums& o) {
    count += o.count, cpu += o.cpu, response += o.response, database += o.database;
    other += o.other, kb_trans += o.kb_trans, kb_changed += o.kb_changed, wait += o.wait;
    memory += o.memory, load += o.load, gui_time += o.gui_time, gui_count += o.gui_count;
    gui_net += o.gui_net;
  }
  std::vector<std::string> Text(bool gui_time_off) const {
    std::vector<std::string> v;
    for (long long x :
         {count, cpu, response, database, other, kb_trans, kb_changed, wait, memory, load}) {
      v.push_back(std::to_string(x));
    }
    v.push_back(gui_time_off ? "-9" : std::to_string(gui_time));
    v.push_back(std::to_string(gui_count));
    v.push_back(std::to_string(gui_net));
    return v;
  }
};

// An hourly row of r3_progresp: its key as the script groups it.
using ProgKey = std::vector<std::string>;  // record type, label, SID, destination,
                                           // host, date, hour, t_code, program, user, task type
struct ProgRow {
  ProgKey key;
  Sums sums;
};

// What the statistics script makes of a run's records in r3_progresp, the
// excluded user left out and the other time never below 0.
std::vector<ProgRow> ProgRows(const std::vector<Line>& lines) {
  std::map<ProgKey, Sums> rows;
  for (const Line& l : lines) {
    if (RTrim(l.user) == kExcludedUser) continue;
    ProgKey key = {l.record_type,
                   RTrim(l.label),
                   l.label.substr(0, 3),
                   l.dest,
                   l.host,
                   IsoDate(l.end_date.substr(0, 8)),
                   l.end_date.substr(8, 2),
                   RTrim(l.tcode),
                   RTrim(l.cua_prog),
                   l.user,
                   l.task_type};
    Sums s;
    s.count = 1, s.cpu = l.cpu, s.response = l.response, s.database = l.database;
    s.other = l.response - l.database - l.cpu - l.wait - l.load;
    s.kb_trans = l.kb_trans, s.kb_changed = l.kb_changed, s.wait = l.wait, s.memory = l.memory;
    s.load = l.load, s.gui_time = l.gui_time, s.gui_count = l.gui_count, s.gui_net = l.gui_net;
    rows[key].Add(s);
  }
  std::vector<ProgRow> out;
  for (auto& [key, sums] : rows) {
    if (sums.other < 0) sums.other = 0;
    out.push_back({key, sums});
  }
  return out;
}

// The fixture of this file's tests.
class EndToEndTest : public StatiWorld {};

// The rows of r3_progresp that the runs' records make, in the order the
// database numbered them (the script's grouping order does not fix it, so
// each run's rows are compared as a set).
Rows Expected(const std::vector<ProgRow>& rows, bool gui_time_off) {
  Rows out;
  for (const ProgRow& r : rows) {
    std::vector<std::string> row = r.key;
    std::vector<std::string> sums = r.sums.Text(gui_time_off);
    row.insert(row.end(), sums.begin(), sums.end());
    out.push_back(row);
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(EndToEndTest, TwoRunsFillTheWarehouseWithTheSumsOfTheirRecords) {
  Collect(kFirstRun);
  ExpectLoaded(7);
  ASSERT_EQ(db_->Value("select count(*) from r3_progresp where rtrim(user_name) = 'DDIC'"), "0")
      << "the excluded user's steps reached the warehouse: the staging column holds the "
         "fixed-width field with its blanks (PRESERVE BLANKS), so only the trimmed column "
         "equals 'DDIC'";
  Collect(kFirstRun + kDay);
  ExpectLoaded(3);

  const std::vector<std::vector<Line>> runs = Archived();
  ASSERT_EQ(runs.size(), 2u) << "each run's file loaded and archived";
  ASSERT_EQ(runs[0].size(), 7u);
  ASSERT_EQ(runs[1].size(), 3u);
  const std::vector<ProgRow> first = ProgRows(runs[0]);
  const std::vector<ProgRow> second = ProgRows(runs[1]);

  // r3_progresp: every run's rows once, numbered run after run; the
  // excluded user's step and the GUI time (switched off) never arrive.
  const std::string first_count = std::to_string(first.size());
  EXPECT_EQ(Sorted(ProgrespRows("where prog_seq_id <= " + first_count)), Expected(first, true));
  EXPECT_EQ(Sorted(ProgrespRows("where prog_seq_id > " + first_count)), Expected(second, true));
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp where gui_time <> -9"), "0");
  // The second run aggregated only its own rows: the first run's highest id.
  EXPECT_EQ(db_->Value("select prog_seq_id from r3_last_seq"), first_count);

  // r3_user_sum: active users per hour of each run.
  std::map<std::vector<std::string>, std::set<std::string>> users;
  for (const auto& run : runs) {
    for (const Line& l : run) {
      if (RTrim(l.user) == kExcludedUser || l.record_type != "N") continue;
      users[{"A", RTrim(l.label), l.host, l.dest, IsoDate(l.end_date.substr(0, 8)),
             l.end_date.substr(8, 2)}]
          .insert(l.user);
    }
  }
  Rows expected_users;
  for (const auto& [key, names] : users) {
    std::vector<std::string> row = key;
    row.push_back(std::to_string(names.size()));
    expected_users.push_back(row);
  }
  EXPECT_EQ(Sorted(db_->Query("select record_type, system_label, host_name, rfc_dest_str, "
                              "diag_date, diag_hour, user_count from r3_user_sum")),
            Sorted(expected_users));

  // r3_tx_sla: each run's hourly rows against the group's level and against
  // the level of all transactions; a row is within the level when its
  // steps took no longer than the level on average.
  Rows sla;
  for (const auto* run : {&first, &second}) {
    std::map<std::vector<std::string>, std::pair<long long, long long>> group_yes_no, all_yes_no;
    for (const ProgRow& r : *run) {
      const std::string& label = r.key[1];
      const std::string& tcode = r.key[7];
      std::vector<std::string> when = {r.key[5], r.key[6]};
      auto within = [&](long long level) { return r.sums.response * 1000 <= level * r.sums.count; };
      auto g = kGroupOf.find(tcode);
      if (g != kGroupOf.end()) {
        auto& yes_no = group_yes_no[{label, g->second.first, tcode, when[0], when[1]}];
        (within(g->second.second) ? yes_no.first : yes_no.second) += r.sums.count;
      }
      auto& all = all_yes_no[{label, "All Transactions", "All Transactions", when[0], when[1]}];
      (within(std::stoll(kSystemSla)) ? all.first : all.second) += r.sums.count;
    }
    auto add = [&](const auto& table, const char* no_in_yes_row) {
      for (const auto& [key, yes_no] : table) {
        std::vector<std::string> row = key;
        if (yes_no.first) {
          std::vector<std::string> r = row;
          r.insert(r.end(),
                   {std::to_string(yes_no.first), no_in_yes_row, std::to_string(yes_no.first)});
          sla.push_back(r);
        }
        if (yes_no.second) {
          row.insert(row.end(),
                     {"-9", std::to_string(yes_no.second), std::to_string(yes_no.second)});
          sla.push_back(row);
        }
      }
    };
    add(group_yes_no, "-9");
    add(all_yes_no, "0");
  }
  EXPECT_EQ(
      Sorted(db_->Query("select system_label, group_name, t_code, record_date, "
                        "record_hour, sla_yes_count, sla_no_count, tot_count from r3_tx_sla")),
      Sorted(sla));
  EXPECT_EQ(db_->Value("select count(distinct sla_seq_id) = count(*) and min(sla_seq_id) > 0 "
                       "from r3_tx_sla"),
            "t");

  // r3_application: each run's rows by group, the first run's too: its
  // script builds r3_tcode_group from the group files before it joins it.
  Rows expected_appl;
  for (const auto* run : {&first, &second}) {
    std::map<std::vector<std::string>, Sums> appl;
    for (const ProgRow& r : *run) {
      auto g = kGroupOf.find(r.key[7]);
      if (g == kGroupOf.end()) continue;
      appl[{"ZZ", g->second.first, r.key[7], r.key[1], r.key[2], r.key[3], r.key[4], r.key[5],
            r.key[6]}]
          .Add(r.sums);
    }
    for (const auto& [key, sums] : appl) {
      std::vector<std::string> row = key;
      std::vector<std::string> figures = sums.Text(true);
      row.insert(row.end(), figures.begin(), figures.end());
      expected_appl.push_back(row);
    }
  }
  EXPECT_EQ(Sorted(db_->Query(
                "select group_area, group_name, t_code, system_label, sys_id, rfc_dest_str, "
                "host_name, diag_date, diag_hour, diag_count, cpu_time, response_time, "
                "database_time, other_time, kb_transfered, kb_changed, wait_time, memory_used, "
                "load_time, gui_time, gui_count, gui_net_time from r3_application")),
            Sorted(expected_appl));

  // The transactions of the groups, built once from the group files.
  EXPECT_EQ(Sorted(db_->Query("select group_area, group_name, t_code, sla from r3_tcode_group")),
            (Rows{{"ZZ", "Sales", "VA01", "1500"},
                  {"ZZ", "Sales", "VA02", "1500"},
                  {"ZZ", "Tools", "SE38", "2000"}}));
  EXPECT_EQ(OtherTables(), "0") << "the staging table is dropped";
  std::vector<std::string> progress = kProgress;
  progress.insert(progress.end(), kProgress.begin(), kProgress.end());
  EXPECT_EQ(Progress(), progress) << "each run's load and aggregation, in order";
}

}  // namespace

namespace {

// A record that the collector could never have written reaches the load
// (here: left in the collecting file, which the run's hand-over takes
// along). It goes to the bad file, the tool log tells it, the other records
// are loaded and aggregated, and the loaded file is archived whole.
TEST_F(EndToEndTest, ABrokenDataLineGoesToTheBadFileAndTheOthersAreLoaded) {
  const std::string broken(300, 'x');
  Write(bin_ + "zmo_stati.dat", broken + "\r\n");
  Collect(kFirstRun);
  ExpectLoaded(7);

  const std::string data = bin_ + "zmostati.dat";
  const std::string log = Read(bin_ + "trace_zmo_load_stati.log");
  EXPECT_NE(log.find("sqlldr: record 1 of " + data +
                     " rejected: 300 characters, the fields take 307\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(", 1 rejected\r\n"), std::string::npos) << log;
  EXPECT_EQ(Read(bin_ + "trace_zmo_out_put_daily.bad"), broken + "\r\n");
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_progresp where rtrim(user_name) <> 'DDIC'"),
            "6")
      << "the seven steps but the excluded user's";

  const std::vector<std::string> archived = ArchiveFiles();
  ASSERT_EQ(archived.size(), 1u);
  const std::vector<std::string> lines = warehouse_test::StatRecordLines(Read(archived[0]));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], broken);
  EXPECT_FALSE(zmo::FileExists(data.c_str()));
  EXPECT_EQ(Progress(), kProgress) << "rejected records are no failed load";
}

// The warehouse refuses the connection: the first tool says so and ends
// with 1, the batch leaves its remaining lines, nothing reaches the
// warehouse, the handed-over file stays for the next load and the summary
// log tells of the failure instead of a load that ended.
TEST_F(EndToEndTest, ARefusedConnectionKeepsTheFileForTheNextLoad) {
  const std::string dsn =
      "pg:" + warehouse_test::SocketDir() + ":" + warehouse_test::Port() + ":no_such_database";
  Set(zmo::cfg::kDSN, dsn);
  Collect(kFirstRun, kStatiRunLoadFailed);

  std::vector<std::string> tools;
  for (const std::string& call : zmo::SplitTextLines(Read(tmp_.File("calls.log")))) {
    tools.push_back(call.substr(0, call.find(' ')));
  }
  // The load check, then the failure lines' drop of the staging tables: no
  // load after a refused logon.
  EXPECT_EQ(tools, (std::vector<std::string>{"sqlplus", "sqlplus"}))
      << "no load after a refused logon";
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp"), "0");

  EXPECT_TRUE(ArchiveFiles().empty());
  EXPECT_EQ(warehouse_test::StatRecordLines(Read(bin_ + "zmostati.dat")).size(), 7u);
  std::vector<std::string> wanted = kProgress;
  wanted.push_back(kLoadFailed);
  EXPECT_EQ(Progress(wanted),
            (std::vector<std::string>{"\tLoading of statistics records has started", kLoadFailed}));
}

}  // namespace

namespace {

// A refused load keeps its file; the next run's loader loads it while that
// run's records wait in the collecting file, and the run after hands those
// over: every record reaches the warehouse once.
TEST_F(EndToEndTest, ARefusedLoadThenGoodOnesLoadEveryRecordOnce) {
  Set(zmo::cfg::kDSN,
      "pg:" + warehouse_test::SocketDir() + ":" + warehouse_test::Port() + ":no_such_database");
  Collect(kFirstRun, kStatiRunLoadFailed);
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp"), "0");
  Set(zmo::cfg::kDSN, db_->Dsn());
  Collect(kFirstRun + kDay);
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_progresp"), "6")
      << "the first run's seven steps but the excluded user's";
  Collect(kFirstRun + 2 * kDay);
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_progresp"), "9");
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp where to_char(diag_date,'yyyymmdd') = "
                       "'20240305'"),
            "3");
  const std::vector<std::vector<Line>> runs = Archived();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].size(), 7u);
  EXPECT_EQ(runs[1].size(), 3u);
  EXPECT_FALSE(zmo::FileExists((bin_ + "zmo_stati.dat").c_str()));
  std::vector<std::string> wanted = kProgress;
  wanted.push_back(kLoadFailed);
  const std::vector<std::string> progress = Progress(wanted);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress[1], kLoadFailed);
  EXPECT_EQ(std::count(progress.begin(), progress.end(), kProgress[1]), 2) << "two loads ended";
}

}  // namespace
