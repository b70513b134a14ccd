// The line layouts of every structure the collectors exchange with an SAP
// system, with explicit byte offsets: the statistic record layouts of each
// release (batch step SAPWLPFBTC and normal SAPWLPFNRM) and the structures
// of the monitoring calls. One table serves the simulator's encoder and the
// collectors' decoders; a decoder needs nothing else from the simulator.
//
// Offsets are counted from 0 within a line. Where the 6.10 layouts differ
// from what a naive field-by-field alignment gives, the offsets here are
// the ones the records carry.
#pragma once

#include "rfc/saprfc.h"

namespace zmo::rfc {

// What a field holds; the letters are the dictionary's type letters.
enum class FieldKind : char {
  kChar = 'C',    // characters, blank-padded
  kDate = 'D',    // YYYYMMDD
  kTime = 'T',    // hhmmss
  kNumc = 'N',    // digits, zero-padded
  kPacked = 'P',  // packed decimal: two digits a byte, sign in the last nibble
  kRaw = 'X',     // raw bytes
  kInt = 'I',     // 4-byte integer, little-endian
  kInt2 = 's',    // 2-byte integer, little-endian
  kFloat = 'F',   // 8-byte IEEE float, little-endian
};

struct FieldLayout {
  const char* name;
  unsigned offset;  // bytes from the start of the line
  unsigned length;  // bytes (characters times the character width for C, D, T, N)
  FieldKind kind;
  unsigned decimals;
};

struct StructLayout {
  const char* structure;  // dictionary name, e.g. "SAPWLPFNRM"
  const char* tag;        // release layout tag "3", "4", "45B", "46C", "610"; "" otherwise
  unsigned char_width;    // 1; the 6.10 layouts also come in 2- and 4-byte forms
  unsigned line_size;     // bytes of one line (table line length)
  const FieldLayout* fields;
  unsigned field_count;
};

// Structure names.
inline constexpr const char* kBatchStructure = "SAPWLPFBTC";
inline constexpr const char* kNormalStructure = "SAPWLPFNRM";

// Every layout of the table.
const StructLayout* AllLayouts(unsigned* count);

// The layout of structure for a release tag ("" for the monitoring
// structures) and character width; nullptr when there is none.
const StructLayout* FindLayout(const char* structure, const char* tag, unsigned char_width = 1);

// The statistic record layout tag of a release: first character "3" gives
// "3"; "4" followed by "0" gives "4", by "5" gives "45B", by anything else
// "46C"; "6" gives "610". nullptr for any other release (unrecognised).
const char* StatLayoutTag(const char* release);

// The field of that name (compared without regard to case); nullptr if none.
const FieldLayout* FindField(const StructLayout* layout, const char* name);

// The elementary RFC type of a field kind.
RFCTYPE RfcTypeOfKind(FieldKind kind);

}  // namespace zmo::rfc
