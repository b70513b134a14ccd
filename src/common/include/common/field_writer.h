// The record line writer every data file is written with. A line is built
// in a buffer by the rules of the database kind it was started with:
//
//   Oracle   every field cut to and blank-padded to its width, no separators
//   Corva    "," between fields, text fields in double quotes
//   others   "," between fields, text as it is
//
// and written with one fwrite. Each field is put by its row of a record
// layout (record_layouts.h), which gives its width and type. In every kind
// a control byte (0x00-0x1F, 0x7F) of a text is written as a blank, so that
// one record is always one line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "common/db_kind.h"
#include "common/record_layouts.h"

namespace zmo {

// Room for the longest line of any file with its CR LF: the Oracle forms
// are at most 307 columns; the others are not padded, but the system fields
// may carry a long host.
constexpr int kRecordLineMax = 1024;

// One record line being built. Every writer keeps within the buffer
// whatever it is given (a text that would not fit is cut and counted as
// cut).
struct RecordLine {
  char text[kRecordLineMax];
  int len = 0;
  int fields = 0;  // fields written so far: a separator goes before the next
  DbKind kind = DbKind::kNone;
  bool fixedWidth = false;  // the kind's rules, taken from its row
  bool quotedText = false;
  int cut = 0;      // a text was longer than its Oracle width, or the buffer
  int clamped = 0;  // a number did not fit its width
};

// Starts an empty line in the rules of kind (no kind: comma-separated,
// nothing quoted).
void recordLineStart(RecordLine* line, DbKind kind);

// A text or plain field of n characters.
void recordPutText(RecordLine* line, const RecordField& field, const char* text, int n);
// A text or plain field up to its terminating zero.
void recordPutString(RecordLine* line, const RecordField& field, const char* text);
// A number or figure field, with its sign when negative. In the Oracle
// kind a value that does not fit the width is written as the nearest one
// that does (all nines, or the most negative) and counted as clamped; the
// other kinds write the whole number, the width being a least width for a
// number and nothing for a figure.
void recordPutNumber(RecordLine* line, const RecordField& field, std::int64_t value);

// Appends a part started with the same kind whose field count started at
// 1, so that it begins with its separator.
void recordLineAppend(RecordLine* line, const RecordLine& part);
// CR LF. False when the line would not fit (never for the layouts).
bool recordLineEnd(RecordLine* line);
// Writes the line to file. 0, or -1 when the write failed.
int recordLineWrite(std::FILE* file, const RecordLine& line);

}  // namespace zmo
