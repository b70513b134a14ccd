#include "lines.h"

#include <initializer_list>

#include "common/db_tools.h"
#include "common/line_values.h"
#include "common/metric_switches.h"
#include "platform/files.h"
#include "zmoloader/archive.h"

namespace zmo::loader {

namespace {

constexpr SnapGroup kSnapGroups[] = {
    {'c', zmo::kGroupSnapCpu, "zmosnap.cpu", "zmosnap_cpu.par", "trace_zmo_load_cpu.log",
     "trace_zmosnap_cpu", "cpu"},
    {'d', zmo::kGroupSnapDisk, "zmosnap.dsk", "zmosnap_dsk.par", "trace_zmo_load_disk.log",
     "trace_zmosnap_dsk", "dsk"},
    {'l', zmo::kGroupSnapLan, "zmosnap.lan", "zmosnap_lan.par", "trace_zmo_load_lan.log",
     "trace_zmosnap_lan", "lan"},
    {'v', zmo::kGroupSnapAvail, "zmoavai.dat", "zmosnap_avai.par", "trace_zmo_load_avai.log",
     "trace_zmosnap_avai", "avl"},
};

// The bulk-copy error file of every bcp line.
constexpr const char* kBcpErrorFile = "trace_zmo_out_put_daily.bad";
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

std::string ZmomsgPath() { return quoteAlways(binPath("zmomsg")); }

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
  for (const SnapGroup& g : kSnapGroups) {
    if (g.table == table) return g;
  }
  return kSnapGroups[0];
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
  return table == kStatiTable ? loaderState().stati_output : binPath(snapGroup(table).data_file);
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
  return std::string("title Monitoring for Orvane Load/Aggregate ") + Program().collector + " data";
}

std::string msgLine(int id) {
  return Join({ZmomsgPath(), "-T -N", std::to_string(id), "-P", Program().name});
}

std::string msg1500Line() { return ZmomsgPath() + " -P \"SNAP\" -T -N 1500"; }

std::string endLine() { return Join({ZmomsgPath(), "-N 1498 -P", Program().name}); }

void addMoves(Lines* lines) {
  const LoaderState& s = loaderState();
  const std::string order = s.prog == kProgramSnap ? kArchiveOrder : std::string(1, kStatiTable);
  auto prefix = [](char t) {
    return t == kStatiTable ? kStatiArchivePrefix : snapGroup(t).archive_prefix;
  };
  std::vector<std::string> prefixes;
  for (char t : order) prefixes.push_back(prefix(t));
  const std::string stamp = archiveStamp(prefixes);
  // Only the files that are there: the others were never loaded.
  for (char t : order) {
    if (!dataPresent(t)) continue;
    const std::string to = std::string(prefix(t)) + "_" + stamp + ".dat";
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
  for (const std::string& date : retentionDates(s.archive_keep_days)) {
    std::vector<std::string> prefixes;
    if (s.prog == kProgramSnap) {
      for (const char* t = kArchiveOrder; *t; ++t) prefixes.push_back(snapGroup(*t).archive_prefix);
    } else {
      prefixes.push_back(kStatiArchivePrefix);
    }
    for (const std::string& prefix : prefixes) {
      std::string pattern = prefix + "_" + date + "*.dat";
      lines->push_back("del " + quoteAlways(zmo::JoinPath(s.archive_dir, pattern)));
    }
  }
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
