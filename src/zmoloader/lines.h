// Pieces shared by the batch files and the load files: paths in BinDir,
// quoting, the snapshot groups, the common line groups of the batches and
// the command lines of the warehouse tools.
#pragma once

#include <string>
#include <vector>

#include "zmoloader/state.h"

namespace zmo::loader {

using Lines = std::vector<std::string>;

// <BinDir>/<name>.
std::string binPath(const std::string& name);
// <letter><key>: the staging table of a group.
std::string tableName(char letter);

// The text as one argument of a tool line or a path of a script, in
// double quotes where it needs them (zmo::quotedWhenNeeded). The texts have
// been checked by zmo::lineValueFault (loaderCheckLineValues).
std::string lineArg(const std::string& text);
// The text in double quotes whatever it holds (zmo::doubleQuoted).
std::string quoteAlways(const std::string& text);

// The snapshot groups and their files.
struct SnapGroup {
  char table;                  // staging table letter
  int group;                   // zmo::MetricGroup
  const char* data_file;       // in BinDir
  const char* control_file;    // Oracle control file
  const char* ldr_log;         // Oracle loader log
  const char* reject_stem;     // Oracle bad and discard files
  const char* archive_prefix;  // archived as <prefix>_<stamp>.dat
};
// The group of a table letter c, d, l or v.
const SnapGroup& snapGroup(char table);
// Loads, scripts and creates go c, d, l, v; archives cpu, lan, dsk, avl.
constexpr const char* kLoadOrder = "cdlv";
constexpr const char* kArchiveOrder = "cldv";
// The Oracle loader logs are gathered v, c, d, l.
constexpr const char* kOracleLogOrder = "vcdl";
// The staging table and archive prefix of the statistics data.
constexpr char kStatiTable = 's';
constexpr const char* kStatiArchivePrefix = "stati";
// The staging tables of the run's program: kLoadOrder or the statistics one.
std::string runTables();
// True when the run makes the staging table and loads it: a snapshot
// group's switch is on; the statistics table when any statistics group or
// the count of active users wants the records.
bool tableOn(char table);
// The data file of a staging table: the group's file in BinDir, or the
// statistics file StatiOutPut.
std::string dataPath(char table);
// Notes which data files are there (LoaderState::present); the run loads
// only those, and when none is there its batch only closes the run.
void noteDataFiles();
// True when the table's data file was there when the run noted them.
bool dataPresent(char table);
// True when the table is on and its data file there: the run loads it.
bool tableLoaded(char table);

// Common line groups.
std::string cdLine();
std::string titleLine();
std::string msgLine(int id);  // "<zmomsg>" -T -N <id> -P <prog>
std::string msg1500Line();    // "<zmomsg>" -P "SNAP" -T -N 1500
std::string endLine();        // "<zmomsg>" -N 1498 -P <prog>
constexpr const char* kExitLine = "Exit";
// The moves of the run's data files into the archive, with this run's
// archive stamp: the snapshot files in the order cpu, lan, dsk, avl, or the
// statistics file; only the files that were there.
void addMoves(Lines* lines);

// The label a failed tool sends the batch to.
constexpr const char* kFailedLabel = "zmofailed";
// How a tool line's exit code is read.
enum class ToolResult {
  // A load: 0 done, 2 done with rejected records (they are in the tool's
  // log and bad file); 1 (failed) and 3 and above (fatal, not found, not
  // startable, killed) are a failed load.
  kLoad,
  // A script: anything but 0 is a failed load.
  kScript,
};
// The lines after a tool's line that leave the batch for kFailedLabel when
// the tool failed.
void addResultTest(Lines* lines, ToolResult result);
// DELS-SNAP or DELS-STATI for the three retention dates.
void addDeletes(Lines* lines);

// echo and 65 "+", the separator of the load logs.
std::string plusText();
// The banner of one load block: the plus line, BEGIN, the plus line, the
// block, the plus line, END, the plus line. The plus lines append to the log
// by its bare name unless told otherwise.
struct BannerForm {
  bool first_truncates = false;    // the first plus line starts the log anew
  bool second_in_bin_dir = false;  // the plus line after BEGIN names <BinDir>/<log>
};
void addBanner(Lines* lines, char table, const char* log_name, const Lines& block,
               const BannerForm& form);

// Tool lines.
std::string isqlLine(const std::string& script);                  // isql -U -P -S -i <script>
std::string isqlScriptLine(const char* script, const char* log);  // ... -e -o <log>
std::string oracleLoaderLine(const char* control_file, const char* log);
std::string sqlplusLine(const char* script);
std::string tesselLine(const std::string& database, const char* script, const char* log);
std::string corvaLine(const char* script, const char* log);
std::string mssqlBcpLine(char table, const std::string& data, bool append, const char* log);
std::string sybaseBcpLine(char table, const std::string& data, bool append, const char* log);

}  // namespace zmo::loader
