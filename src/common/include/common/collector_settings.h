// The settings both collectors read under the configuration key in the same
// way: the debug switch, the database kind and BinDir. The result codes are
// the same in both; where their trace lines differ, the caller says which.
#pragma once

#include <cstddef>
#include <string>

#include "common/config_table.h"
#include "common/db_kind.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"

namespace zmo {

// The debug switch of row: on when it reads as exactly "True" ("debug
// switched on" is traced when it was off), otherwise off after "debug
// switched off now". The row's lines are not traced.
void readDebugSwitch(HKEY key, const ConfigRow& row);

// DB is read into a 128-byte buffer.
constexpr size_t kDbValueBuffer = 128;

// How a program reads DB.
struct DbKindRead {
  // The process's database kind is none from the start of the read, so a
  // DB that cannot be read leaves none behind.
  bool clearKindFirst = false;
  // A DB that cannot be read is traced with what the read returned, the
  // store's result and the buffer size, instead of the standard line.
  bool traceStoreResult = false;
};

// Reads DB and sets the process's database kind from it (setDatabaseKind),
// *kind too. Returns 0 with "producing output for db <name>" traced, 2 when
// DB cannot be read, 3 when it is not text, 4 with "unknown db format <name>
// encountered" when it names no kind.
constexpr int kDbKindMissing = 2;
constexpr int kDbKindNotString = 3;
constexpr int kDbKindUnknown = 4;
// The row of DB as readDbKind reads it (its lines are readDbKind's).
inline constexpr ConfigRow kDbKindRow = {.name = cfg::kDB,
                                         .maxChars = kDbValueBuffer - 1,
                                         .missing = ConfigMissing::kFail,
                                         .missingCode = kDbKindMissing,
                                         .type = ConfigType::kText,
                                         .notStringCode = kDbKindNotString,
                                         .lines = ConfigLines::kStandard};
int readDbKind(HKEY key, const DbKindRead& how, DbKind* kind);

// How a program takes BinDir.
struct BinDirRule {
  size_t maxChars;          // the longest directory taken
  const char* tooLongLine;  // traced as it stands for a longer one
  // An empty BinDir is traced ("entry <BinDir> of subkey <...> has zero
  // length").
  bool traceEmpty;
};

// Reads BinDir whatever its length, so that a long one is refused as too
// long. Returns 0 with *binDir set to it, a separator added unless it ends
// in one; 5 when it cannot be read, 6 when it is not text, 7 when it is
// empty, 8 when it is longer than rule.maxChars; *binDir is unchanged then.
constexpr int kBinDirMissing = 5;
constexpr int kBinDirNotString = 6;
constexpr int kBinDirEmpty = 7;
constexpr int kBinDirTooLong = 8;
// The row of BinDir as readBinDir reads it.
inline constexpr ConfigRow kBinDirRow = {.name = cfg::kBinDir,
                                         .missing = ConfigMissing::kFail,
                                         .missingCode = kBinDirMissing,
                                         .type = ConfigType::kText,
                                         .notStringCode = kBinDirNotString,
                                         .lines = ConfigLines::kStandard};
int readBinDir(HKEY key, const BinDirRule& rule, std::string* binDir);

}  // namespace zmo
