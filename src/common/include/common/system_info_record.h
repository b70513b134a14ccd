// The record RFC_SYSTEM_INFO answers with (RFCSI): the fields the collectors
// read from it, at the positions of the layout table (common/sap_layouts.h).
#pragma once

#include <string>

namespace zmo {

// Bytes of the record.
constexpr unsigned kRfcsiSize = 200;

// The most characters kept of RFCSYSID and RFCDBHOST, and the characters of
// RFCSAPRL that make the release ("46C").
constexpr unsigned kSystemIdChars = 8;
constexpr unsigned kDbHostChars = 32;
constexpr unsigned kReleaseChars = 3;

struct SystemInfoRecord {
  std::string systemId;   // RFCSYSID up to its first blank or zero byte
  std::string dbHost;     // RFCDBHOST, the same way
  std::string release;    // RFCSAPRL's first kReleaseChars bytes up to a zero byte
  int remoteOffset = 0;   // offset to UTC in seconds: RFCTZONE, plus 3600 with daylight saving
  bool daylight = false;  // RFCDAYST is "X", "x" or "1"
};

// Reads the fields of record (kRfcsiSize bytes, not terminated). RFCTZONE
// is blanks, a sign and digits up to the first other character; a field the
// layout table lacks reads as empty.
void parseSystemInfoRecord(const char* record, SystemInfoRecord* out);

// Traces the remote offset: "determined daylight saving at remote host"
// when info.daylight, then "total offset to UTC of remote host is <m> min".
void traceRemoteOffset(const SystemInfoRecord& info);

}  // namespace zmo
