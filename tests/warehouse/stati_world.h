// The statistics road's whole-world setting on the real warehouse: a
// simulated SAP system with known dialog steps, its server file, the group
// and exclusion files, the loader's values for the Oracle kind, and zmostati
// -nr collections in the test's process (on the fake clock) that start the
// real zmoloader and its batch with the stand-ins on PostgreSQL.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/metric_switches.h"
#include "loader_world.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "zmo_test/landscape.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"

namespace warehouse_test {

using dbtools_test::Read;
using dbtools_test::Write;

// The simulated system, as the server file names it.
inline const zmo_test::TestServer kW46{"sapw46.example.net", "W46", "00", "Secret46"};
inline constexpr const char* kExcludedUser = "DDIC";
inline constexpr const char* kSystemSla = "2000";
// 2024-03-05 13:00:00 UTC: with the schedule "00:00" the day before is due.
inline constexpr std::int64_t kFirstRun = 1709643600000LL;
inline constexpr std::int64_t kDay = 86400000LL;

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
inline const Step kSteps[] = {
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

inline std::string SystemFile() {
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

inline Line Cut(const std::string& l) {
  auto text = [&](size_t from, size_t to) { return l.substr(from - 1, to - from + 1); };
  auto number = [&](size_t from, size_t to) { return std::stoll(text(from, to)); };
  return Line{text(1, 1),       text(2, 21),      text(22, 51),     text(52, 85),
              text(103, 116),   text(117, 136),   text(141, 180),   text(185, 185),
              text(186, 215),   number(216, 223), number(224, 231), number(232, 239),
              number(240, 247), number(248, 259), number(260, 267), number(268, 275),
              number(276, 283), number(284, 291), number(292, 299), number(300, 307)};
}

// The loader's and the batch's lines in the summary log of a run.
inline const std::vector<std::string> kProgress = {
    "\tLoading of statistics records has started", "\tLoading of statistics records has ended",
    "\tAggregation of statistics records has started",
    "\tAggregation of statistics records has ended",
    "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended"};

inline const std::string kLoadFailed =
    "\tLoading of statistics records has failed, the records are kept for the next load";

// The application groups: the group files' transactions and their levels.
inline const std::map<std::string, std::pair<std::string, int>> kGroupOf = {
    {"VA01", {"Sales", 1500}}, {"VA02", {"Sales", 1500}}, {"SE38", {"Tools", 2000}}};

class StatiWorld : public LoaderWorld {
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
    ResetCollector();
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
  void Collect(std::int64_t at, int exit_code = 0) { RunStatiCollection(bin_, at, exit_code); }

  // The records of each loaded file, in the order of the runs.
  std::vector<std::vector<Line>> Archived() {
    std::vector<std::vector<Line>> runs;
    for (const std::string& f : ArchiveFiles()) {
      std::vector<Line> lines;
      for (const std::string& l : StatRecordLines(Read(f))) lines.push_back(Cut(l));
      runs.push_back(lines);
    }
    return runs;
  }

  // The load reached the table: the records and the server's interval lines.
  void ExpectLoaded(size_t records) {
    const std::string log = Read(bin_ + "trace_zmo_load_stati.log");
    EXPECT_NE(log.find("sqlldr: " + std::to_string(LoadedRows(records)) + " rows loaded into s"),
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

}  // namespace warehouse_test
