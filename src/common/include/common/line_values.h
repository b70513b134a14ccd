// What a configuration value may carry into the lines the loader generates:
// one rule per target syntax, written once for the loader, which checks
// every value before it writes a file, and for the configurator, which
// checks the values it stores. A value that would split a line, end a
// statement or start a comment is refused, or stands in quotes where the
// syntax quotes it.
//
// The syntaxes and how a value stands in them:
//   batch line          every value in double quotes when it needs them
//                       (quotedWhenNeeded; cd, move and del always quote)
//   Corva script        paths in double quotes when needed; the logon
//                       (INST, User, DSN, password) as bare words
//   Tessel script       paths always in double quotes
//   Oracle control file paths always in single quotes
//   Oracle SQL script   paths (spool) in double quotes when needed
// Inside double quotes a value must hold no double quote, inside single
// quotes no single quote; a bare word no quote, ";" or "--". No line holds
// a control character (a line break among them).
#pragma once

#include <string>
#include <string_view>

#include "common/db_kind.h"

namespace zmo {

// The configuration values that go into generated lines. BinDir stands for
// every path in it (the snapshot hand-over files, the tool logs, the
// scripts).
enum class LineValue { kBinDir, kStatiOutPut, kInst, kUser, kDsn, kPassword };

// The registry value's name ("Access" for the password).
const char* lineValueName(LineValue value);

// Why text cannot go into the lines of kind as value, for a message: "a
// ';', which would end a Corva statement", "a double quote, which would end
// its quotes in a batch line"; "" when it can. The first fault of the
// syntaxes the value reaches, batch lines first.
std::string lineValueFault(DbKind kind, LineValue value, std::string_view text);

// The text as one argument of a batch line or a path of a script: in
// double quotes when a blank, a batch sign (& | < > ^), a ";", a single
// quote or "--" would split it or change what the line does; else as it
// is. The text holds no double quote (lineValueFault).
std::string quotedWhenNeeded(std::string_view text);

// The text in double quotes whatever it holds, read back as one argument by
// the command-line rules (a quote inside escaped, backslashes before a
// quote doubled).
std::string doubleQuoted(std::string_view text);

}  // namespace zmo
