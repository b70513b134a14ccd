// Control of the simulated SAP systems behind the RFC stand-in, for tests
// and trial runs. The systems are described by files in the directory named
// by ZMO_SAP_SYSTEMS (format: docs/rfc-simulator.md); this build never makes
// a network connection.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zmo::rfc {

// Directory of the system files.
inline constexpr const char* kSystemsEnv = "ZMO_SAP_SYSTEMS";
// When set, every logged event is also appended to this file, one line each
// (passwords masked).
inline constexpr const char* kCallLogEnv = "ZMO_SAP_CALL_LOG";

// One thing a simulated system received.
struct SimLogEntry {
  std::int64_t at_ms = 0;  // clock time of the event
  std::string system;      // name of the system file without ".sys"; "" when no system answered
  std::string event;       // "open", "call" or "close"
  std::string function;    // function module of a call
  // open: DESTINATION, MODE, HOST, SYSNR, GWHOST, GWSERV, CLIENT, USER,
  // PASSWORD, LANGUAGE, TRACE; call: the exported parameters in the order
  // given (texts as sent, integers in decimal, other bytes in hex).
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::string> tables;  // call: "NAME/line length" of each table passed
  int result = 0;                   // open: the handle (0 refused); call: what RfcCall returned
};

// Everything received since the start or the last SimReset/SimClearCallLog.
std::vector<SimLogEntry> SimCallLog();
void SimClearCallLog();

// Puts the library back to its start: closes connections, deletes internal
// tables and installed structures, forgets the last error, the error
// handler, the call log and the loaded landscape (the next use reads the
// directory again).
void SimReset();

// Reads the landscape of dir as RfcOpen would. Returns 0, or -1 with *error
// naming the file and line of the first fault.
int SimCheckLandscape(const std::string& dir, std::string* error);

}  // namespace zmo::rfc
