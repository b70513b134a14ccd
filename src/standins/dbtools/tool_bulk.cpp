// The MSSQL and Sybase tools: bcp and isql, the same forms for both kinds.
//
//   bcp r3klv..<table> in <data file> -e <error file> -c -t , -U<user> -P<password> -S<server>
//       (options in any order)
//   isql -U<user> -P<password> -S<server> -i <script> [-e] [-o <log>]
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tools.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kWarehouse = "r3klv";

// Options of the form -X<value> (attached) or -X <value> (separate) or a
// plain flag -X. Fills *opts; returns "" or why the arguments do not fit.
struct OptionForms {
  const char* attached;  // letters whose value is attached
  const char* separate;  // letters whose value is the next argument
  const char* flags;     // letters without a value
};

std::string ParseOptions(const std::vector<std::string>& args, size_t from,
                         const OptionForms& forms, std::map<char, std::string>* opts) {
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') return "unexpected argument " + a;
    char letter = a[1];
    std::string value;
    if (std::strchr(forms.attached, letter)) {
      value = a.substr(2);
      if (value.empty()) return "-" + std::string(1, letter) + " needs its value attached";
    } else if (std::strchr(forms.separate, letter) && a.size() == 2) {
      if (i + 1 >= args.size()) return a + " needs a value";
      value = args[++i];
    } else if (!std::strchr(forms.flags, letter) || a.size() != 2) {
      return "unknown option " + a;
    }
    if (!opts->emplace(letter, value).second) return a.substr(0, 2) + " given twice";
  }
  return "";
}

std::string MissingOf(const std::map<char, std::string>& opts, const char* required) {
  for (const char* r = required; *r; ++r) {
    if (!opts.count(*r)) return std::string("-") + *r + " is missing";
  }
  return "";
}

}  // namespace

int RunBcp(ToolRun* run) {
  const std::vector<std::string>& a = run->args;
  if (a.size() < 3 || a[1] != "in") {
    return Refuse(run, "the form is bcp r3klv..<table> in <data file> <options>");
  }
  size_t dots = a[0].find("..");
  if (dots == std::string::npos || a[0].substr(0, dots) != kWarehouse) {
    return Refuse(run, "the table " + a[0] + " is not r3klv..<table>");
  }
  std::string table = a[0].substr(dots + 2);
  size_t columns = StagingColumnCount(table);
  if (!columns) return Refuse(run, "no staging table " + table + " in " + kWarehouse);
  std::map<char, std::string> opts;
  std::string why = ParseOptions(a, 3, {"UPS", "et", "c"}, &opts);
  if (why.empty()) why = MissingOf(opts, "UPSetc");
  if (why.empty() && opts['t'] != ",") why = "the field terminator is -t ,";
  if (!why.empty()) return Refuse(run, why);
  if (!ReadableFile(a[2])) return Refuse(run, "cannot read the data file " + a[2]);
  Say(run,
      run->tool + ": copying " + a[2] + " into " + a[0] + " on " + opts['S'] + " as " + opts['U']);
  LoadDelimited(run, a[2], table, columns, false, opts['e']);
  return kToolOk;
}

int RunIsql(ToolRun* run) {
  std::map<char, std::string> opts;
  std::string why = ParseOptions(run->args, 0, {"UPS", "io", "e"}, &opts);
  if (why.empty()) why = MissingOf(opts, "UPSi");
  if (!why.empty()) return Refuse(run, why);
  std::vector<std::string> lines;
  if (ReadLines(opts['i'], &lines) != 0) {
    return Refuse(run, "cannot read the script " + opts['i'] + ": " + std::strerror(errno));
  }
  if (opts.count('o') && OpenReport(run, opts['o']) != 0) return kToolFailed;
  Say(run, run->tool + ": connected to " + opts['S'] + " as " + opts['U']);
  // A batch runs at its "go"; text after the last one is never sent.
  size_t batches = 0;
  bool pending = false;
  for (const std::string& line : lines) {
    if (opts.count('e')) Say(run, line);
    std::vector<std::string> w = Words(line);
    if (w.size() == 1 && Lower(w[0]) == "go") {
      batches += pending ? 1 : 0;
      pending = false;
    } else if (!w.empty()) {
      pending = true;
    }
  }
  if (pending) Reject(run, "the text after the last go in " + opts['i'] + " is not run");
  Say(run, run->tool + ": ran " + opts['i'] + ", " + std::to_string(batches) + " batches");
  return kToolOk;
}

}  // namespace zmo::dbtools
