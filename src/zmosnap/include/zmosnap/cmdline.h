// The options of the -np run, from argv[2] on. Each option but -d is
// followed by its value:
//   -u user   -p password (clear)   -c client   -l language
//   -i system number   -r host   -s SID   -if server file
//   -dbtype oracle|corva|mssql|sybase|tessel (exact lower case)
//   -d  the trace on
// Any other argument is skipped by itself, so a value after an unknown
// option is looked at as an option in turn.
#pragma once

#include <string>

#include "common/db_kind.h"
#include "common/server_file.h"

namespace zmo::snap {

struct SnapCmdLine {
  zmo::ServerLine server;                   // the one server of a run without -if
  std::string password;                     // clear
  std::string inFile;                       // -if: the server file; empty without
  zmo::DbKind dbKind = zmo::DbKind::kNone;  // of -dbtype; none when not given
  bool debug = false;
};

// Parses argv[2..argc). 0; 1 when an option lacks its value, -dbtype names
// no kind, or -dbtype is missing (the record format cannot be guessed).
// Each refusal is traced with the trace switched on.
int snapParseCmdLine(int argc, char** argv, SnapCmdLine* out);

}  // namespace zmo::snap
