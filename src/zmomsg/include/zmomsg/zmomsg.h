// zmomsg: appends one time-stamped line to the summary log of a collection
// kind in BinDir.
//
//   zmomsg [-m <message>] [-n <number>] [-p SNAP|STATI|PERF] [-t]
//
// The text is the catalog text of -n when the catalog holds one, else the -m
// text. Exit code 1 with the usage text when there is no argument at all,
// otherwise 0, whether or not a line could be written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/pipeline.h"

namespace zmo::msg {

// Run values, each a fixed buffer: longer values are cut to these lengths.
constexpr int kMsgTextMax = 100;
constexpr int kMsgNumberMax = 20;
constexpr int kMsgProgramMax = 20;
// A catalog text is read with at most this many characters.
constexpr int kMsgCatalogMax = 127;

// One summary log: the -p value that names it, its file, its rolled copy and
// the registry value of its size limit in kilobytes (the pipeline's
// contract holds the rows).
using SummaryLog = zmo::SummaryLogRow;

// The log of a -p value (compared exactly), or nullptr.
const SummaryLog* summaryLogFor(const char* program);

// The process-wide state of one run, reset at the start of zmomsgMain.
struct ZmomsgState {
  char message[kMsgTextMax + 1] = {};
  char number[kMsgNumberMax + 1] = {};
  char program[kMsgProgramMax + 1] = {};
  int tab = 0;
  std::string log_path;  // <BinDir>/<log>
  std::string old_path;  // <BinDir>/<rolled name>
};
ZmomsgState& zmomsgState();
void zmomsgReset();

// Scans the arguments from the first into the state. An element beginning
// with "-" is an option whose second character is its letter, in either
// case; every letter but t takes the next element as its value (unknown
// letters ignore both). An option in the last element has no value and is
// ignored. Other elements are skipped.
void zmomsgScanArgs(int argc, char** argv);

// Prints the usage text to standard output.
void zmomsgUsage();

// The catalog text of id into the state's message, cut to kMsgTextMax, when
// the loaded catalog holds one. Returns 1 when it replaced the message.
int zmomsgCatalogMessage(int id);

// A configuration value as text (read-only access), or nullopt when the key
// or the value is missing.
std::optional<std::string> readRegString(const char* name);

// The size limit text in bytes: the decimal kilobytes, multiplied in 64 bits
// (saturated, so no value can overflow).
std::int64_t msgLimitBytes(const char* kilobytes);

// Rolls the log of log over to its old name when it has reached its limit.
// Returns 1 when the log was renamed, else 0.
int rollMsgLog(const SummaryLog* log);

// Appends one line: an optional tab, the local time stamp, the text, CR LF
// (text mode: every LF of the text becomes CR LF too). Returns 0, or -1 when
// the log cannot be opened or written.
int writeMsgLine(const char* path, int tab, const char* text);

// The whole run; returns the exit code.
int zmomsgMain(int argc, char** argv);

}  // namespace zmo::msg
