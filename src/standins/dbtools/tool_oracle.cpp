// The Oracle tools: the loaders sqlldr73, sqlldr80 and sqlldr, and sqlplus.
//
//   sqlldr<ver> userid=<user>/<password>@<source> control=<par> log=<log> bindsize=<n>
//   sqlplus <user>/<password>@<source> @<script>
//
// With a data source that names a PostgreSQL warehouse they do the work
// there (warehouse.h); with any other they check and count.
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "control_file.h"
#include "platform/files.h"
#include "tools.h"
#include "warehouse.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kLoaderKeys[] = {"userid", "control", "log", "bindsize"};

}  // namespace

int RunSqlldr(ToolRun* run) {
  std::map<std::string, std::string> opts;
  for (const std::string& a : run->args) {
    size_t eq = a.find('=');
    std::string key = a.substr(0, eq);
    bool known = false;
    for (const char* k : kLoaderKeys) known = known || key == k;
    if (eq == std::string::npos || !known) {
      return Refuse(
          run, "unexpected argument " + a + " (userid=, control=, log= and bindsize= are taken)");
    }
    if (!opts.emplace(key, a.substr(eq + 1)).second) return Refuse(run, key + "= given twice");
  }
  for (const char* k : kLoaderKeys) {
    if (!opts.count(k) || opts[k].empty()) return Refuse(run, std::string(k) + "= is missing");
  }
  Logon logon;
  if (!ParseLogon(opts["userid"], &logon)) {
    return Refuse(run, "userid is <user>/<password>@<data source>");
  }
  if (!AllDigits(opts["bindsize"])) return Refuse(run, "bindsize is a number of bytes");
  if (OpenReport(run, opts["log"]) != 0) return kToolFailed;
  bool warehouse = IsWarehouseSource(logon.source);
  WarehouseSource source;
  std::string why;
  if (warehouse && ParseWarehouseSource(logon.source, &source, &why) != 0) {
    return Refuse(run, why);
  }
  if (!warehouse) Say(run, run->tool + ": connected to " + logon.source + " as " + logon.user);
  const std::string& control_path = opts["control"];
  std::vector<std::string> lines;
  if (ReadLines(control_path, &lines) != 0) {
    return Refuse(run,
                  "cannot read the control file " + control_path + ": " + std::strerror(errno));
  }
  ControlFile control;
  std::string error;
  if (ParseControlFile(lines, &control, &error) != 0) {
    return Refuse(run, "control file " + control_path + ", " + error);
  }
  Say(run, run->tool + ": control file " + control_path + ", table " + control.table + ", " +
               std::to_string(control.fields.size()) + " fields in " +
               std::to_string(RecordLength(control)) + " columns");
  RecordReader reader;
  if (reader.Open(control.infile) != 0) {
    return Refuse(run, "cannot read the data file " + control.infile + ": " + std::strerror(errno));
  }
  if (warehouse) return LoadIntoWarehouse(run, logon, source, control, &reader);
  std::string bad;
  size_t count = 0, rejected = 0;
  std::vector<std::string_view> records;
  for (;;) {
    if (reader.Next(kChunkRecords, &records) != 0) {
      return Refuse(run,
                    "cannot read the data file " + control.infile + ": " + std::strerror(errno));
    }
    if (records.empty()) break;
    for (std::string_view record : records) {
      ++count;
      std::string why = RecordMismatch(control, record);
      if (why.empty()) continue;
      ++rejected;
      bad.append(record).append("\r\n");
      Reject(run,
             "record " + std::to_string(count) + " of " + control.infile + " rejected: " + why);
    }
  }
  if (rejected) WriteRejectedRows(run, control.badfile, bad);
  Say(run, run->tool + ": " + std::to_string(count - rejected) + " rows loaded into " +
               control.table + ", " + std::to_string(rejected) + " rejected");
  return kToolOk;
}

int RunSqlplus(ToolRun* run) {
  const char* form = "the form is sqlplus <user>/<password>@<data source> @<script>";
  Logon logon;
  if (run->args.size() != 2 || !ParseLogon(run->args[0], &logon)) return Refuse(run, form);
  if (run->args[1].size() < 2 || run->args[1][0] != '@') return Refuse(run, form);
  std::string script = run->args[1].substr(1);
  std::string text;
  if (zmo::ReadWholeFile(script, &text) != 0) {
    return Refuse(run, "cannot read the script " + script + ": " + std::strerror(errno));
  }
  if (IsWarehouseSource(logon.source)) {
    WarehouseSource source;
    std::string why;
    if (ParseWarehouseSource(logon.source, &source, &why) != 0) return Refuse(run, why);
    return RunScriptInWarehouse(run, logon, source, script);
  }
  std::string tail;
  size_t statements = SplitStatements(text, &tail).size();
  Say(run, run->tool + ": connected to " + logon.source + " as " + logon.user);
  Say(run, run->tool + ": ran " + script + ", " + std::to_string(statements) + " statements");
  return kToolOk;
}

}  // namespace zmo::dbtools
