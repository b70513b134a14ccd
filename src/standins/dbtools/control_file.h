// Internal: the Oracle loader's control file, as the loader writes it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zmo::dbtools {

struct ControlField {
  std::string name;
  size_t start = 0;   // first column, from 1
  size_t end = 0;     // last column
  bool date = false;  // Date "YYYYMMDDHH24MISS", else Char(end - start + 1)
};

struct ControlFile {
  std::string infile, badfile, discardfile, table;
  std::vector<ControlField> fields;
};

// Parses the lines of a control file: "Load Data", infile, badfile,
// discardfile with discardmax, truncate, PRESERVE BLANKS, "into table", then
// the field list in parentheses, one field a line, positions that follow on
// from column 1 without a gap. Returns 0, or -1 with *error naming the line.
int ParseControlFile(const std::vector<std::string>& lines, ControlFile* out, std::string* error);

// The length of a record: the last column of the last field.
size_t RecordLength(const ControlFile& control);

// Empty when the record fits the fields (its length and its dates), else why not.
std::string RecordMismatch(const ControlFile& control, std::string_view record);

// Why a record cannot go to the server at all (RecordMismatch, or a NUL
// byte); "" when it can.
std::string RecordFault(const ControlFile& control, std::string_view record);

// Appends a record that RecordFault passed as one row of COPY's text form:
// the fields separated by a tab, the row ended by a line feed, a date as
// "YYYY-MM-DD HH:MM:SS", a backslash, tab, CR or LF of a value escaped.
void AppendCopyRow(const ControlFile& control, std::string_view record, std::string* rows);

}  // namespace zmo::dbtools
