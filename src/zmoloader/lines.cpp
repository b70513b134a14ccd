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

bool snapGroupOn(char table) { return loaderState().switches.group[snapGroup(table).group]; }

bool statiDataOn() {
  const zmo::MetricSwitches& s = loaderState().switches;
  return s.group[zmo::kGroupStati] || s.group[zmo::kGroupSla] || s.group[zmo::kGroupAppl];
}

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
  std::string archive = s.archive_dir;
  if (s.prog == kProgramSnap) {
    std::vector<std::string> prefixes;
    for (const char* t = kArchiveOrder; *t; ++t) prefixes.push_back(snapGroup(*t).archive_prefix);
    std::string stamp = archiveStamp(prefixes);
    for (const char* t = kArchiveOrder; *t; ++t) {
      const SnapGroup& g = snapGroup(*t);
      std::string to = std::string(g.archive_prefix) + "_" + stamp + ".dat";
      lines->push_back(Join(
          {"move", quoteAlways(binPath(g.data_file)), quoteAlways(zmo::JoinPath(archive, to))}));
    }
    return;
  }
  std::string stamp = archiveStamp({kStatiArchivePrefix});
  std::string to = std::string(kStatiArchivePrefix) + "_" + stamp + ".dat";
  lines->push_back(
      Join({"move", quoteAlways(s.stati_output), quoteAlways(zmo::JoinPath(archive, to))}));
}

void addResultTest(Lines* lines, const char* label) {
  lines->push_back(std::string("if errorlevel 3 goto ") + label);
  lines->push_back(std::string("if errorlevel 1 if not errorlevel 2 goto ") + label);
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
