// Pieces shared by the batch files and the load files: paths in BinDir,
// quoting, the snapshot groups, the common line groups of the batches and
// the command lines of the warehouse tools.
#pragma once

#include <cstddef>
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

// A staging table's data file, as the pipeline's contract names it: its
// letter, metric group, control file, loader log, bad and discard files and
// archive prefix.
using SnapGroup = zmo::PipelineFileRow;
// The file of a table letter s, c, d, l or v.
const SnapGroup& snapGroup(char table);

// The staging-table letters of files, in their order.
template <size_t N>
struct TableLetters {
  char letters[N + 1] = {};
  constexpr explicit TableLetters(const zmo::PipelineFile (&files)[N]) {
    for (size_t i = 0; i < N; ++i) letters[i] = zmo::pipelineFile(files[i]).table;
  }
};
// Loads, scripts and creates go cpu, disk, LAN, availability; archives cpu,
// LAN, disk, availability.
inline constexpr zmo::PipelineFile kLoadFiles[] = {
    zmo::PipelineFile::kSnapCpu, zmo::PipelineFile::kSnapDisk, zmo::PipelineFile::kSnapLan,
    zmo::PipelineFile::kSnapAvail};
inline constexpr zmo::PipelineFile kArchiveFiles[] = {
    zmo::PipelineFile::kSnapCpu, zmo::PipelineFile::kSnapLan, zmo::PipelineFile::kSnapDisk,
    zmo::PipelineFile::kSnapAvail};
// The Oracle loader logs are gathered availability, cpu, disk, LAN.
inline constexpr zmo::PipelineFile kOracleLogFiles[] = {
    zmo::PipelineFile::kSnapAvail, zmo::PipelineFile::kSnapCpu, zmo::PipelineFile::kSnapDisk,
    zmo::PipelineFile::kSnapLan};
inline constexpr TableLetters kLoadOrderLetters(kLoadFiles);
inline constexpr TableLetters kArchiveOrderLetters(kArchiveFiles);
inline constexpr TableLetters kOracleLogOrderLetters(kOracleLogFiles);
inline constexpr const char* kLoadOrder = kLoadOrderLetters.letters;
inline constexpr const char* kArchiveOrder = kArchiveOrderLetters.letters;
inline constexpr const char* kOracleLogOrder = kOracleLogOrderLetters.letters;
// The staging table and archive prefix of the statistics data.
inline constexpr char kStatiTable = zmo::pipelineFile(zmo::PipelineFile::kStati).table;
inline constexpr const char* kStatiArchivePrefix =
    zmo::pipelineFile(zmo::PipelineFile::kStati).archive_prefix;
// The staging tables of the run's program: kLoadOrder or the statistics one.
std::string runTables();
// True when the run makes the staging table and loads it: a snapshot
// group's switch is on; the statistics table when any statistics group or
// the count of active users wants the records.
bool tableOn(char table);
// The data file of a staging table: the snapshot file's hand-over name in
// BinDir, or the statistics file StatiOutPut.
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
std::string msg1500Line();    // "<zmomsg>" -P "SNAP" -T -N 1500 (SNAP's load end)
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

// The Oracle loader log of a table: its file's own, or the collection's load
// log for the statistics.
const char* oracleLoaderLog(char table);

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
