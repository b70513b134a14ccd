// The fields both collectors begin their records with, and the availability
// line (AvailRecord) they append once per application server and run:
//
//   RFC_DEST_STR 20, HOST_NAME 30, SYSTEM_LABEL 34, SYS_ID 3 (text fields),
//   time stamp (the kind's form), SYS_AVAILABLE 1 ("1" or "0")
//
// Written by its layout (record_layouts.h) through the line writer, so each
// kind's rules apply; an Oracle text field longer than its width is cut to
// it, so the line keeps its 102 columns for a position-based load.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>

#include "common/db_kind.h"

namespace zmo {

// "%s_%s_%.2i" of short host, system id and system number, cut to size - 1
// characters. Returns the length written.
int formatRfcDestination(char* out, std::size_t size, const char* short_host, const char* sid,
                         int sysnr);
// "%s_%s" of system id and database host, cut to size - 1 characters.
int formatSystemLabel(char* out, std::size_t size, const char* sid, const char* db_host);

struct AvailLine {
  const char* destination = "";
  const char* host = "";
  const char* label = "";
  const char* sid = "";
  std::tm stamp{};  // the time the line stands for, already in the zone wanted
  int available = 0;
};

// Appends one availability line and its CR LF to file, in the form of
// kind. *cut, when given, is set to 1 when
// an Oracle text field was cut to its width, else 0. Returns 0; 1 when the
// stamp has no form (no kind, or a year beyond four digits) and nothing was
// written; 2 when writing failed.
int writeAvailLine(std::FILE* file, DbKind kind, const AvailLine& line, int* cut);

}  // namespace zmo
