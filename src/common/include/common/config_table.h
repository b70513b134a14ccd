// The configuration values a program reads, declared as a table: one row per
// value (its name, the longest text the program takes, what a missing value
// means, its default and the lines its reading traces), and one reader that
// serves every table. The reader knows nothing of a program's globals: where
// its lines go and how a program ends are passed in by the caller.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "common/config_values.h"
#include "platform/registry.h"

namespace zmo {

// A printf-style trace writer.
using ConfigTraceFn = int (*)(const char* format, ...);

// A row that takes text of any length.
inline constexpr size_t kAnyLength = std::string::npos;

// What a missing value (absent, unreadable or too long) means.
enum class ConfigMissing {
  kDefault,  // it reads as the row's default text
  kFail,     // the read fails with the row's missingCode
  kExit,     // the program ends with kExitMissingRegistryValue
};

// Which stored types a row takes.
enum class ConfigType {
  kAny,            // the stored bytes read as text whatever their type
  kText,           // REG_SZ; any other type fails with the row's notStringCode
  kTextOrMissing,  // REG_SZ; any other type reads as a missing value
};

// The lines a value that is missing or not text traces. <n> is the name,
// <k> the configuration key, <d> the default text (an empty one spelled 0),
// <u> the row's unit.
enum class ConfigLines {
  kQuiet,            // none
  kStandard,         // "could not query value <n> for subkey <k>" or
                     // "value <n> for subkey <k> has not string format"
  kAssumingDefault,  // kStandard, then for a default "assuming default of <d>"
  kUsingDefault,     // kStandard, then for a default "using default value of <d> <u>"
  kSettingDefault,   // kStandard, each ending " setting default to <d> <u>."
  kRequired,         // "Required Registry Value not found", "Missing Value = <n>"
};

// The line a value that was found traces: "found value <v> of <n> of
// subkey <k>", <v> being the text or its decimal number.
enum class ConfigFound {
  kQuiet,   // none
  kText,    // the text as read
  kNumber,  // configDecimal64 of the text
  kInt,     // configDecimal of the text
};

// One configuration value a program reads.
struct ConfigRow {
  const char* name;
  size_t maxChars = kAnyLength;
  ConfigMissing missing = ConfigMissing::kExit;
  const char* defaultText = "";
  int missingCode = 0;  // kFail
  ConfigType type = ConfigType::kAny;
  int notStringCode = 0;  // kText
  ConfigLines lines = ConfigLines::kQuiet;
  const char* unit = "";
  ConfigFound found = ConfigFound::kQuiet;
  // A number: blanks around the text and a line end after it (a value that
  // zmosetval -v @file stored from a file's line) are not part of it.
  bool number = false;
};

// How a program reads: where the lines go and how it ends. Every member may be
// left empty.
struct ConfigReader {
  ConfigTraceFn trace = nullptr;     // null: no lines at all
  void (*exit)(int code) = nullptr;  // ends the program; null: the read returns the code
  // Traced, followed by "Missing Key = HKEY_LOCAL_MACHINE\<k>", when a read
  // that opens the key cannot; that read then ends as a kExit row does,
  // whatever its row. Null: without the key every value reads as missing.
  const char* keyMissingLine = nullptr;
  // Told, with the store's "file:line: what", when a read that opens the
  // key finds the registry store damaged; before the key-missing lines.
  void (*damaged)(const char* text) = nullptr;
};

// Reads row under the open configuration key (null: no key, every value
// missing) and traces its lines through reader. Returns 0 with *out the text
// (of a number row without its blanks and line end, also in its trace line),
// or for a value read as its default the default text; otherwise the row's
// code (missingCode, notStringCode, or kExitMissingRegistryValue after
// reader.exit) with *out empty. *how, when given, gets how the read went.
int readConfigValue(HKEY key, const ConfigRow& row, const ConfigReader& reader, std::string* out,
                    ConfigRead* how = nullptr);

// readConfigValue with the configuration key opened for this read alone.
int readConfigValue(const ConfigRow& row, const ConfigReader& reader, std::string* out,
                    ConfigRead* how = nullptr);

// The lines of a row whose value was not read (read is kMissing or
// kNotString), as readConfigValue writes them; readAsDefault when the value
// now reads as its default.
void traceConfigUnread(ConfigTraceFn trace, const ConfigRow& row, ConfigRead read,
                       bool readAsDefault);

// The line that follows a row's standard line when the value reads as its
// default ("assuming default of <d>" or "using default value of <d> <u>"),
// for a caller that refuses a value it found.
void traceConfigDefault(ConfigTraceFn trace, const ConfigRow& row);

// The row of name in table (names match without regard to case), or null.
const ConfigRow* findConfigRow(std::span<const ConfigRow> table, const char* name);

// The row of a value a program cannot run without: any type and length,
// traced as kRequired, and a missing one ends the program.
constexpr ConfigRow requiredConfigRow(const char* name) {
  return ConfigRow{.name = name, .lines = ConfigLines::kRequired};
}

// requiredConfigRow of a number (ConfigRow::number).
constexpr ConfigRow requiredNumberRow(const char* name) {
  return ConfigRow{.name = name, .lines = ConfigLines::kRequired, .number = true};
}

// The row of a value read quietly: any type and length, untraced; a missing
// one fails with 1, so the row also tells whether the value is there.
constexpr ConfigRow quietConfigRow(const char* name) {
  return ConfigRow{.name = name, .missing = ConfigMissing::kFail, .missingCode = 1};
}

// The row of a switch: on when its text is exactly "True"; any length,
// untraced, and a value that is missing or not text reads as off ("").
constexpr ConfigRow switchConfigRow(const char* name) {
  return ConfigRow{
      .name = name, .missing = ConfigMissing::kDefault, .type = ConfigType::kTextOrMissing};
}

// The number a default text spells, for constants that must agree with a
// row: decimal digits only.
constexpr int configDefaultNumber(const char* text) {
  int value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  return value;
}

}  // namespace zmo
