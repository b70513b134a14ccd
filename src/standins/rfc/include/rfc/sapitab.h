// Internal tables: growable lists of fixed-length lines that carry an RFC
// call's table parameters.
#pragma once

extern "C" {

struct ZmoItab;  // opaque
typedef ZmoItab* ITAB_H;
constexpr ITAB_H ITAB_NULL = nullptr;

// A new empty table of lines of leng bytes; ITAB_NULL on failure. occu and
// memo are hints and not used.
ITAB_H ItCreate(const char* name, unsigned leng, unsigned occu, unsigned memo);
// Number of lines, or -1 for an unknown handle.
int ItFill(ITAB_H table);
// Line 1..ItFill, or nullptr out of range. The pointer stays valid until the
// table is emptied or deleted.
void* ItGetLine(ITAB_H table, unsigned line);
// Appends a zero-filled line and returns it; nullptr for an unknown handle.
void* ItAppLine(ITAB_H table);
// Line length in bytes; 0 for an unknown handle.
unsigned ItLeng(ITAB_H table);
// Empties the table (it stays usable). 0, or 1 on failure.
int ItFree(ITAB_H table);
// Empties and deletes the table. 0, or 1 on failure.
int ItDelete(ITAB_H table);
}
