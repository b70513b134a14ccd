// The record writer's pieces shared by its files: the system and interval
// fields that go into a record line (common/field_writer.h), the ten release
// branches resolved against the layout table, and the once-per-pass trace
// notes.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/field_writer.h"
#include "common/sap_layouts.h"
#include "zmostati/statrec.h"

namespace zmo::stati {

// Room for a text field read from a table line (the longest is 40).
constexpr int kStatiTextMax = 1024;

// The value of a packed field (statiPackedValue). Fields of up to 8 bytes
// whose digits are all decimal, that is every field SAP fills, are read as
// one 64-bit word and turned from decimal nibbles into binary a level at a
// time (pairs, fours, eights); anything else goes digit by digit.
std::int64_t statiPackedValueSlow(const unsigned char* bytes, int n);

// The n bytes (1 to 8) at bytes as a big-endian number, read as whole
// words: from 4 bytes on, two 4-byte reads that may overlap, never past the
// field's last byte.
inline std::uint64_t statiBigEndianBytes(const unsigned char* bytes, int n) {
  if (n < 4) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | bytes[i];
    return v;
  }
  std::uint32_t hi, lo;
  std::memcpy(&hi, bytes, 4);
  std::memcpy(&lo, bytes + n - 4, 4);
  return static_cast<std::uint64_t>(__builtin_bswap32(hi)) << (8 * (n - 4)) | __builtin_bswap32(lo);
}

inline std::int64_t statiPackedValueFast(const unsigned char* bytes, int n) {
  if (n < 1 || n > 8) return statiPackedValueSlow(bytes, n);
  const std::uint64_t v = statiBigEndianBytes(bytes, n);
  std::uint64_t d = v >> 4;  // the 2n - 1 digits; the sign nibble dropped
  // A nibble above 9 has bit 3 and bit 2 or 1 set.
  if (((d >> 3) & ((d >> 2) | (d >> 1)) & 0x1111111111111111ull) != 0) {
    return statiPackedValueSlow(bytes, n);
  }
  d = (d & 0x0F0F0F0F0F0F0F0Full) + ((d >> 4) & 0x0F0F0F0F0F0F0F0Full) * 10;
  d = (d & 0x00FF00FF00FF00FFull) + ((d >> 8) & 0x00FF00FF00FF00FFull) * 100;
  d = (d & 0x0000FFFF0000FFFFull) + ((d >> 16) & 0x0000FFFF0000FFFFull) * 10000;
  d = (d & 0xFFFFFFFFull) + (d >> 32) * 100000000ull;
  const auto value = static_cast<std::int64_t>(d);
  return (v & 0xF) == 0xD ? -value : value;
}

// Columns 2-4 of every record of a server, and columns 6 and 7 of one.
void statiWriteSystemFields(zmo::RecordLine* line, const StatiConvertJob& job);
void statiWriteInterval(zmo::RecordLine* line, const StatiConvertJob& job, const char* startDate,
                        const char* startTime, const char* endDate, const char* endTime);

// A field of a release layout: where it lies in the table line. A length
// of 0 stands for a field that the branch does not read.
struct StatiField {
  unsigned offset = 0;
  unsigned length = 0;
};

constexpr int kStatiMaxParts = 10;  // most fields summed into one measure

// A sum of packed fields, each converted on its own or only summed.
struct StatiSum {
  StatiField parts[kStatiMaxParts];
  int count = 0;
};

// The kind of a statistic record; its letter is the record's first field.
enum class StatiRecordKind : char { kNormal = 'N', kBatch = 'B' };

// One of the ten branches (release layout and record kind), with the
// positions of everything the conversion reads, taken from the layout table.
struct StatiBranch {
  const zmo::sap::StructLayout* layout = nullptr;
  StatiRecordKind recordType = StatiRecordKind::kNormal;
  StatiField mandt, startDate, startTime, endDate, endTime;
  StatiField tcode;    // length 0: T_CODE is one blank
  StatiField cuaProg;  // length 0: CUA_PROG is 40 blanks
  StatiField dynpro, wpid, taskType, account;
  StatiField cpu, response, wait;
  StatiSum database, kbTransfered, kbChanged, memory, load;
  StatiField guiTime, guiCount, guiNetTime;  // length 0: the GUI columns are 0
};

// Resolves the branch of a release layout and record kind. 0, or 1 when a
// field the branch reads is missing from the layout (*missing names it).
int statiResolveBranch(zmo::sap::StatLayout layout, bool batch, StatiBranch* branch,
                       const char** missing);

// What stays the same for every line of one conversion.
struct StatiContext {
  const StatiConvertJob* job = nullptr;
  zmo::DbKind kind = zmo::DbKind::kNone;  // the job's
  zmo::RecordLayout fields;               // the StatRecord layout
  zmo::RecordLine systemFields;           // columns 2-4 with their separators
  bool filter = false;                    // the record filter applies (not every metric)
  bool programs = false;                  // ProcessStatiPrograms
  bool transactions = false;              // ProcessStatiTransactions
  bool measureOn[kMeasureCount] = {};
};

// Sets up the context of job, in the job's kind.
void statiStartContext(const StatiConvertJob& job, StatiContext* ctx);

// Converts one table line into *line; false when the record filter drops it.
bool statiConvertLine(const StatiBranch& branch, const StatiContext& ctx,
                      const unsigned char* bytes, zmo::RecordLine* line);

// Things the writer traces once in a collection pass, however often they
// happen.
enum StatiNote : unsigned {
  kNoteTextCut = 1u << 0,
  kNoteNumberClamped = 1u << 1,
  kNoteGmtFailed = 1u << 2,
};
// True the first time note is raised in the current pass (the caller then
// traces it).
bool statiFirstNote(StatiNote note);

}  // namespace zmo::stati
