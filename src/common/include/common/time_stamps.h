// The time stamps of every record the collectors write (statistic
// records, snapshot records, availability lines), in the form of the
// database kind (its row in db_kind.h):
//
//   Oracle          YYYYMMDDhhmmss
//   Corva           YYYY-MM-DD-hh.mm.ss.000000
//   MSSQL, Sybase   MM-DD-YYYY hh:mm:ss
//   Tessel          YYYY-MM-DD hh:mm:ss
#pragma once

#include <ctime>

#include "common/db_kind.h"

namespace zmo {

// Room for the longest form and its terminating zero.
constexpr int kTimeStampMax = 27;

// Characters of the kind's form (14, 26, 19, 19, 19); 0 for no kind.
int timeStampLength(DbKind kind);

// Writes the stamp of 8 date characters YYYYMMDD and 6 time characters
// hhmmss in the kind's form: timeStampLength(kind) characters, no
// terminating zero. The characters are moved, not read as numbers, so the
// stamp always has the form's length. Returns that length, 0 for no kind.
int putTimeStamp(char* out, DbKind kind, const char* date8, const char* time6);

// The stamp of a broken-down time (tm_year + 1900, tm_mon + 1, ...) in the
// kind's form, with a terminating zero, into out (kTimeStampMax bytes).
// Returns the length; -1 for no kind or when a field does not fit its digits
// (a year outside 0-9999, another field outside 0-99), out then empty.
int formatTimeStamp(char* out, DbKind kind, const std::tm& tm);

}  // namespace zmo
