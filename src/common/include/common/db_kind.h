// The five warehouse database kinds and what sets them apart, one row of
// facts per kind: the name the registry value DB holds, the first letter
// the loader goes by, the record rules of the data files, the time-stamp
// form of those files, the form of the loader's date literals and the
// client program the kind loads with. Every program resolves its kind once
// per run and hands it on; nothing else spells these facts.
#pragma once

#include "common/db_tools.h"

namespace zmo {

// The kinds, numbered in the order of their names.
enum class DbKind { kNone = 0, kOracle = 1, kCorva = 2, kMssql = 3, kSybase = 4, kTessel = 5 };

inline constexpr int kDbKindCount = 5;

struct DbKindInfo {
  DbKind kind;
  const char* name;  // as DB holds it
  char letter;       // upper case; the loader goes by it
  // Record rules: Oracle records are fixed width without separators, Corva
  // text fields stand in double quotes, the others are comma-separated.
  bool fixedWidth;
  bool quotedText;
  // The data files' time stamp: Y, M, D, h, m and s take the digits of
  // that part of YYYYMMDDhhmmss, every other character stands for itself.
  const char* stampPattern;
  // The loader's date literals, a strftime form.
  const char* dateFormat;
  // The client program that must be on PATH; the Oracle one depends on
  // the client version (oracleLoaderTool).
  DbTool clientTool;
  bool toolByVersion;
};

// Every kind's row, at its number less one.
inline constexpr DbKindInfo kDbKinds[kDbKindCount] = {
    {DbKind::kOracle, "Oracle", 'O', true, false, "YYYYMMDDhhmmss", "%Y%m%d", kToolSqlldr, true},
    {DbKind::kCorva, "Corva", 'C', false, true, "YYYY-MM-DD-hh.mm.ss.000000", "%Y-%m-%d",
     kToolCorvacmd, false},
    {DbKind::kMssql, "MSSQL", 'M', false, false, "MM-DD-YYYY hh:mm:ss", "%Y-%m-%d", kToolIsql,
     false},
    {DbKind::kSybase, "Sybase", 'S', false, false, "MM-DD-YYYY hh:mm:ss", "%Y-%m-%d", kToolIsql,
     false},
    {DbKind::kTessel, "Tessel", 'T', false, false, "YYYY-MM-DD hh:mm:ss", "%m/%d/%Y",
     kToolTesseledit300, false},
};

// The row of a kind; nullptr for kNone or a number outside the table.
constexpr const DbKindInfo* dbKindInfo(DbKind kind) {
  const int n = static_cast<int>(kind);
  return n >= 1 && n <= kDbKindCount ? &kDbKinds[n - 1] : nullptr;
}

// The kind of a DB text: the whole name, case-sensitive.
DbKind dbKindFromName(const char* text);
// The kind of a name written all in upper case ("ORACLE") or all in lower
// case ("oracle"), as the collectors' command lines take it.
DbKind dbKindFromUpperName(const char* text);
DbKind dbKindFromLowerName(const char* text);
// The kind by the first letter of a text, in either case, as the loader
// takes its vendor.
DbKind dbKindFromVendor(const char* text);

// The program that must be on PATH for a kind (the Oracle kind's by its
// client version). Returns 0 and *tool, or 1 for no kind or an unknown
// version.
int dbKindClientTool(DbKind kind, const char* oracle_version, int* tool);

// The name of a kind ("" for none).
const char* dbKindName(DbKind kind);

// The kind a collector's run resolved (readDbKind, a command line); the
// record writers are handed it. A number outside the table is kept as none.
void setDatabaseKind(DbKind kind);
DbKind DatabaseKind();

}  // namespace zmo
