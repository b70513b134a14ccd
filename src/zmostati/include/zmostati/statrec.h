// The statistic record conversion and writer: every line of the batch-step
// and normal tables that SAPWL_STATREC_READ_FILE filled becomes one
// StatRecord line of the statistic data file, and every server gets one
// availability line.
//
// StatRecord, 24 fields (Oracle columns, first column 1):
//
//   RECORD_TYPE 1, RFC_DEST_STR 20, HOST_NAME 30, SYSTEM_LABEL 34, CLIENT 3,
//   START_DATE 14, END_DATE 14, T_CODE 20, DYNPRO_NUMBER 4, CUA_PROG 40,
//   WP_ID 4, TASK_TYPE 1, USER_NAME 30 (text and time fields, 1-215), then
//   CPU_TIME, RESPONSE_TIME, DATABASE_TIME, KB_TRANSFERED 8 each,
//   KB_CHANGED 12, WAIT_TIME, MEMORY_USED, LOAD_TIME, GUI_TIME, GUI_COUNT,
//   GUI_NET_TIME 8 each (numbers, 216-307).
//
// Oracle lines are exactly 307 columns: text fields blank-padded and cut to
// their widths, no separators. The other kinds separate the fields with ","
// and do not pad text; Corva puts text fields in double quotes. Numbers are
// right-aligned in their width in every kind; one that does not fit is
// written at the nearest value that does. Time stamps are never quoted.
// Every line ends in CR LF and is written with one fwrite.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

#include "common/db_kind.h"
#include "common/field_writer.h"
#include "common/sap_layouts.h"
#include "rfc/sapitab.h"

namespace zmo::stati {

// --- Field readers and conversions --------------------------------------

// Replaces the first "+" of text by a blank.
void statiPlusToBlank(char* text);
// n bytes as 2n upper-case hex digits and a terminating zero.
void statiBytesToHex(char* out, const unsigned char* bytes, int n);
// Packed decimal of n bytes as signed decimal text: "-" when the last
// nibble is D, else "+", then the 2n - 1 digits before it, a "." before the
// last `decimals` of them. out needs 2n + 2 bytes.
void statiPackedToDec(char* out, const unsigned char* bytes, int n, int decimals);
// The value that text reads as once its sign is blanked: its leading
// decimal digits (up to a digit nibble above 9), negative for the sign D.
// The layouts' fields have at most 15 digits; a value beyond 64 bits reads
// as the largest one.
std::int64_t statiPackedValue(const unsigned char* bytes, int n);

// Two upper-case hex digits of a task type -> its doubled letter code:
// "01" DD, "02" UU, "03" SS, "04" BB, "05" EE, "06" YY, "07" AA, "08" 22,
// "FF" CC, "FE" RR, "FD" LL, anything else XX.
const char* statiMapTaskType(const char* code);
// The task type byte's letter: the last of its code above (0x01 D, 0xFF C,
// an unknown byte X).
char statiTaskTypeLetter(unsigned char type);

// Both conversions work in integers and cut toward zero, as the integer
// part of the double would, so that no large count loses digits; negative
// counts and counts too large for the 64-bit forms are taken in 128 bits.
inline constexpr std::int64_t kStatiPlainLimit = INT64_MAX / 16;

// Seconds of a millisecond count, half up: the integer part of x / 1000 + 0.5.
inline std::int64_t statiMillisToSeconds(std::int64_t millis) {
  if (millis >= 0 && millis < kStatiPlainLimit) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(millis + 500) / 1000u);
  }
  return static_cast<std::int64_t>((static_cast<__int128>(millis) + 500) / 1000);
}

// Kilobytes of a byte count: the integer part of x / 1024 + 0.55, that is
// (10x + 5632) / 10240.
inline std::int64_t statiBytesToKilobytes(std::int64_t bytes) {
  if (bytes >= 0 && bytes < kStatiPlainLimit) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(bytes * 10 + 5632) / 10240u);
  }
  return static_cast<std::int64_t>((static_cast<__int128>(bytes) * 10 + 5632) / 10240);
}

// --- One server's conversion --------------------------------------------

// The metric columns in record order, each on or off by its switches.
enum StatiMeasure {
  kMeasureCpu,
  kMeasureResponse,
  kMeasureDatabase,
  kMeasureKbTransfered,
  kMeasureKbChanged,
  kMeasureWait,
  kMeasureMemory,
  kMeasureLoad,
  kMeasureGuiTime,
  kMeasureGuiCount,
  kMeasureGuiNetTime,
  kMeasureCount,
};

// What one conversion reads besides the tables' lines. statiPutOut gathers
// it from the collector's state; the tests and the benchmark fill it.
struct StatiConvertJob {
  std::FILE* file = nullptr;  // the open statistic data file
  // The form the lines are written in: the database kind the run resolved.
  zmo::DbKind kind = zmo::DbKind::kNone;
  // The release's layout, resolved once for the server; none for a release
  // that is not recognised.
  std::optional<zmo::sap::StatLayout> layout;
  ITAB_H batchTable = ITAB_NULL;
  ITAB_H normalTable = ITAB_NULL;
  bool batchFlag = true;   // convert the batch-step table
  bool normalFlag = true;  // convert the normal table
  // Columns 2-4.
  const char* host = "";       // the host field's text after its last "/"
  const char* shortHost = "";  // host up to its first "."
  const char* systemId = "";   // RFCSYSID, upper-cased
  const char* dbHost = "";     // RFCDBHOST
  int sysnr = 0;
  // Columns 6 and 7 are moved to GMT by the remote offset when gmt is set.
  bool gmt = false;
  int remoteOffset = 0;  // seconds, remote time minus UTC
  // ProcessQRBData: every record and every measure. Otherwise metrics
  // (indexed by zmo::MetricSwitch) filter the records and switch the columns.
  bool allMetrics = true;
  const bool* metrics = nullptr;
  // The interval the tables were read for, in the remote system's time
  // (YYYYMMDD and hhmmss). When given, each table converted whole is
  // followed by its interval line (common/record_layouts.h).
  const char* readStartDate = nullptr;
  const char* readStartTime = nullptr;
  const char* readEndDate = nullptr;
  const char* readEndTime = nullptr;
};

// The interval line of job's server and read interval for the record kind
// (kStatBatchRecord or kStatNormalRecord), in the form of job's kind. job's
// read interval must be given.
void statiIntervalLine(const StatiConvertJob& job, char recordKind, zmo::RecordLine* line);

// Converts and writes the tables of job in the form of job's database kind
// (field_writer.h): first the batch table when batchFlag is set, then the
// normal table when normalFlag is set. Returns 0; 1 when the job has no kind
// or no file, a line is missing, a table's lines are shorter than the
// release's layout, or a write failed (lines already written stay); 28 when
// a stop request came between two lines. An unrecognised release (no
// layout) writes nothing, calls the RFC error handler with "unrecognized SAP
// level encountered" and returns 0.
int statiConvertTables(const StatiConvertJob& job);

// --- The collection run's steps -----------------------------------------

// The conversion job of the server being visited: from the run
// (statiState().collect: file and server line, and the database kind it
// resolved, zmo::DatabaseKind), the RFC session (statiRfcSession(): system
// id, database host, release layout, tables), the settings, the metric
// switches and the read interval.
StatiConvertJob statiRunJob();
// Converts both tables of the server being visited into the run's open
// statistic data file (statiRunJob). Results as statiConvertTables.
int statiPutOut();

// Appends the availability line of the server being visited to the run's
// availability file: "1" when it was read, "0" with the system label
// "NOT_KNOWN" when it failed; stamped with the local time of writing.
// 0, or 1 when there is no open file or the line could not be written.
int statiWriteAvailRecord();

}  // namespace zmo::stati
