// The lines zmosnap writes to its collecting files: one CPU record per
// snapshot, one disk record per disk and one LAN record per LAN interface,
// each behind the shared prefix, and one availability record per server and
// cycle. Columns of the Oracle kind (first column 1):
//
//   prefix        RFC_DEST_STR 1-20, HOST_NAME 21-50, SYSTEM_LABEL 51-84,
//                 SYS_ID 85-87, SNAP_CLIENT 88-90, SNAP_DATE 91-104
//   CPU (208)     13 numbers of 8: NUM_OF_CPU, LOAD1/5/15_AVG, USER_CPU,
//                 SYSTEM_CPU, IDLE_CPU, PAGE_IN/OUT_SEC, FREE_MEMORY,
//                 TOT_MEMORY, NUM_USERS, NUM_MODI
//   disk (166)    DISK_NAME 30, UTILIZATION, AVG_QUEUE_LENGTH, AVG_WAIT,
//                 AVG_SERVICE (8 each)
//   LAN (174)     LAN_NAME 30, PACKETS_IN, PACKETS_OUT, IN_ERRORS,
//                 OUT_ERRORS, COLLISIONS (8 each)
//   availability  RFC_DEST_STR, HOST_NAME, SYSTEM_LABEL, SYS_ID, SNAP_DATE,
//   (102)         SYS_AVAILABLE
//
// The layouts are those of common/record_layouts.h. The other kinds write
// the same fields separated by "," and unpadded, the Corva kind with the
// text fields in double quotes. Every line ends in CR LF. An Oracle line
// always keeps its columns: a longer text is cut to its width and a number
// that needs more than 8 characters is written as the nearest one that
// fits (99999999 or -9999999).
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

#include "common/field_writer.h"
#include "common/metric_switches.h"
#include "common/server_file.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

// What the writers take from the collection cycle, which sets it: the
// server line being processed, the database-host flag, the GMT flag, the
// metric switches and the open collecting files.
struct SnapRecordState {
  zmo::ServerLine server;
  bool dbHostRecords = false;  // while the database host's records are written
  bool gmt = false;            // time stamps in UTC instead of the SAP system's time
  zmo::MetricSwitches switches;
  std::FILE* cpuFile = nullptr;
  std::FILE* diskFile = nullptr;
  std::FILE* lanFile = nullptr;
  std::string cpuFileName;  // named in the trace when no user counts were read
  // Raised by the field writers while one snapshot is written, traced once.
  int cut = 0;      // an Oracle text was cut to its width
  int clamped = 0;  // an Oracle number did not fit its width
};

// The one instance of the process.
SnapRecordState& snapRecordState();
// Back to the start values (the files are forgotten, not closed).
void snapResetRecordState();

// The time a record written now carries: the local time moved to UTC with
// the GMT flag, else to the SAP system's time by the remote offset of its
// last system-information answer.
std::tm snapRecordTime();

// Starts line in the run's database kind with the prefix of one snapshot
// record. 0, or 1 when there is no line or the time stamp has no form.
int writeRecordPrefix(zmo::RecordLine* line);

// Appends the server's availability record to file when ProcessQRBData or
// the availability group is on (else writes nothing), then forgets the
// server's system-information results. 0, or 1 when it could not be
// written.
int writeAvailRecord(std::FILE* file, int available);

// The CPU, disk and LAN records of a FILL_SNAPSHOT_DATA answer, in that
// order, to the collecting files, each kind when ProcessQRBData or its
// group is on. 0, 1 when a write failed, 28 when the disconnect flag was
// set before a line (the lines written so far stay).
int writeSnapshotRecords(const SnapRfcTables& tables);

// Ends a record line, notes what its writer cut or clamped, and writes it
// to file. 0, or -1 when the write failed.
int snapWriteLine(std::FILE* file, zmo::RecordLine* line);

// A field of a table line by its name in the structure's layout: an integer
// (0 when the structure has no such field or the line is too short), or a
// text up to its first blank.
long long snapLineInt(const void* line, unsigned leng, const char* structure, const char* field);
std::string snapLineWord(const void* line, unsigned leng, const char* structure, const char* field);

}  // namespace zmo::snap
