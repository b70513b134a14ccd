// The pipeline's contract: every fact that one program of the system and
// another both rely on about the files handed between them, the programs'
// names and logs, and the command lines one program builds for another.
//
// A collector appends its records to a collecting file and, at the end of a
// collection, hands it over under the name the loader reads (handover.h).
// The loader loads each hand-over file into a staging table named by the
// file's letter, through the control file and loader log of the Oracle kind,
// archives it under its prefix and runs its collection's scripts and batch
// files. zmomsg appends the progress of a collection to the summary log of
// the calling program; the configurator shows the logs and starts the
// special run into the statistics hand-over file.
//
// Each side reads its names from the rows below and spells none of them
// itself, so that renaming a file, a log or a program is a change of one
// row. The tables are constant expressions, so a program may take a name
// into a constant of its own.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/metric_switches.h"
#include "common/record_layouts.h"
#include "zmogdlib/config_key.h"

namespace zmo {

// ---- Programs ----

enum class PipelineProgram { kStati, kSnap, kLoader, kMsg, kSetval };

// How a program spells the zmomsg command line it builds: the message's
// text always stands in double quotes.
struct MsgCallForm {
  bool lower_case = false;  // " -p", " -m" (zmosnap), else " -P", " -M", " -T"
  bool tab_first = false;   // " -T" before " -P" (zmostati), else after it
};

// How a collector spells the zmoloader command line it builds.
struct LoaderCallForm {
  bool lower_case = false;  // " -a", " -p", " -h", " -i" (zmosnap)
  // The -p element carries a leading blank as every other element does
  // (zmostati); zmosnap's "-p SNAP" has none.
  bool program_blank = true;
  // The call names the interval collected: " -S <start>", " -E <end>"
  // (zmostati).
  bool interval = false;
};

// One program: its executable in BinDir, its own trace log and the rolled
// copy beside it (nullptr: the program keeps none), and the forms of the
// command lines it builds for zmomsg and zmoloader.
struct ProgramRow {
  PipelineProgram program;
  const char* executable;
  const char* trace_log;
  const char* trace_old;
  MsgCallForm msg_form;
  LoaderCallForm loader_form;
};

// clang-format off
inline constexpr ProgramRow kPipelinePrograms[] = {
    {PipelineProgram::kStati, "zmostati", "trace_zmostati.log", "trace_zmostati_log.old",
     {.tab_first = true}, {.interval = true}},
    {PipelineProgram::kSnap, "zmosnap", "trace_zmosnap.log", "trace_zmosnap_log.old",
     {.lower_case = true}, {.lower_case = true, .program_blank = false}},
    {PipelineProgram::kLoader, "zmoloader", "trace_zmoldr.log", "trace_zmoldr_log.old", {}, {}},
    {PipelineProgram::kMsg, "zmomsg", nullptr, nullptr, {}, {}},
    {PipelineProgram::kSetval, "zmosetval", nullptr, nullptr, {}, {}},
};
// clang-format on

constexpr const ProgramRow& pipelineProgram(PipelineProgram program) {
  return kPipelinePrograms[static_cast<int>(program)];
}
// <dir>/<executable>: where a program starts another.
std::string programPath(const std::string& dir, PipelineProgram program);

// ---- Summary logs ----

// A summary log zmomsg keeps in BinDir: the -p value that names it, its
// file, its rolled copy and the configuration value of its size limit in
// kilobytes.
struct SummaryLogRow {
  const char* program;
  const char* log_name;
  const char* old_name;
  const char* limit_value;
};

inline constexpr SummaryLogRow kSummaryLogs[] = {
    {"SNAP", "trace_zmosnapsum.log", "trace_zmosnapsum_log.old", cfg::kSnapLogSize},
    {"STATI", "trace_zmostatisum.log", "trace_zmostatisum_log.old", cfg::kStatiLogSize},
    {"PERF", "trace_zmoperfsum.log", "trace_zmoperfsum_log.old", cfg::kPerfLogSize},
};

// The log of a -p value (compared exactly), or nullptr.
const SummaryLogRow* summaryLogRow(std::string_view program);

// ---- Collections ----

// What a collector collects and zmoloader loads in one run.
enum class Collection { kSnap, kStati };

// One collection: its collector, its summary log, whose -p value names it
// to zmomsg and zmoloader alike, and what the loader makes of it: its files
// in BinDir, the logs of its tools, and the catalog ids of its progress
// lines in the summary log.
struct CollectionRow {
  Collection collection;
  PipelineProgram collector;
  const SummaryLogRow* summary;
  int msg_load_start;
  int msg_load_end;
  int msg_agg_start;
  int msg_agg_end;
  int msg_load_failed;              // the summary line of a failed load
  const char* load_start_tag;       // names the start text in a trace line
  const char* load_start_fallback;  // the start text without a catalog
  const char* load_sql;             // the kind's load script
  const char* first_bat;
  const char* second_bat;  // the Corva kind's, run by its command window
  const char* agg_script;
  const char* stage_script;  // creates the staging tables
  const char* drop_script;   // drops them again when the load fails
  const char* check_script;  // asks the warehouse whether the files are loaded
  const char* load_log;      // tool logs
  const char* agg_log;
  const char* stage_log;

  // The -p value: "SNAP", "STATI".
  constexpr const char* name() const { return summary->program; }
};

// clang-format off
inline constexpr CollectionRow kCollections[] = {
    {Collection::kSnap, PipelineProgram::kSnap, &kSummaryLogs[0], 1499, 1500, 1501, 1502, 1521,
     "msgSnapLoadStart_Tag", "Loading of snap records has started", "zmoload_snap.sql",
     "zmoload_snap.bat", "zmoload2_snap.bat", "zmosnap.sql", "zmostage_snap.sql",
     "zmodrop_snap.sql", "zmocheck_snap.sql", "trace_zmo_load_snap.log",
     "trace_zmo_agg_snap.log", "trace_zmo_stage_snap.log"},
    {Collection::kStati, PipelineProgram::kStati, &kSummaryLogs[1], 1494, 1495, 1496, 1497, 1522,
     "msgStatiLoadStart_Tag", "Loading of statistics records has started", "zmoload_stati.sql",
     "zmoload_stati.bat", "zmoload2_stati.bat", "zmostati.sql", "zmostage_stati.sql",
     "zmodrop_stati.sql", "zmocheck_stati.sql", "trace_zmo_load_stati.log",
     "trace_zmo_agg_stati.log", "trace_zmo_stage_stati.log"},
};
// clang-format on

constexpr const CollectionRow& collectionRow(Collection collection) {
  return kCollections[static_cast<int>(collection)];
}
// The collection whose -p value is name (compared exactly), or nullptr.
const CollectionRow* collectionNamed(std::string_view name);

// The catalog id of the line that closes a load run in the summary log.
inline constexpr int kMsgCollectionEnded = 1498;

// ---- Files handed from a collector to the loader ----

enum class PipelineFile { kStati, kSnapCpu, kSnapDisk, kSnapLan, kSnapAvail };

// One file: the collector's collecting file and the name it hands it over
// under (both in BinDir; the loader reads the statistic data file by the
// configuration value StatiOutPut, which names the hand-over file), its
// record layout, and what the loader makes of it.
struct PipelineFileRow {
  PipelineFile file;
  Collection collection;
  const char* collecting;
  const char* hand_over;
  RecordLayout (*layout)();
  // Besides its records the file carries the interval lines of
  // kStatIntervalRecord.
  bool interval_lines;
  char table;  // the staging table's letter: <letter><key>
  // The MetricGroup whose switches load it; the statistic data file is
  // loaded when any statistics group or the count of active users is on.
  int group;
  const char* control_file;  // the Oracle kind's
  const char* loader_log;    // the Oracle loader's log; nullptr: the collection's load log
  const char* bad_file;      // the Oracle loader's rejected and discarded records
  const char* discard_file;
  const char* archive_prefix;  // archived as <prefix>_<stamp>.dat (archiveFileName)
};

// clang-format off
inline constexpr PipelineFileRow kPipelineFiles[] = {
    {PipelineFile::kStati, Collection::kStati, "zmo_stati.dat", "zmostati.dat", statRecordLayout,
     true, 's', kGroupStati, "zmoklvload.par", nullptr, "trace_zmo_out_put_daily.bad",
     "trace_zmo_out_put_daily.dsc", "stati"},
    {PipelineFile::kSnapCpu, Collection::kSnap, "zmosnipsnap.cpu", "zmosnap.cpu", snapCpuLayout,
     false, 'c', kGroupSnapCpu, "zmosnap_cpu.par", "trace_zmo_load_cpu.log",
     "trace_zmosnap_cpu.bad", "trace_zmosnap_cpu.dsk", "cpu"},
    {PipelineFile::kSnapDisk, Collection::kSnap, "zmosnipsnap.dsk", "zmosnap.dsk", snapDiskLayout,
     false, 'd', kGroupSnapDisk, "zmosnap_dsk.par", "trace_zmo_load_disk.log",
     "trace_zmosnap_dsk.bad", "trace_zmosnap_dsk.dsk", "dsk"},
    {PipelineFile::kSnapLan, Collection::kSnap, "zmosnipsnap.lan", "zmosnap.lan", snapLanLayout,
     false, 'l', kGroupSnapLan, "zmosnap_lan.par", "trace_zmo_load_lan.log",
     "trace_zmosnap_lan.bad", "trace_zmosnap_lan.dsk", "lan"},
    {PipelineFile::kSnapAvail, Collection::kSnap, "zmosnapavai.dat", "zmoavai.dat", availLayout,
     false, 'v', kGroupSnapAvail, "zmosnap_avai.par", "trace_zmo_load_avai.log",
     "trace_zmosnap_avai.bad", "trace_zmosnap_avai.dsk", "avl"},
};
// clang-format on

constexpr const PipelineFileRow& pipelineFile(PipelineFile file) {
  return kPipelineFiles[static_cast<int>(file)];
}
// The file of a staging-table letter, or nullptr.
const PipelineFileRow* pipelineFileOfTable(char table);

// The folder under BinDir that the loaded files are archived in.
inline constexpr const char* kArchiveFolder = "ArchiveData";
// <prefix>_<stamp>.dat: the archived copy of a loaded file, by its row's
// archive prefix.
std::string archiveFileName(std::string_view prefix, std::string_view stamp);

// ---- Command lines ----

// The options of zmomsg and zmoloader, by the letter each reads in either
// case.
inline constexpr char kMsgOptionMessage = 'm';
inline constexpr char kMsgOptionNumber = 'n';
inline constexpr char kMsgOptionProgram = 'p';
inline constexpr char kMsgOptionTab = 't';

inline constexpr char kLoaderOptionAggregate = 'a';
inline constexpr char kLoaderOptionDebug = 'd';
inline constexpr char kLoaderOptionEnd = 'e';
inline constexpr char kLoaderOptionFile = 'f';
inline constexpr char kLoaderOptionHost = 'h';
inline constexpr char kLoaderOptionPid = 'i';
inline constexpr char kLoaderOptionProgram = 'p';
inline constexpr char kLoaderOptionStart = 's';
inline constexpr char kLoaderOptionVendor = 'v';

// "-<letter>" in upper case, as a batch line and an upper-case form spell an
// option.
std::string optionText(char letter);

// The zmomsg argument vector that sender builds for one message to the
// summary log of collection: element 0 the path, each later element with
// its leading blank (the command line is the elements joined), the text in
// double quotes (doubleQuoted), " -T" when tab.
std::vector<std::string> zmomsgArgv(PipelineProgram sender, Collection collection,
                                    const std::string& path, const std::string& text, bool tab);

// What a collector tells zmoloader.
struct LoaderCall {
  std::string start_date;  // when the form names the interval
  std::string end_date;
  std::string host;  // IPv4 address
  std::string pid;
  bool debug = false;  // " -D"
};

// One element of a loader command line with its value, in the form of the
// collector of collection: " -<letter> <value>".
std::string loaderArgElement(Collection collection, char letter, const std::string& value);

// The zmoloader argument vector that the collector of collection builds:
// element 0 the path, then " -A", the program, the interval when the form
// names it, host and pid, and " -D" when asked, each in the collector's
// form.
std::vector<std::string> loaderArgv(Collection collection, const std::string& path,
                                    const LoaderCall& call);

}  // namespace zmo
