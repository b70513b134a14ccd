// zmoloader's process-wide state: the settings of the one run a process
// makes, in one struct so that tests can put it back to its start values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/metric_switches.h"
#include "common/pipeline.h"
#include "platform/dynlib.h"

namespace zmo::loader {

// Exit codes.
constexpr int kLoaderExitOk = 0;
constexpr int kLoaderExitUsage = 1;  // no argument, or a program other than SNAP and STATI
constexpr int kLoaderExitError = 99;
// The load batch ran and reported a failed load: its data files are kept
// for the next run.
constexpr int kLoaderExitLoadFailed = 2;

// The collection a run loads.
enum LoaderProgram { kProgramNone, kProgramSnap, kProgramStati };

// What differs between the two programs' files and lines: the row of the
// collection in the pipeline's contract.
using LoaderProgramInfo = zmo::CollectionRow;
// The table row of a program (nullptr for kProgramNone).
const LoaderProgramInfo* loaderProgramInfo(int program);

struct LoaderState {
  // The command line.
  std::string program;  // -p, upper-cased
  std::string vendor;   // -v upper-cased, else DB as stored
  int vendor_given = 0;
  int aggregate = 0;       // -a
  int debug = 0;           // -d
  std::string start_date;  // -s, -e: checked and logged only
  std::string end_date;
  std::string file_name;  // -f: logged only
  std::string ip;         // -h
  std::string pid;        // -i
  int ip_given = 0;
  int pid_given = 0;

  // Derived from it.
  int prog = kProgramNone;                // LoaderProgram of program
  zmo::DbKind kind = zmo::DbKind::kNone;  // by the vendor's first letter
  std::string table_key;

  // The registry.
  std::string bin_dir;      // without its trailing separator
  std::string archive_dir;  // <BinDir>/<zmo::kArchiveFolder>
  int trend_keep_days = 0;
  int detail_keep_days = 0;
  int system_sla = 0;
  std::string user;
  std::string access;    // scrambled
  std::string password;  // clear; wiped by loaderReset
  std::string dsn;
  int archive_keep_days = 0;  // days back, never positive
  std::string inst;
  std::string oracle_version;
  std::string stati_output;
  zmo::MetricSwitches switches;

  // Files of the run.
  std::string sql_file;  // zmoload_<x>.sql
  std::string bat_file;  // zmoload_<x>.bat
  // Holds the lock of bat_file from before the run writes its files until
  // it starts the batch, so that a batch still running (its loader killed)
  // is never given new files under it. -1 when not held.
  int batch_lock = -1;
  // The tags of the data files when the batch checks them against the
  // warehouse's marks (zmoloader/load_check.h); empty otherwise.
  std::vector<std::string> load_tags;
  std::string bat2_file;  // zmoload2_<x>.bat
  // Holds the lock of bat2_file (Corva) as batch_lock does bat_file's.
  int batch2_lock = -1;
  // The staging tables (letters) whose data file was there when the run
  // wrote its files; only those are loaded.
  std::string present;
  // What the batch settles once the aggregation has committed: the group
  // file's time text that r3_tcode_group was built from (CustomGroupDate),
  // and the rename file the script applied.
  bool store_group_date = false;
  std::string group_date;
  bool delete_renames = false;

  // Libraries.
  HINSTANCE catalog = nullptr;
};

// Lets go of the batch files' locks the run holds.
void loaderReleaseBatchLock();
LoaderState& loaderState();
// Frees the libraries, wipes the password and puts every item back to its
// start value, and removes the Envs a test installed with SetEnv
// (platform/env.h): the programs a run starts are started through the Env.
void loaderReset();

}  // namespace zmo::loader
