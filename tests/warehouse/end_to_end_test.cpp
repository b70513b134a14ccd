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
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "loader_world.h"
#include "platform/clock.h"
#include "process_kills.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"
#include "zmostati/entry.h"
#include "zmostati/params.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using dbtools_test::Read;
using dbtools_test::Write;
using warehouse_test::IsoDate;
using warehouse_test::Pad;
using warehouse_test::Rows;
using warehouse_test::RTrim;
using warehouse_test::Sorted;

// The simulated system, as the server file names it.
const zmo_test::TestServer kW46{"sapw46.example.net", "W46", "00", "Secret46"};
constexpr const char* kExcludedUser = "DDIC";
constexpr const char* kSystemSla = "2000";
// 2024-03-05 13:00:00 UTC: with the schedule "00:00" the day before is due.
constexpr std::int64_t kFirstRun = 1709643600000LL;
constexpr std::int64_t kDay = 86400000LL;

// A dialog step of the simulated system.
struct Step {
  const char* date;  // YYYYMMDD
  const char* time;  // hhmmss, the end of the step
  const char* tcode;
  const char* user;
  int response_ms;
  int cpu_ms;
  int db_ms;  // one database part of the step
};

// Day one: a group's transactions within and beyond its level, one outside
// any group, the excluded user; day two: the second run's steps.
const Step kSteps[] = {
    {"20240304", "101500", "VA01", "SALES01", 1200, 300, 400},
    {"20240304", "102000", "VA01", "SALES02", 3000, 900, 1200},
    {"20240304", "104000", "VA02", "SALES01", 900, 200, 300},
    {"20240304", "104500", "VA01", "SALES01", 1500, 500, 100},
    {"20240304", "110500", "ME21N", "BUYER1", 500, 100, 100},
    {"20240304", "113000", "VA01", kExcludedUser, 700, 100, 100},
    {"20240304", "114500", "SE38", "SALES01", 2500, 2000, 100},
    {"20240305", "091000", "VA01", "SALES01", 1000, 300, 200},
    {"20240305", "095000", "VA02", "SALES02", 2000, 600, 900},
    {"20240305", "095500", "VA01", "SALES02", 4000, 700, 900},
};

std::string SystemFile() {
  std::string text =
      "[logon]\nhost = sapw46.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
      "password = " +
      kW46.password +
      "\nlanguage = E\n\n"
      "[system_info]\nsysid = W46\ndbhost = dbw46\nrelease = 46C\n";
  int wp = 1;
  for (const Step& s : kSteps) {
    text += "\n[record normal]\nDATE = " + std::string(s.date) + "\nSTARTDATE = " + s.date +
            "\nSTARTTIME = " + s.time + "\nENDDATE = " + s.date + "\nENDTIME = " + s.time +
            "\nRESPTI = " + std::to_string(s.response_ms) +
            "\nCPUTI = " + std::to_string(s.cpu_ms) + "\nREADDIRTI = " + std::to_string(s.db_ms) +
            "\nWPID = 000" + std::to_string(wp++ % 10) + "\nTASKTYPE = 01\nTCODE = " + s.tcode +
            "\nDYNPRONR = 0100\nREPORT = SAPM" + s.tcode + "\nCUA_PROG = SAPM" + s.tcode +
            "\nACCOUNT = " + s.user + "\nMANDT = 100\nGUITIME = 120\nGUICNT = 2\nGUINETTIME = 40\n";
  }
  return text;
}

// One loaded record, cut by the columns of the loader's control file.
struct Line {
  std::string record_type, dest, host, label, end_date, tcode, cua_prog, task_type, user;
  long long cpu, response, database, kb_trans, kb_changed, wait, memory, load, gui_time, gui_count,
      gui_net;
};

Line Cut(const std::string& l) {
  auto text = [&](size_t from, size_t to) { return l.substr(from - 1, to - from + 1); };
  auto number = [&](size_t from, size_t to) { return std::stoll(text(from, to)); };
  return Line{text(1, 1),       text(2, 21),      text(22, 51),     text(52, 85),
              text(103, 116),   text(117, 136),   text(141, 180),   text(185, 185),
              text(186, 215),   number(216, 223), number(224, 231), number(232, 239),
              number(240, 247), number(248, 259), number(260, 267), number(268, 275),
              number(276, 283), number(284, 291), number(292, 299), number(300, 307)};
}

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

// The loader's and the batch's lines in the summary log of a run.
const std::vector<std::string> kProgress = {
    "\tLoading of statistics records has started", "\tLoading of statistics records has ended",
    "\tAggregation of statistics records has started",
    "\tAggregation of statistics records has ended",
    "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended"};

const std::string kLoadFailed =
    "\tLoading of statistics records has failed, the records are kept for the next load";

// The application groups: the group files' transactions and their levels.
const std::map<std::string, std::pair<std::string, int>> kGroupOf = {
    {"VA01", {"Sales", 1500}}, {"VA02", {"Sales", 1500}}, {"SE38", {"Tools", 2000}}};

class EndToEndTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::filesystem::create_directories(tmp_.File("sap"));
    Write(tmp_.File("sap") + "/W46.sys", SystemFile());
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW46));
    WriteGroupFiles();
    Write(bin_ + "zmoIDsToIgnore.dat", Pad(kExcludedUser, 12) + "\r\n");
    // Every metric on but the GUI time, which arrives as -9.
    SetLoaderRegistry({zmo::kSwStatiGUI, zmo::kSwApplGUI});
    namespace cfg = zmo::cfg;
    Set(cfg::kStatiInput, bin_ + "zmoserver.dat");
    Set(cfg::kStatiSchedule, "00:00 ");
    Set(cfg::kStatiDebug, "True");
    Set(cfg::kSystemSLA, kSystemSla);
    Set(cfg::kCustomGroupDate, "never");
  }
  void TearDown() override {
    warehouse_test::ResetCollector();
    LoaderWorld::TearDown();
  }

  void WriteGroupFiles() {
    std::string groups, transactions;
    std::set<std::string> seen;
    for (const auto& [tcode, group] : kGroupOf) {
      transactions += Pad(group.first, 35) + Pad(tcode, 20);
      if (!seen.insert(group.first).second) continue;
      char sla[8];
      std::snprintf(sla, sizeof(sla), "%04d", group.second);
      groups += Pad(group.first, 35) + sla;
    }
    Write(bin_ + "zmoAppGroup.dat", groups);
    Write(bin_ + "zmoTransGroup.dat", transactions);
  }

  // A zmostati -nr run at the given moment, and everything it starts; its
  // exit code says whether its load failed.
  void Collect(std::int64_t at, int exit_code = 0) {
    warehouse_test::RunStatiCollection(bin_, at, exit_code);
  }

  // The records of each loaded file, in the order of the runs.
  std::vector<std::vector<Line>> Archived() {
    std::vector<std::vector<Line>> runs;
    for (const std::string& f : ArchiveFiles()) {
      std::vector<Line> lines;
      for (const std::string& l : warehouse_test::StatRecordLines(Read(f))) lines.push_back(Cut(l));
      runs.push_back(lines);
    }
    return runs;
  }

  // The load reached the table: the records and the server's interval lines.
  void ExpectLoaded(size_t records) {
    const std::string log = Read(bin_ + "trace_zmo_load_stati.log");
    EXPECT_NE(log.find("sqlldr: " + std::to_string(warehouse_test::LoadedRows(records)) +
                       " rows loaded into s"),
              std::string::npos)
        << log << Read(bin_ + "trace_zmostati.log");
  }

  std::vector<std::string> Progress(const std::vector<std::string>& wanted = kProgress) {
    return LoaderWorld::Progress("trace_zmostatisum.log", wanted);
  }

  Rows ProgrespRows(const std::string& where) {
    return db_->Query(
        "select record_type, system_label, sys_id, rfc_dest_str, host_name, diag_date, "
        "diag_hour, t_code, cua_prog, user_name, task_type, diag_count, cpu_time, response_time, "
        "database_time, other_time, kb_transfered, kb_changed, wait_time, memory_used, "
        "load_time, gui_time, gui_count, gui_net_time from r3_progresp " +
        where + " order by prog_seq_id");
  }

  zmo_test::ScopedEnv sap_{zmo::rfc::kSystemsEnv, tmp_.File("sap")};
};

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

namespace {

// Collections killed at random moments, each followed by a clean restart:
// every record of every collected interval is in r3_progresp exactly once.
// The collector runs in a child process of its own process group (forked,
// so it keeps the fake clock and the simulated systems); the second server
// answers late, in real time, so kills land in the collection too. The
// kills are seeded, local, and the waits for the processes bounded.

constexpr int kKillDays = 24;  // one interval a day
// Steps a day in each of two hours: more than the collector's file buffer
// takes, so a kill can leave some of a run's records on disk, a torn line
// among them.
constexpr int kStepsAnHour = 12;
constexpr int kMaxKillDelayMs = 2000;   // a round takes about that long
constexpr int kEarlyKillDelayMs = 600;  // the collection and hand-over come first
// A second server answers the statistics read after this long, while the
// first one's records are in the collecting file already.
constexpr int kSlowServerMs = 400;
const zmo_test::TestServer kW47{"sapw47.example.net", "W47", "00", "Secret47"};

std::string DayDate(int day) {  // 2024-03-04 plus day, as YYYYMMDD
  const int d = 4 + day;
  return "202403" + std::string(1, static_cast<char>('0' + d / 10)) +
         static_cast<char>('0' + d % 10);
}

std::string KillSystemFile() {
  std::string text =
      "[logon]\nhost = sapw46.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
      "password = " +
      kW46.password +
      "\nlanguage = E\n\n[system_info]\nsysid = W46\ndbhost = dbw46\nrelease = 46C\n";
  int wp = 1;
  for (int day = 0; day < kKillDays; ++day) {
    for (int step = 0; step < 2 * kStepsAnHour; ++step) {
      const std::string date = DayDate(day);
      const std::string time = (step < kStepsAnHour ? "10" : "11") +
                               std::string(1, static_cast<char>('0' + step % kStepsAnHour / 10)) +
                               static_cast<char>('0' + step % 10) + "00";
      text += "\n[record normal]\nDATE = " + date + "\nSTARTDATE = " + date +
              "\nSTARTTIME = " + time + "\nENDDATE = " + date + "\nENDTIME = " + time +
              "\nRESPTI = 900\nCPUTI = 300\nREADDIRTI = 200\nWPID = 000" +
              std::to_string(wp++ % 10) +
              "\nTASKTYPE = 01\nTCODE = VA01\nDYNPRONR = 0100\nREPORT = SAPMVA01"
              "\nCUA_PROG = SAPMVA01\nACCOUNT = USER" +
              std::to_string(day) + "\nMANDT = 100\nGUITIME = 120\nGUICNT = 2\nGUINETTIME = 40\n";
    }
  }
  return text;
}

class KillTest : public EndToEndTest {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Write(tmp_.File("sap") + "/W46.sys", KillSystemFile());
    Write(tmp_.File("sap") + "/W47.sys",
          "[logon]\nhost = sapw47.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
          "password = " +
              kW47.password +
              "\nlanguage = E\n\n[system_info]\nsysid = W47\ndbhost = dbw47\nrelease = 46C\n\n"
              "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = " +
              std::to_string(kSlowServerMs) + "\n");
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW46) + zmo_test::ServerRecord(kW47));
  }

  // Starts the work loop's passes at the moment given in a child process
  // of its own group: passes until nothing is due (at most three: a pass
  // that settled a cut-short run decides again).
  pid_t StartCollector(std::int64_t at) {
    return warehouse_test::StartInGroup([&] {
      warehouse_test::PrepareStatiCollector(bin_);
      zmo::ScopedFakeClock clock(at);
      // The collector's waits (its polls of the slow server) take real
      // time here, so that a kill can land while the collection is under
      // way.
      warehouse_test::WaitsTakeRealTime(&clock, at);
      statiResetRunState();
      statiState().storesInterval = true;
      statiGetDebugStatusFromRegistry();
      statiGetDefaultAvailFileName();
      for (int pass = 0; pass < 3; ++pass) {
        statiWorkPass();
        if (!statiState().due) break;
      }
    });
  }
};

TEST_F(KillTest, EveryRecordOnceAfterKillsAtRandomMoments) {
  std::mt19937 random(20240304);
  // Every other kill comes early, where the collection and the hand-over
  // are; the others anywhere in the round.
  std::uniform_int_distribution<int> early(0, kEarlyKillDelayMs);
  std::uniform_int_distribution<int> delay(0, kMaxKillDelayMs);
  std::int64_t at = kFirstRun;
  for (int day = 0; day < kKillDays; ++day, at += kDay) {
    const pid_t pid = StartCollector(at);
    ASSERT_GT(pid, 0);
    const int wait_ms = day % 2 == 0 ? early(random) : delay(random);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::KillAfter(pid, wait_ms, &random));
    // The clean restart at the same moment.
    const pid_t again = StartCollector(at);
    ASSERT_GT(again, 0);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(again));
  }
  // Later passes hand over and load what still waits.
  for (int extra = 0; extra < 3; ++extra, at += kDay) {
    const pid_t pid = StartCollector(at);
    ASSERT_NO_FATAL_FAILURE(warehouse_test::WaitForGroup(pid));
  }
  EXPECT_FALSE(zmo::FileExists((bin_ + "zmostati.dat").c_str())) << "nothing left unloaded";

  // Each step of each day exactly once.
  Rows expected;
  for (int day = 0; day < kKillDays; ++day) {
    for (const char* hour : {"10", "11"}) {
      expected.push_back({IsoDate(DayDate(day)), hour, "USER" + std::to_string(day),
                          std::to_string(kStepsAnHour)});
    }
  }
  EXPECT_EQ(Sorted(db_->Query("select to_char(diag_date,'yyyy-mm-dd'), diag_hour, "
                              "rtrim(user_name), sum(diag_count) from r3_progresp "
                              "group by 1, 2, 3")),
            Sorted(expected));
}

}  // namespace
