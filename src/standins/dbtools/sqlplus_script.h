// Internal: a script of the Oracle SQL client taken apart into what it
// runs: its own commands (spool, set, exit, @file, ...) and the SQL
// statements it passes to the database.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zmo::dbtools {

enum class ScriptItemKind {
  kCommand,    // a line of the client's own: text is the line without a trailing ";"
  kStatement,  // SQL ended by ";" at the end of a line or by a line "/": text without it
  kStored,     // SQL ended by an empty line or by the end of the script: kept, not run
  kRerun,      // a line "/" outside a statement: runs the last statement again
};

struct ScriptItem {
  ScriptItemKind kind = ScriptItemKind::kCommand;
  std::string text;
  std::vector<std::string> lines;  // as written, for the echo
  size_t line = 0;                 // the number of its first line, from 1
};

// Splits a script. A line that begins (after blanks) with "@", "@@" or the
// name of a client command (spool, set, exit, quit, prompt, rem, remark,
// start, whenever, define, column, any case) outside a statement is a command; comment lines ("--")
// outside a statement are skipped; every other line begins or continues a
// statement. A ";" ends a statement only as the last character of a line
// outside quotes.
std::vector<ScriptItem> ParseSqlplusScript(const std::string& text);

// The first word of a command in lower case ("@" and "@@" are words of their
// own), and the rest after blanks.
void SplitCommand(const std::string& command, std::string* word, std::string* rest);

}  // namespace zmo::dbtools
