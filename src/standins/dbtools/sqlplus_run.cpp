// sqlplus on a PostgreSQL warehouse: the client's own commands are done
// here, every SQL statement goes to the server as the script has it.
//
//   spool <file> [create|replace|append], spool off   a copy of the output
//   set echo on|off, set feedback on|off              other settings are taken and have no effect
//   prompt <text>, rem <text>
//   @<file>, start <file>                             a script from the current directory
//   @@<file>                                          a script beside the running one
//   /                                                 the last statement again
//   exit|quit [success|failure|warning|<n>] [commit|rollback]
//   whenever sqlerror exit [success|failure|warning|<n>] [commit|rollback]
//   whenever sqlerror continue
//   define <name> = <value>, column <column> new_value <name> [noprint]
//   &<name>, &&<name>                                 the value of a defined name, in
//                                                     any line while set define is on
//
// The work is one transaction at a time, as the client's: a COMMIT in the
// script ends it, EXIT commits (unless told to roll back), and so does the
// end of the script. A failed statement is undone alone and reported, and
// the script goes on.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "sqlplus_script.h"
#include "warehouse.h"

namespace zmo::dbtools {

namespace {

// Scripts calling scripts: deep enough for any real use, and a script that
// calls itself ends instead of running until the stack is gone.
constexpr int kMaxDepth = 20;

// The state of one sqlplus run.
struct SqlplusRun {
  ToolRun* run = nullptr;
  PgSession session;
  int spool_fd = -1;
  std::string spool_path;
  bool echo = false;
  bool feedback = true;
  std::string buffer;  // the last statement, for "/"
  bool failed = false;
  bool exited = false;
  int exit_code = kToolOk;
  int depth = 0;
  // "whenever sqlerror exit ...": the EXIT words a failed statement runs;
  // empty: the script goes on (continue).
  std::string on_sql_error;
  // Substitution: the defined names (lower case) and their values, and the
  // query columns (lower case) whose last value a name takes.
  bool define = true;
  std::map<std::string, std::string> defines;
  std::map<std::string, std::string> new_values;
};

void Exit(SqlplusRun* s, const std::string& rest, const std::string& where);

// A line of output, and its copy in the spool file.
void Out(SqlplusRun* s, const std::string& line) {
  Say(s->run, line);
  if (s->spool_fd < 0) return;
  std::string data = line + "\r\n";
  if (write(s->spool_fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
    int fd = s->spool_fd;
    s->spool_fd = -1;  // no copy of the message into the file that failed
    close(fd);
    Out(s, "cannot write the spool file " + s->spool_path + ": " + std::strerror(errno));
    s->failed = true;
  }
}

void Fail(SqlplusRun* s, const std::string& where, const std::string& why) {
  Out(s, "ERROR at " + where + ": " + why);
  s->failed = true;
}

std::string Where(const std::string& script, const ScriptItem& item) {
  return "line " + std::to_string(item.line) + " of " + script;
}

void Echo(SqlplusRun* s, const ScriptItem& item) {
  if (!s->echo) return;
  for (size_t i = 0; i < item.lines.size(); ++i) {
    char number[32];
    std::snprintf(number, sizeof(number), "%3zu  ", i + 1);
    Out(s, (i == 0 ? std::string("SQL> ") : std::string(number)) + item.lines[i]);
  }
}

std::string Capitalized(std::string word) {
  word = Lower(word);
  if (!word.empty()) word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
  return word;
}

// What the client says after a statement, from the server's command tag.
std::string Feedback(const std::string& tag) {
  std::vector<std::string> w = Words(tag);
  if (w.empty()) return "";
  const std::string& verb = w[0];
  const struct {
    const char* verb;
    const char* done;
  } kRows[] = {{"INSERT", "created"},
               {"UPDATE", "updated"},
               {"DELETE", "deleted"},
               {"SELECT", "selected"},
               {"MERGE", "merged"}};
  for (const auto& r : kRows) {
    if (verb != r.verb || !AllDigits(w.back())) continue;
    const std::string& n = w.back();
    if (verb == "SELECT" && n == "0") return "no rows selected";
    return n + (n == "1" ? " row " : " rows ") + r.done + ".";
  }
  if (verb == "COMMIT") return "Commit complete.";
  if (verb == "ROLLBACK") return "Rollback complete.";
  const struct {
    const char* verb;
    const char* done;
  } kObjects[] = {
      {"CREATE", "created"}, {"DROP", "dropped"}, {"ALTER", "altered"}, {"TRUNCATE", "truncated"}};
  for (const auto& o : kObjects) {
    if (verb != o.verb || w.size() < 2) continue;
    std::string object;
    for (size_t i = 1; i < w.size(); ++i) object += (i > 1 ? " " : "") + Lower(w[i]);
    return Capitalized(object) + " " + o.done + ".";
  }
  return Capitalized(tag) + " done.";
}

// A query's rows, in columns as wide as their widest value.
void PrintRows(SqlplusRun* s, const PgOutcome& o) {
  if (o.columns.empty() || o.rows.empty()) return;
  std::vector<size_t> width;
  for (const std::string& c : o.columns) width.push_back(c.size());
  for (const auto& row : o.rows) {
    for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
  }
  auto line = [&](const std::vector<std::string>& cells, bool upper) {
    std::string text;
    for (size_t c = 0; c < cells.size(); ++c) {
      std::string cell = cells[c];
      if (upper) {
        for (char& ch : cell) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      }
      if (c + 1 < cells.size()) cell.resize(width[c], ' ');
      text += (c ? " " : "") + cell;
    }
    return text;
  };
  Out(s, "");
  Out(s, line(o.columns, true));
  std::vector<std::string> dashes;
  for (size_t w : width) dashes.emplace_back(w, '-');
  Out(s, line(dashes, false));
  for (const auto& row : o.rows) Out(s, line(row, false));
  Out(s, "");
}

void RunSql(SqlplusRun* s, const std::string& where) {
  PgOutcome o;
  if (PgRunStatement(&s->session, s->buffer, &o) != 0) {
    Fail(s, where, o.error);
    if (o.lost) {
      // Nothing of the open transaction stays, whatever the script asked.
      Out(s, "the connection to the warehouse is lost; the script ends here");
      s->exited = true;
      s->exit_code = kToolFailed;
    } else if (!s->on_sql_error.empty()) {
      Exit(s, s->on_sql_error, where);
    }
    return;
  }
  PrintRows(s, o);
  if (s->feedback) Out(s, Feedback(o.tag));
  // A column named by "column ... new_value" gives its name the last row's
  // value.
  for (size_t c = 0; c < o.columns.size() && !o.rows.empty(); ++c) {
    auto it = s->new_values.find(Lower(o.columns[c]));
    if (it != s->new_values.end()) s->defines[it->second] = o.rows.back()[c];
  }
}

void CloseSpool(SqlplusRun* s) {
  if (s->spool_fd >= 0) close(s->spool_fd);
  s->spool_fd = -1;
  s->spool_path.clear();
}

// A file name of a command, without quotes, with the extension the client
// adds when it has none.
std::string CommandFile(const std::string& rest, const char* extension) {
  std::vector<std::string> w = Words(rest);
  std::string name = w.empty() ? "" : w[0];
  size_t slash = name.rfind('/');
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (!name.empty() && base.find('.') == std::string::npos) name += extension;
  return name;
}

void Spool(SqlplusRun* s, const std::string& rest, const std::string& where) {
  std::vector<std::string> w = Words(rest);
  std::string what = w.empty() ? "" : Lower(w[0]);
  if (what.empty()) {
    Out(s, s->spool_fd >= 0 ? "currently spooling to " + s->spool_path : "not spooling currently");
    return;
  }
  CloseSpool(s);
  if (what == "off" || what == "out") return;
  std::string path = CommandFile(rest, ".lst");
  bool append = w.size() > 1 && Lower(w[1]) == "append";
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0600);
  if (fd < 0) {
    Fail(s, where, "cannot create the spool file " + path + ": " + std::strerror(errno));
    return;
  }
  s->spool_fd = fd;
  s->spool_path = path;
}

void Set(SqlplusRun* s, const std::string& rest) {
  std::vector<std::string> w = Words(Lower(rest));
  if (w.size() < 2) return;
  bool on = w[1] == "on";
  if (w[0] == "echo") s->echo = on;
  if (w[0] == "feedback" || w[0] == "feed") s->feedback = on;
  if (w[0] == "define" || w[0] == "def") s->define = w[1] != "off";
}

// define <name> = <value>
void Define(SqlplusRun* s, const std::string& rest, const std::string& where) {
  const size_t eq = rest.find('=');
  std::vector<std::string> name = Words(rest.substr(0, eq == std::string::npos ? 0 : eq));
  std::vector<std::string> value =
      Words(eq == std::string::npos ? std::string() : rest.substr(eq + 1));
  if (name.size() != 1 || value.size() != 1) {
    Fail(s, where, "DEFINE takes <name> = <value>");
    return;
  }
  s->defines[Lower(name[0])] = value[0];
}

// column <column> new_value <name> [noprint]: other column settings are
// taken and have no effect.
void Column(SqlplusRun* s, const std::string& rest) {
  std::vector<std::string> w = Words(Lower(rest));
  for (size_t i = 1; i + 1 < w.size(); ++i) {
    if (w[i] == "new_value" || w[i] == "new_val") s->new_values[w[0]] = w[i + 1];
  }
}

bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text with each &name and &&name replaced by its value (a "." right
// after the name ends it and goes). Returns false after a failure when a
// name is not defined: the client would ask for its value, which nobody
// answers in a batch.
bool Substitute(SqlplusRun* s, const std::string& where, std::string* text) {
  if (!s->define || text->find('&') == std::string::npos) return true;
  std::string out;
  for (size_t i = 0; i < text->size();) {
    const char c = (*text)[i];
    if (c != '&') {
      out += c;
      ++i;
      continue;
    }
    size_t from = i + 1;
    if (from < text->size() && (*text)[from] == '&') ++from;
    size_t end = from;
    while (end < text->size() && NameChar((*text)[end])) ++end;
    if (end == from) {
      out.append(*text, i, end - i);
      i = end;
      continue;
    }
    const std::string name = Lower(text->substr(from, end - from));
    auto it = s->defines.find(name);
    if (it == s->defines.end()) {
      Fail(s, where, "substitution variable &" + name + " is not defined");
      return false;
    }
    out += it->second;
    i = end < text->size() && (*text)[end] == '.' ? end + 1 : end;
  }
  *text = out;
  return true;
}

// whenever sqlerror exit [code] [commit|rollback] | whenever sqlerror continue
void Whenever(SqlplusRun* s, const std::string& rest, const std::string& where) {
  std::vector<std::string> w = Words(Lower(rest));
  if (w.size() >= 2 && w[0] == "sqlerror" && w[1] == "continue") {
    s->on_sql_error.clear();
    return;
  }
  if (w.size() < 2 || w[0] != "sqlerror" || w[1] != "exit") {
    Fail(s, where, "WHENEVER takes SQLERROR EXIT ... or SQLERROR CONTINUE");
    return;
  }
  std::string words;
  for (size_t i = 2; i < w.size(); ++i) words += w[i] + " ";
  // A bare EXIT after a failed statement is a failure all the same.
  s->on_sql_error = words.empty() ? "failure" : words;
}

void Exit(SqlplusRun* s, const std::string& rest, const std::string& where) {
  int code = s->failed ? kToolRejected : kToolOk;
  bool bad_word = false;
  bool commit = true;
  for (const std::string& word : Words(Lower(rest))) {
    if (word == "success") {
      code = 0;
    } else if (word == "failure") {
      code = 1;
    } else if (word == "warning") {
      code = 2;
    } else if (word == "commit") {
      commit = true;
    } else if (word == "rollback") {
      commit = false;
    } else if (AllDigits(word) && word.size() <= 3 && std::stoi(word) <= 255) {
      code = std::stoi(word);
    } else {
      Fail(s, where,
           "EXIT takes success, failure, warning or a number from 0 to 255, and "
           "commit or rollback, not " +
               word);
      bad_word = true;
    }
  }
  // An EXIT that cannot be read, or work that cannot be committed, is a
  // failure whatever the code asked for.
  if (bad_word) code = kToolFailed;
  std::string why;
  if (PgEndTransaction(&s->session, commit, &why) != 0) {
    Fail(s, where, "the work of the script was not committed: " + why);
    code = kToolFailed;
  }
  s->exited = true;
  s->exit_code = code;
}

int RunScript(SqlplusRun* s, const std::string& path);

void RunNested(SqlplusRun* s, const std::string& script, const std::string& word,
               const std::string& rest, const std::string& where) {
  std::string path = CommandFile(rest, ".sql");
  if (path.empty()) {
    Fail(s, where, word + " names no script");
    return;
  }
  if (word == "@@" && path[0] != '/') {
    size_t slash = script.rfind('/');
    if (slash != std::string::npos) path = script.substr(0, slash + 1) + path;
  }
  if (s->depth >= kMaxDepth) {
    Fail(s, where,
         "scripts nested deeper than " + std::to_string(kMaxDepth) + "; " + path + " not run");
    return;
  }
  if (RunScript(s, path) != 0) {
    Fail(s, where, "cannot read the script " + path + ": " + std::strerror(errno));
  }
}

void RunCommand(SqlplusRun* s, const std::string& script, const ScriptItem& item) {
  std::string where = Where(script, item);
  std::string text = item.text;
  if (!Substitute(s, where, &text)) return;
  std::string word, rest;
  SplitCommand(text, &word, &rest);
  if (word == "spool") {
    Spool(s, rest, where);
  } else if (word == "set") {
    Set(s, rest);
  } else if (word == "prompt") {
    Out(s, rest);
  } else if (word == "exit" || word == "quit") {
    Exit(s, rest, where);
  } else if (word == "whenever") {
    Whenever(s, rest, where);
  } else if (word == "define" || word == "def") {
    Define(s, rest, where);
  } else if (word == "column" || word == "col") {
    Column(s, rest);
  } else if (word == "@" || word == "@@" || word == "start") {
    RunNested(s, script, word, rest, where);
  }  // rem, remark: nothing
}

// Runs the script's items until its end or an exit. Returns 0, or -1 with
// errno when the script cannot be read.
int RunScript(SqlplusRun* s, const std::string& path) {
  std::string text;
  if (zmo::ReadWholeFile(path, &text) != 0) return -1;
  ++s->depth;
  for (const ScriptItem& item : ParseSqlplusScript(text)) {
    if (s->exited) break;
    Echo(s, item);
    switch (item.kind) {
      case ScriptItemKind::kCommand:
        RunCommand(s, path, item);
        break;
      case ScriptItemKind::kStatement:
        s->buffer = item.text;
        if (Substitute(s, Where(path, item), &s->buffer)) {
          RunSql(s, Where(path, item));
        } else if (!s->on_sql_error.empty()) {
          Exit(s, s->on_sql_error, Where(path, item));
        }
        break;
      case ScriptItemKind::kStored:
        s->buffer = item.text;
        Out(s, "statement at " + Where(path, item) + " ends without \";\" or \"/\": kept, not run");
        break;
      case ScriptItemKind::kRerun:
        if (s->buffer.empty()) {
          Fail(s, Where(path, item), "no statement to run again");
        } else {
          RunSql(s, Where(path, item));
        }
        break;
    }
  }
  --s->depth;
  return 0;
}

}  // namespace

int RunScriptInWarehouse(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                         const std::string& script) {
  SqlplusRun s;
  s.run = run;
  if (PgConnectTool(run, logon, source, &s.session) != 0) return kToolFailed;
  s.session.on_notice = [&s](const std::string& text) { Out(&s, text); };
  if (RunScript(&s, script) != 0) {
    Refuse(run, "cannot read the script " + script + ": " + std::strerror(errno));
    s.exited = true;
    s.exit_code = kToolFailed;
  }
  // The end of the script without EXIT ends the run as EXIT does.
  if (!s.exited) Exit(&s, "", "the end of " + script);
  CloseSpool(&s);
  PgDisconnect(&s.session);
  return s.exit_code;
}

}  // namespace zmo::dbtools
