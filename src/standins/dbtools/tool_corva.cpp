// The Corva tools: the command window corvacmd, which runs a batch file,
// and the SQL client corva, which runs a script of ";"-ended statements.
//
//   corvacmd <batch file>
//   corva -tvf <script>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/batch.h"
#include "platform/files.h"
#include "platform/window_titles.h"
#include "tools.h"

namespace zmo::dbtools {

namespace {

struct CorvaSession {
  bool connected = false;
  TableColumns created;
};

// "attach to <x> user <u> using <p>" and "connect to <x> user <u> using <p>".
bool LogonStatement(const std::vector<std::string>& w) {
  return w.size() == 7 && Lower(w[1]) == "to" && Lower(w[3]) == "user" && Lower(w[5]) == "using";
}

void RunStatement(ToolRun* run, CorvaSession* session, const std::string& statement) {
  Say(run, statement);  // -v: every statement is echoed
  std::vector<std::string> w = Words(statement);
  std::string head = Lower(w[0]);
  if (head == "echo") {
    size_t at = statement.find_first_of(" \t\r\n");
    Say(run, at == std::string::npos ? "" : statement.substr(at + 1));
    return;
  }
  if (head == "attach" || head == "connect") {
    if (!LogonStatement(w)) {
      Reject(run, head + " is: " + head + " to <name> user <user> using <password>");
    } else if (head == "connect") {
      session->connected = true;
    }
    return;
  }
  if (head == "terminate") {
    session->connected = false;
    return;
  }
  if (!session->connected) {
    Reject(run, "no database connection for: " + statement);
    return;
  }
  std::string name;
  size_t columns = 0;
  if (head == "create" && w.size() > 1 && Lower(w[1]) == "table") {
    if (!ParseCreateTable(statement, &name, &columns)) {
      Reject(run, "cannot read the create table statement");
      return;
    }
    session->created[name] = columns;
    return;
  }
  if (head != "import") return;  // other statements run without a check
  // import from <file> of del insert into <table>
  if (w.size() != 8 || Lower(w[1]) != "from" || Lower(w[3]) != "of" || Lower(w[4]) != "del" ||
      Lower(w[5]) != "insert" || Lower(w[6]) != "into") {
    Reject(run, "import is: import from <file> of del insert into <table>");
    return;
  }
  LoadIntoTable(run, session->created, w[2], w[7], true);
}

}  // namespace

int RunCorvacmd(ToolRun* run) {
  if (run->args.size() != 1) return Refuse(run, "the form is corvacmd <batch file>");
  // The command window is a console window of its own.
  SetWindowTitle(getpid(), ProgramPath());
  int code = 0;
  int rc = RunBatchFile(run->args[0], &code);
  int saved = errno;
  RemoveWindow(getpid());
  if (rc != 0) {
    return Refuse(run, "cannot read the batch file " + run->args[0] + ": " + std::strerror(saved));
  }
  return code;
}

int RunCorva(ToolRun* run) {
  if (run->args.size() != 2 || run->args[0] != "-tvf") {
    return Refuse(run, "the form is corva -tvf <script>");
  }
  const std::string& script = run->args[1];
  std::string text;
  if (zmo::ReadWholeFile(script, &text) != 0) {
    return Refuse(run, "cannot read the script " + script + ": " + std::strerror(errno));
  }
  std::string tail;
  CorvaSession session;
  for (const std::string& s : SplitStatements(text, &tail)) RunStatement(run, &session, s);
  if (!tail.empty()) Reject(run, "the last statement has no ; and is not run: " + tail);
  return kToolOk;
}

}  // namespace zmo::dbtools
