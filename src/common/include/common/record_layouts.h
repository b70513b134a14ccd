// The record layouts of the collectors' data files, one row per field:
// its name, its Oracle width, how the line writer writes it, and the
// staging column the loader creates for it. The same rows drive the
// record writers (field_writer.h), the loader's Oracle control files
// (a field per row at its running position, read as Char(width), or as a
// date where the column is a time stamp) and its staging tables.
//
//   StatRecord    24 fields, 307 Oracle columns (zmostati.dat)
//   CPU           prefix + 13 figures, 208 columns (zmosnap.cpu)
//   disk          prefix + name + 4 figures, 166 columns (zmosnap.dsk)
//   LAN           prefix + name + 5 figures, 174 columns (zmosnap.lan)
//   availability  6 fields, 102 columns (zmoavai.dat, zmostatiava.dat)
//
// The snapshot prefix is RFC_DEST_STR 20, HOST_NAME 30, SYSTEM_LABEL 34,
// SYS_ID 3, SNAP_CLIENT 3, SNAP_DATE 14.
#pragma once

#include <span>

namespace zmo {

// How the line writer puts a field (field_writer.h).
enum class FieldType {
  kText,    // text; in double quotes for the Corva kind
  kPlain,   // text never quoted: a client number, a time stamp, a flag
  kNumber,  // a number right-aligned in its width in every kind
  kFigure,  // a number left-aligned, padded only in the Oracle kind
};

// The type of a field's staging column.
enum class ColumnType { kVarchar, kInteger, kBigint, kTimestamp };

struct RecordField {
  const char* name = "";  // the staging column; upper-cased, the control file's field
  int width = 0;          // Oracle columns
  FieldType type = FieldType::kText;
  ColumnType column = ColumnType::kVarchar;
  int columnSize = 0;  // of a varchar
  bool notNull = false;
};

using RecordLayout = std::span<const RecordField>;

// The fields of a StatRecord, in record order.
enum StatField {
  kStatRecordType,
  kStatRfcDest,
  kStatHostName,
  kStatSystemLabel,
  kStatClient,
  kStatStartDate,
  kStatEndDate,
  kStatTcode,
  kStatDynpro,
  kStatCuaProg,
  kStatWpId,
  kStatTaskType,
  kStatUserName,
  kStatCpuTime,
  kStatResponseTime,
  kStatDatabaseTime,
  kStatKbTransfered,
  kStatKbChanged,
  kStatWaitTime,
  kStatMemoryUsed,
  kStatLoadTime,
  kStatGuiTime,
  kStatGuiCount,
  kStatGuiNetTime,
  kStatFieldCount,
};

// RECORD_TYPE of a StatRecord: a batch-step or a normal record, or the
// interval line that follows a server's records of one kind. The interval
// line says that every record of that server and kind whose END_DATE lies
// in [START_DATE, END_DATE] of the line is in the file before it; its
// T_CODE names the kind (kStatBatchRecord or kStatNormalRecord), its other
// text fields are empty and its numbers 0. The loader marks such intervals
// loaded, so that the same records loaded again are not counted twice.
inline constexpr char kStatBatchRecord = 'B';
inline constexpr char kStatNormalRecord = 'N';
inline constexpr char kStatIntervalRecord = 'I';

// The snapshot prefix, and the fields after it in each snapshot record.
enum SnapPrefixField {
  kSnapRfcDest,
  kSnapHostName,
  kSnapSystemLabel,
  kSnapSysId,
  kSnapClient,
  kSnapDate,
  kSnapPrefixCount,
};
inline constexpr int kSnapCpuFigures = 13;
inline constexpr int kSnapDiskFigures = 4;
inline constexpr int kSnapLanFigures = 5;

// The fields of an availability record.
enum AvailField {
  kAvailRfcDest,
  kAvailHostName,
  kAvailSystemLabel,
  kAvailSysId,
  kAvailDate,
  kAvailAvailable,
  kAvailFieldCount,
};

RecordLayout statRecordLayout();
RecordLayout snapCpuLayout();
RecordLayout snapDiskLayout();  // the prefix, DISK_NAME, then the figures
RecordLayout snapLanLayout();   // the prefix, LAN_NAME, then the figures
RecordLayout availLayout();

// The Oracle columns of a layout: the sum of its widths.
int layoutColumns(RecordLayout layout);

}  // namespace zmo
