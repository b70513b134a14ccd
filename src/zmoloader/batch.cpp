// The batch files, from one table of steps per kind and program. A step is a
// line or a group of lines; the rows marked aggregate are written with -a
// only.
//
// A step writes only what the run has: the loads of the tables that are on
// and whose data file is there, the staging tables when any is on, the
// aggregation when a data file is there. A run without any data file only
// closes the run: its end line and the archive deletes. Every tool line that
// loads or aggregates is followed by the test of its exit code, which sends
// a failed load to the lines after the batch's Exit.
#include "zmoloader/batch.h"

#include <cstdio>
#include <iterator>

#include "common/data_files.h"
#include "common/db_kind.h"
#include "common/db_tools.h"
#include "common/pipeline.h"
#include "lines.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/load_check.h"
#include "zmoloader/load_files.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

enum Step {
  kCd,
  kTitle,
  kCorvaWindow,  // corvacmd with the second batch file
  kBulkOn,       // isql with <BinDir>/BulkOn.sql
  kBulkOnHere,   // isql with BulkOn.sql in the current directory
  kBulkOff,
  kStage,        // the staging tables' script
  kLoad,         // the kind's load lines
  kLoadEnd,      // MSG(1500 or 1495)
  kLoadEnd1500,  // MSG1500, the other form of the SNAP load-end line
  kAggStart,     // MSG(1501 or 1496), then the aggregation script is written
  kAggRun,       // the kind's aggregation line
  kSettle,       // what the committed aggregation settles: group date, renames
  kAggEnd,       // MSG(1502 or 1497)
  kMoves,
  kEnd,  // END(prog)
  kDeletes,
  kOracleLogs,   // the loader logs gathered into the load log, then deleted
  kLoadCheck,    // is the data file marked loaded in the warehouse already?
  kLoadedLabel,  // where a file marked loaded goes: its archive move
  kExit,
};

struct StepRow {
  Step step;
  bool aggregate;  // written with -a only
};

struct Plan {
  zmo::DbKind kind;
  int prog;
  const StepRow* rows;
  size_t count;
};

// Row marks: A written with -a only, _ always.
constexpr bool A = true;
constexpr bool _ = false;

constexpr StepRow kCorvaFirst[] = {{kCd, _}, {kTitle, _}, {kCorvaWindow, _}, {kExit, _}};

constexpr StepRow kCorvaSnap[] = {
    {kCd, _},     {kLoad, _},  {kLoadEnd, _}, {kAggStart, A}, {kAggRun, A}, {kSettle, A},
    {kAggEnd, A}, {kMoves, _}, {kEnd, _},     {kDeletes, _},  {kExit, _},
};
constexpr StepRow kCorvaStati[] = {
    {kCd, _},     {kLoad, _},   {kLoadEnd, _}, {kAggStart, A}, {kCd, A},      {kAggRun, A},
    {kSettle, A}, {kAggEnd, A}, {kMoves, _},   {kEnd, _},      {kDeletes, _}, {kExit, _},
};
constexpr StepRow kTesselSnap[] = {
    {kCd, _},     {kTitle, _},  {kLoad, _},  {kLoadEnd1500, _}, {kAggStart, A}, {kAggRun, A},
    {kSettle, A}, {kAggEnd, A}, {kMoves, _}, {kEnd, _},         {kDeletes, _},  {kExit, _},
};
constexpr StepRow kTesselStati[] = {
    {kCd, _},     {kTitle, _},  {kLoad, _},  {kLoadEnd, _}, {kAggStart, A}, {kAggRun, A},
    {kSettle, A}, {kAggEnd, A}, {kMoves, _}, {kEnd, _},     {kDeletes, _},  {kExit, _},
};
constexpr StepRow kMssqlSnap[] = {
    {kCd, _},          {kBulkOn, _},   {kStage, _},  {kLoad, _},   {kBulkOff, _},
    {kLoadEnd1500, _}, {kAggStart, A}, {kAggRun, A}, {kSettle, A}, {kAggEnd, A},
    {kMoves, _},       {kDeletes, _},  {kEnd, _},    {kExit, _},
};
constexpr StepRow kMssqlStati[] = {
    {kCd, _},      {kBulkOn, _},   {kStage, _},   {kLoad, _},   {kBulkOff, _},
    {kLoadEnd, _}, {kAggStart, A}, {kAggRun, A},  {kSettle, A}, {kAggEnd, A},
    {kMoves, _},   {kEnd, _},      {kDeletes, _}, {kExit, _},
};
constexpr StepRow kOracleSnap[] = {
    {kTitle, _},       {kCd, _},    {kLoadCheck, A}, {kStage, _},  {kLoad, _},   {kLoadEnd1500, _},
    {kOracleLogs, _},  {kCd, A},    {kAggStart, A},  {kAggRun, A}, {kSettle, A}, {kAggEnd, A},
    {kLoadedLabel, A}, {kMoves, _}, {kDeletes, _},   {kEnd, _},    {kExit, _},
};
constexpr StepRow kOracleStati[] = {
    {kTitle, _},    {kCd, _},  {kLoadCheck, A}, {kStage, _},  {kLoad, _},   {kLoadEnd, _},
    {kAggStart, A}, {kCd, A},  {kAggRun, A},    {kSettle, A}, {kAggEnd, A}, {kLoadedLabel, A},
    {kMoves, _},    {kEnd, _}, {kDeletes, _},   {kExit, _},
};
constexpr StepRow kSybaseSnap[] = {
    {kCd, _},       {kBulkOnHere, _}, {kStage, _},   {kLoad, _},   {kLoadEnd1500, _},
    {kAggStart, A}, {kAggRun, A},     {kSettle, A},  {kAggEnd, A}, {kMoves, _},
    {kEnd, _},      {kDeletes, _},    {kBulkOff, _}, {kExit, _},
};
constexpr StepRow kSybaseStati[] = {
    {kCd, _},       {kBulkOnHere, _}, {kStage, _},   {kLoad, _},   {kLoadEnd, _},
    {kAggStart, A}, {kAggRun, A},     {kSettle, A},  {kAggEnd, A}, {kMoves, _},
    {kEnd, _},      {kDeletes, _},    {kBulkOff, _}, {kExit, _},
};

template <size_t N>
constexpr Plan P(zmo::DbKind kind, int prog, const StepRow (&rows)[N]) {
  return {kind, prog, rows, N};
}

// The batch that runs the tools, of every kind and program; for the Corva
// kind it is the second batch, which the Corva command window runs.
constexpr Plan kPlans[] = {
    P(zmo::DbKind::kCorva, kProgramSnap, kCorvaSnap),
    P(zmo::DbKind::kCorva, kProgramStati, kCorvaStati),
    P(zmo::DbKind::kTessel, kProgramSnap, kTesselSnap),
    P(zmo::DbKind::kTessel, kProgramStati, kTesselStati),
    P(zmo::DbKind::kMssql, kProgramSnap, kMssqlSnap),
    P(zmo::DbKind::kMssql, kProgramStati, kMssqlStati),
    P(zmo::DbKind::kOracle, kProgramSnap, kOracleSnap),
    P(zmo::DbKind::kOracle, kProgramStati, kOracleStati),
    P(zmo::DbKind::kSybase, kProgramSnap, kSybaseSnap),
    P(zmo::DbKind::kSybase, kProgramStati, kSybaseStati),
};

// The steps a run without any data file writes: it only closes the run.
bool ClosingStep(Step step) {
  return step == kCd || step == kTitle || step == kCorvaWindow || step == kEnd ||
         step == kDeletes || step == kExit;
}

const LoaderProgramInfo& Program() { return *loaderProgramInfo(loaderState().prog); }
bool Snap() { return loaderState().prog == kProgramSnap; }

// What the batch being built has written so far, for the lines a failure
// goes to.
struct Build {
  bool tested = false;   // a test goes to kFailedLabel
  bool checked = false;  // a load check goes to kLoadedLabel
  bool bulk_on = false;  // the database is in bulk-copy mode
  bool staged = false;   // the staging tables are made
};

constexpr const char* kLoadedLabel_ = "zmoloaded";

void AddTest(Lines* lines, Build* b, ToolResult result) {
  b->tested = true;
  addResultTest(lines, result);
}

// The check that the data files are not marked loaded in the warehouse: the
// code it ends with when a mark is there goes to the archive moves, any
// other code but 0 is a failed load. Its script and the marks' inserts into
// the aggregation carry the files' tags; without a file that has a tag
// there is no check.
void AddLoadCheck(Lines* lines, Build* b) {
  LoaderState& s = loaderState();
  std::vector<std::string> paths;
  for (char t : s.present) paths.push_back(dataPath(t));
  s.load_tags = loadTags(paths);
  if (s.load_tags.empty()) return;
  if (writeLoadCheckScript(s.load_tags) != 0) {
    s.load_tags.clear();
    return;
  }
  const std::string loaded = std::to_string(kLoadCheckLoaded);
  lines->push_back(sqlplusLine(loadCheckScript()));
  lines->push_back("if errorlevel " + std::to_string(kLoadCheckLoaded + 1) + " goto " +
                   kFailedLabel);
  lines->push_back("if errorlevel " + loaded + " goto " + kLoadedLabel_);
  lines->push_back(std::string("if errorlevel 1 goto ") + kFailedLabel);
  b->tested = true;
  b->checked = true;
}

// After the batch's Exit: where a failed tool sends it. The run's staging
// tables are dropped and the database leaves bulk-copy mode, the summary
// log is told, and the batch ends with 1, so that nothing counts as loaded
// that was not. The data files are still under their load names: every
// plan archives after its last tested tool.
void AddFailureLines(Lines* lines, const Build& b, zmo::DbKind kind) {
  if (!b.tested) return;
  lines->push_back(std::string(":") + kFailedLabel);
  if (b.staged) {
    const char* drop = Program().drop_script;
    lines->push_back(kind == zmo::DbKind::kOracle ? sqlplusLine(drop) : isqlLine(binPath(drop)));
  }
  if (b.bulk_on) lines->push_back(isqlLine(binPath("BulkOff.sql")));
  lines->push_back(msgLine(Program().msg_load_failed));
  lines->push_back("Exit 1");
}

void AddBcpLoads(Lines* lines, zmo::DbKind kind, Build* b) {
  const char* log = Program().load_log;
  bool first = true;
  for (char t : runTables()) {
    if (!tableLoaded(t)) continue;
    // The first load starts the load log anew, the others append to it.
    std::string bcp = kind == zmo::DbKind::kMssql ? mssqlBcpLine(t, dataPath(t), !first, log)
                                                  : sybaseBcpLine(t, dataPath(t), !first, log);
    first = false;
    Lines block{bcp};
    AddTest(&block, b, ToolResult::kLoad);
    if (!Snap()) {
      lines->insert(lines->end(), block.begin(), block.end());
      continue;
    }
    BannerForm form;
    form.second_in_bin_dir = kind == zmo::DbKind::kSybase && t == 'd';
    addBanner(lines, t, log, block, form);
  }
}

// True when the kind's load script has something to do: a table to make.
bool LoadScriptRuns() { return stagingTablesMade(); }

void AddLoad(Lines* lines, zmo::DbKind kind, Build* b) {
  const LoaderProgramInfo& p = Program();
  switch (kind) {
    case zmo::DbKind::kCorva:
      if (!LoadScriptRuns()) return;
      lines->push_back(corvaLine(p.load_sql, p.load_log));
      AddTest(lines, b, ToolResult::kLoad);
      return;
    case zmo::DbKind::kTessel:
      if (!LoadScriptRuns()) return;
      lines->push_back(tesselLine("r3klv", p.load_sql, p.load_log));
      AddTest(lines, b, ToolResult::kLoad);
      return;
    case zmo::DbKind::kOracle:
      // A loader line for each table that is loaded; its control file is
      // written when the table is on.
      for (char t : runTables()) {
        if (!tableLoaded(t)) continue;
        lines->push_back(oracleLoaderLine(snapGroup(t).control_file, oracleLoaderLog(t)));
        AddTest(lines, b, ToolResult::kLoad);
      }
      return;
    default:
      AddBcpLoads(lines, kind, b);
      return;
  }
}

void AddAggRun(Lines* lines, zmo::DbKind kind, Build* b) {
  const LoaderProgramInfo& p = Program();
  const LoaderState& s = loaderState();
  switch (kind) {
    case zmo::DbKind::kCorva:
      lines->push_back(corvaLine(p.agg_script, p.agg_log));
      break;
    case zmo::DbKind::kTessel:
      lines->push_back(tesselLine(s.dsn, p.agg_script, p.agg_log));
      break;
    case zmo::DbKind::kOracle:
      lines->push_back(sqlplusLine(p.agg_script));
      break;
    default:
      lines->push_back(isqlScriptLine(p.agg_script, p.agg_log));
      break;
  }
  AddTest(lines, b, ToolResult::kScript);
}

void AddStage(Lines* lines, zmo::DbKind kind, Build* b) {
  if (!stagingTablesMade()) return;
  const LoaderProgramInfo& p = Program();
  if (kind == zmo::DbKind::kOracle) {
    lines->push_back(sqlplusLine(p.stage_script));
  } else {
    lines->push_back(isqlScriptLine(p.stage_script, p.stage_log));
  }
  AddTest(lines, b, ToolResult::kScript);
  b->staged = true;
}

void AddOracleLogs(Lines* lines) {
  const char* log = Program().load_log;
  bool first = true;
  for (const char* t = kOracleLogOrder; *t; ++t) {
    if (!tableLoaded(*t)) continue;
    const SnapGroup& g = snapGroup(*t);
    std::string type = "type " + lineArg(binPath(g.loader_log)) + " >> " + lineArg(binPath(log));
    BannerForm form;
    form.first_truncates = first;
    first = false;
    addBanner(lines, *t, log, {type}, form);
  }
  for (const char* t = kOracleLogOrder; *t; ++t) {
    if (tableLoaded(*t)) {
      lines->push_back("del " + quoteAlways(binPath(snapGroup(*t).loader_log)));
    }
  }
}

// Writes the aggregation script where its line goes. A script that could not
// be written is traced; the batch still runs its line, whose tool then logs
// the missing file and fails, so nothing is reported as done that was not.
void WriteAggregateScript() {
  const LoaderState& s = loaderState();
  const LoaderProgramInfo& p = Program();
  std::string path = binPath(p.agg_script);
  // A script left by an earlier run must not run in place of this one's.
  std::remove(path.c_str());
  int rc = Snap() ? writeSnapAggregateSql(s.kind) : writeStatiAggregateSql(s.kind);
  if (rc != 0) {
    loaderLog("ERROR - ERROR: Aggregation script <%s> not written, result <%i>\n", path.c_str(),
              rc);
  }
}

// Once the aggregation has committed: the group file's time text that it
// built r3_tcode_group from becomes CustomGroupDate, and the rename file it
// applied goes. A failed aggregation never gets here, so the next run builds
// and renames again.
void AddSettle(Lines* lines) {
  const LoaderState& s = loaderState();
  if (s.store_group_date) {
    lines->push_back(
        quoteAlways(binPath(zmo::pipelineProgram(zmo::PipelineProgram::kSetval).executable)) +
        " -k " + quoteAlways(zmo::cfg::kConfigKey) + " -n " + zmo::cfg::kCustomGroupDate + " -v " +
        quoteAlways(s.group_date));
  }
  if (s.delete_renames) lines->push_back("del " + quoteAlways(binPath(zmo::kGroupRenameFile)));
}

void AddStep(Lines* lines, Step step, zmo::DbKind kind, Build* b) {
  const LoaderProgramInfo& p = Program();
  switch (step) {
    case kCd:
      lines->push_back(cdLine());
      return;
    case kTitle:
      lines->push_back(titleLine());
      return;
    case kCorvaWindow:
      lines->push_back(std::string(zmo::dbToolName(zmo::kToolCorvacmd)) + " " +
                       lineArg(binPath(p.second_bat)));
      return;
    case kBulkOn:
    case kBulkOnHere:
      lines->push_back(isqlLine(step == kBulkOn ? binPath("BulkOn.sql") : "BulkOn.sql"));
      AddTest(lines, b, ToolResult::kScript);
      b->bulk_on = true;
      return;
    case kBulkOff:
      lines->push_back(isqlLine(binPath("BulkOff.sql")));
      return;
    case kStage:
      AddStage(lines, kind, b);
      return;
    case kLoad:
      AddLoad(lines, kind, b);
      return;
    case kLoadEnd:
      lines->push_back(msgLine(p.msg_load_end));
      return;
    case kLoadEnd1500:
      lines->push_back(msg1500Line());
      return;
    case kAggStart:
      lines->push_back(msgLine(p.msg_agg_start));
      WriteAggregateScript();
      return;
    case kAggRun:
      AddAggRun(lines, kind, b);
      return;
    case kSettle:
      AddSettle(lines);
      return;
    case kAggEnd:
      lines->push_back(msgLine(p.msg_agg_end));
      return;
    case kMoves:
      addMoves(lines);
      return;
    case kEnd:
      lines->push_back(endLine());
      return;
    case kDeletes:
      addDeletes(lines);
      return;
    case kOracleLogs:
      AddOracleLogs(lines);
      return;
    case kLoadCheck:
      AddLoadCheck(lines, b);
      return;
    case kLoadedLabel:
      if (b->checked) lines->push_back(std::string(":") + kLoadedLabel_);
      return;
    case kExit:
      lines->push_back(kExitLine);
      AddFailureLines(lines, *b, kind);
      return;
  }
}

void AddSteps(Lines* lines, const StepRow* rows, size_t count) {
  const LoaderState& s = loaderState();
  const bool closing_only = s.present.empty();
  Build b;
  for (size_t i = 0; i < count; ++i) {
    if (rows[i].aggregate && !s.aggregate) continue;
    if (closing_only && (rows[i].aggregate || !ClosingStep(rows[i].step))) continue;
    AddStep(lines, rows[i].step, s.kind, &b);
  }
}

// The kind's own files besides the batch files.
int WriteLoadFiles() {
  const LoaderState& s = loaderState();
  int rc = 0;
  switch (s.kind) {
    case zmo::DbKind::kCorva:
      return writeCorvaLoadScript();
    case zmo::DbKind::kTessel:
      return writeTesselLoadScript();
    case zmo::DbKind::kOracle:
      rc = Snap() ? writeSnapLoadControls() : writeStatiLoadControl();
      break;
    default:
      rc = writeBulkOnSql(s.kind);
      if (rc == 0) rc = writeBulkOffSql(s.kind);
      break;
  }
  if (rc == 0) rc = writeStagingScript();
  return rc != 0 ? rc : writeDropScript();
}

}  // namespace

int buildLoadBatch(Lines* lines) {
  const LoaderState& s = loaderState();
  for (const Plan& plan : kPlans) {
    if (plan.kind == s.kind && plan.prog == s.prog) {
      AddSteps(lines, plan.rows, plan.count);
      return 0;
    }
  }
  return kLoaderExitError;
}

int buildFirstBatch(Lines* lines) {
  if (loaderState().kind != zmo::DbKind::kCorva) return buildLoadBatch(lines);
  AddSteps(lines, kCorvaFirst, std::size(kCorvaFirst));
  return 0;
}

int writeKindFiles() {
  const LoaderProgramInfo& p = Program();
  noteDataFiles();
  int rc = WriteLoadFiles();
  if (rc != 0) return rc;
  if (loaderState().kind == zmo::DbKind::kCorva) {
    Lines second;
    rc = buildLoadBatch(&second);
    if (rc == 0) rc = writeLoaderFile(binPath(p.second_bat), second);
    if (rc != 0) return rc;
  }
  Lines first;
  rc = buildFirstBatch(&first);
  return rc != 0 ? rc : writeLoaderFile(binPath(p.first_bat), first);
}

}  // namespace zmo::loader
