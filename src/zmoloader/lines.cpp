#include "lines.h"

#include <initializer_list>

#include "common/db_tools.h"
#include "common/line_values.h"
#include "common/metric_switches.h"
#include "common/pipeline.h"
#include "platform/files.h"
#include "zmoloader/archive.h"

namespace zmo::loader {

namespace {

// The bulk-copy error file of every bcp line: the statistics' bad file.
constexpr const char* kBcpErrorFile = zmo::pipelineFile(zmo::PipelineFile::kStati).bad_file;
constexpr int kPlusCount = 65;

const LoaderProgramInfo& Program() { return *loaderProgramInfo(loaderState().prog); }

std::string Join(std::initializer_list<std::string> elements) {
  std::string line;
  for (const std::string& e : elements) {
    if (!line.empty()) line += ' ';
    line += e;
  }
  return line;
}

std::string ZmomsgPath() {
  return quoteAlways(binPath(zmo::pipelineProgram(zmo::PipelineProgram::kMsg).executable));
}

// zmomsg's option letter as a batch line spells it.
std::string MsgOption(char letter) { return zmo::optionText(letter); }

std::string Redirect(bool append, const std::string& path) {
  return std::string(append ? ">> " : "> ") + lineArg(path);
}

// <user>/<password>@<data source>, the logon of the Oracle tools.
std::string OracleLogon() {
  const LoaderState& s = loaderState();
  return lineArg(s.user + "/" + s.password + "@" + s.dsn);
}

}  // namespace

std::string binPath(const std::string& name) { return zmo::JoinPath(loaderState().bin_dir, name); }

std::string tableName(char letter) { return std::string(1, letter) + loaderState().table_key; }

std::string quoteAlways(const std::string& text) { return zmo::doubleQuoted(text); }

std::string lineArg(const std::string& text) { return zmo::quotedWhenNeeded(text); }

const SnapGroup& snapGroup(char table) {
  const SnapGroup* g = zmo::pipelineFileOfTable(table);
  return g != nullptr ? *g : zmo::pipelineFile(zmo::PipelineFile::kSnapCpu);
}

std::string runTables() {
  return loaderState().prog == kProgramSnap ? kLoadOrder : std::string(1, kStatiTable);
}

bool tableOn(char table) {
  const zmo::MetricSwitches& s = loaderState().switches;
  if (table != kStatiTable) return s.group[snapGroup(table).group];
  return s.group[zmo::kGroupStati] || s.group[zmo::kGroupSla] || s.group[zmo::kGroupAppl] ||
         s.on[zmo::kSwStatiActiveUsers];
}

std::string dataPath(char table) {
  return table == kStatiTable ? loaderState().stati_output : binPath(snapGroup(table).hand_over);
}

void noteDataFiles() {
  LoaderState& s = loaderState();
  s.present.clear();
  for (char t : runTables()) {
    if (zmo::FileExists(dataPath(t).c_str())) s.present += t;
  }
}

bool dataPresent(char table) { return loaderState().present.find(table) != std::string::npos; }

bool tableLoaded(char table) { return tableOn(table) && dataPresent(table); }

std::string cdLine() { return "cd " + quoteAlways(loaderState().bin_dir); }

std::string titleLine() {
  return std::string("title Monitoring for Orvane Load/Aggregate ") +
         zmo::pipelineProgram(Program().collector).executable + " data";
}

std::string msgLine(int id) {
  return Join({ZmomsgPath(), MsgOption(zmo::kMsgOptionTab), MsgOption(zmo::kMsgOptionNumber),
               std::to_string(id), MsgOption(zmo::kMsgOptionProgram), Program().name()});
}

std::string msg1500Line() {
  const zmo::CollectionRow& snap = zmo::collectionRow(zmo::Collection::kSnap);
  return Join({ZmomsgPath(), MsgOption(zmo::kMsgOptionProgram), quoteAlways(snap.name()),
               MsgOption(zmo::kMsgOptionTab), MsgOption(zmo::kMsgOptionNumber),
               std::to_string(snap.msg_load_end)});
}

std::string endLine() {
  return Join({ZmomsgPath(), MsgOption(zmo::kMsgOptionNumber),
               std::to_string(zmo::kMsgCollectionEnded), MsgOption(zmo::kMsgOptionProgram),
               Program().name()});
}

void addMoves(Lines* lines) {
  const LoaderState& s = loaderState();
  const std::string order = s.prog == kProgramSnap ? kArchiveOrder : std::string(1, kStatiTable);
  std::vector<std::string> prefixes;
  for (char t : order) prefixes.push_back(snapGroup(t).archive_prefix);
  const std::string stamp = archiveStamp(prefixes);
  // Only the files that are there: the others were never loaded.
  for (char t : order) {
    if (!dataPresent(t)) continue;
    const std::string to = zmo::archiveFileName(snapGroup(t).archive_prefix, stamp);
    lines->push_back(
        Join({"move", quoteAlways(dataPath(t)), quoteAlways(zmo::JoinPath(s.archive_dir, to))}));
  }
}

void addResultTest(Lines* lines, ToolResult result) {
  const std::string go = std::string(" goto ") + kFailedLabel;
  if (result == ToolResult::kScript) {
    lines->push_back("if errorlevel 1" + go);
    return;
  }
  lines->push_back("if errorlevel 3" + go);
  lines->push_back("if errorlevel 1 if not errorlevel 2" + go);
}

void addDeletes(Lines* lines) {
  const LoaderState& s = loaderState();
  const std::string order = s.prog == kProgramSnap ? kArchiveOrder : std::string(1, kStatiTable);
  for (const std::string& date : retentionDates(s.archive_keep_days)) {
    for (char t : order) {
      const std::string pattern = zmo::archiveFileName(snapGroup(t).archive_prefix, date + "*");
      lines->push_back("del " + quoteAlways(zmo::JoinPath(s.archive_dir, pattern)));
    }
  }
}

const char* oracleLoaderLog(char table) {
  const char* own = snapGroup(table).loader_log;
  return own != nullptr ? own : Program().load_log;
}

std::string plusText() { return "echo " + std::string(kPlusCount, '+'); }

void addBanner(Lines* lines, char table, const char* log_name, const Lines& block,
               const BannerForm& form) {
  const std::string plus = plusText() + " >> " + log_name;
  const std::string log_path = lineArg(binPath(log_name));
  const std::string into = " Loading records into " + tableName(table) + " >> " + log_path;
  lines->push_back(form.first_truncates ? plusText() + " > " + log_name : plus);
  lines->push_back("echo BEGIN" + into);
  lines->push_back(form.second_in_bin_dir ? plusText() + " >> " + log_path : plus);
  lines->insert(lines->end(), block.begin(), block.end());
  lines->push_back(plus);
  lines->push_back("echo END" + into);
  lines->push_back(plus);
}

std::string isqlLine(const std::string& script) {
  const LoaderState& s = loaderState();
  return Join({zmo::dbToolName(zmo::kToolIsql), lineArg("-U" + s.user), lineArg("-P" + s.password),
               lineArg("-S" + s.dsn), "-i", lineArg(script)});
}

std::string isqlScriptLine(const char* script, const char* log) {
  return Join({isqlLine(binPath(script)), "-e -o", lineArg(binPath(log))});
}

std::string oracleLoaderLine(const char* control_file, const char* log) {
  int tool = zmo::kToolSqlldr;
  zmo::oracleLoaderTool(loaderState().oracle_version.c_str(), &tool);
  return Join({zmo::dbToolName(tool),
               lineArg("userid=" + loaderState().user + "/" + loaderState().password + "@" +
                       loaderState().dsn),
               lineArg("control=" + binPath(control_file)), lineArg("log=" + binPath(log)),
               "bindsize=262144"});
}

std::string sqlplusLine(const char* script) {
  return Join({zmo::dbToolName(zmo::kToolSqlplus), OracleLogon(), lineArg("@" + binPath(script))});
}

std::string tesselLine(const std::string& database, const char* script, const char* log) {
  const LoaderState& s = loaderState();
  return Join({zmo::dbToolName(zmo::kToolTesseledit300), "/s", lineArg(s.dsn), "/d",
               lineArg(database), "/u", lineArg(s.user), "/pw", lineArg(s.password),
               lineArg(binPath(script)), "/exec /ns /nomsg /output", lineArg(binPath(log)),
               "/exit"});
}

std::string corvaLine(const char* script, const char* log) {
  return Join({zmo::dbToolName(zmo::kToolCorva), "-tvf", quoteAlways(binPath(script)), ">",
               quoteAlways(binPath(log))});
}

std::string mssqlBcpLine(char table, const std::string& data, bool append, const char* log) {
  const LoaderState& s = loaderState();
  return Join({zmo::dbToolName(zmo::kToolBcp), "r3klv.." + tableName(table), "in", lineArg(data),
               "-e", lineArg(binPath(kBcpErrorFile)), "-c -t ,", lineArg("-U" + s.user),
               Redirect(append, binPath(log)), lineArg("-P" + s.password), lineArg("-S" + s.dsn)});
}

std::string sybaseBcpLine(char table, const std::string& data, bool append, const char* log) {
  const LoaderState& s = loaderState();
  return Join({zmo::dbToolName(zmo::kToolBcp), "r3klv.." + tableName(table), "in", lineArg(data),
               "-c", lineArg("-U" + s.user), lineArg("-P" + s.password), "-t , -e",
               lineArg(binPath(kBcpErrorFile)), Redirect(append, binPath(log)),
               lineArg("-S" + s.dsn)});
}

}  // namespace zmo::loader
