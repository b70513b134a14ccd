// The Tessel SQL client.
//
//   tesseledit300 /s <source> /d <database> /u <user> /pw <password> <script>
//                 /exec /ns /nomsg /output <log> /exit
// (options in any order; the script is the one argument that is no option).
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tools.h"

namespace zmo::dbtools {

namespace {

constexpr const char* kValued[] = {"/s", "/d", "/u", "/pw", "/output"};
constexpr const char* kFlags[] = {"/exec", "/ns", "/nomsg", "/exit"};

bool InList(const std::string& a, const char* const* list, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (a == list[i]) return true;
  }
  return false;
}

// load from "<file>" delimiter "," insert into <table>
void RunStatement(ToolRun* run, TableColumns* created, const std::string& statement) {
  Say(run, statement);
  std::vector<std::string> w = Words(statement);
  std::string name;
  size_t columns = 0;
  if (Lower(w[0]) == "create" && ParseCreateTable(statement, &name, &columns)) {
    (*created)[name] = columns;
    return;
  }
  if (Lower(w[0]) != "load") return;  // other statements run without a check
  if (w.size() != 8 || Lower(w[1]) != "from" || Lower(w[3]) != "delimiter" || w[4] != "," ||
      Lower(w[5]) != "insert" || Lower(w[6]) != "into") {
    Reject(run, "load is: load from \"<file>\" delimiter \",\" insert into <table>");
    return;
  }
  LoadIntoTable(run, *created, w[2], w[7], false);
}

}  // namespace

int RunTessel(ToolRun* run) {
  std::map<std::string, std::string> opts;
  std::string script;
  const std::vector<std::string>& a = run->args;
  for (size_t i = 0; i < a.size(); ++i) {
    const std::string& opt = a[i];
    bool valued = InList(opt, kValued, std::size(kValued));
    if (!valued && !InList(opt, kFlags, std::size(kFlags))) {
      if (!script.empty()) return Refuse(run, "a second script " + opt);
      script = opt;
      continue;
    }
    std::string value;
    if (valued) {
      if (i + 1 >= a.size() || a[i + 1].empty()) return Refuse(run, opt + " needs a value");
      value = a[++i];
    }
    if (!opts.emplace(opt, value).second) return Refuse(run, opt + " given twice");
  }
  for (const char* k : kValued) {
    if (!opts.count(k)) return Refuse(run, std::string(k) + " is missing");
  }
  for (const char* k : kFlags) {
    if (!opts.count(k)) return Refuse(run, std::string(k) + " is missing");
  }
  if (script.empty()) return Refuse(run, "no script named");
  std::string text;
  if (zmo::ReadWholeFile(script, &text) != 0) {
    return Refuse(run, "cannot read the script " + script + ": " + std::strerror(errno));
  }
  if (OpenReport(run, opts["/output"]) != 0) return kToolFailed;
  Say(run, run->tool + ": connected to " + opts["/s"] + ", database " + opts["/d"] + ", as " +
               opts["/u"]);
  std::string tail;
  TableColumns created;
  std::vector<std::string> statements = SplitStatements(text, &tail);
  // The last statement may go without its ";".
  if (!tail.empty()) statements.push_back(tail);
  for (const std::string& s : statements) RunStatement(run, &created, s);
  return kToolOk;
}

}  // namespace zmo::dbtools
