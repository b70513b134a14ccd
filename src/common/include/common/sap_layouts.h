// What the product knows of SAP's line layouts, with explicit byte offsets:
// the statistic record layouts of each release (batch step SAPWLPFBTC and
// normal SAPWLPFNRM), the rule that picks a release's layout, and the
// structures of the monitoring calls. The collectors read and install by
// this table; the RFC stand-in encodes its simulated answers by it. Nothing
// here belongs to an RFC library: only the client interface's type numbers
// (RfcTypeOfKind) are taken from its header.
//
// Offsets are counted from 0 within a line. Where the 6.10 layouts differ
// from what a naive field-by-field alignment gives, the offsets here are
// the ones the records carry.
#pragma once

#include <optional>

#include "rfc/saprfc.h"

namespace zmo::sap {

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
  const char* tag;        // the release layout's tag (StatLayoutTag); "" otherwise
  unsigned char_width;    // 1; the 6.10 layouts also come in 2- and 4-byte forms
  unsigned line_size;     // bytes of one line (table line length)
  const FieldLayout* fields;
  unsigned field_count;
};

// Structure names.
inline constexpr const char* kBatchStructure = "SAPWLPFBTC";
inline constexpr const char* kNormalStructure = "SAPWLPFNRM";

// The statistic record layouts of the releases.
enum class StatLayout { k3, k4, k45B, k46C, k610 };
inline constexpr int kStatLayoutCount = 5;

// Each layout's tag, in StatLayout order: the key of the layout table and
// the name the collectors' reports and traces give the layout.
inline constexpr const char* kStatLayoutTags[kStatLayoutCount] = {"3", "4", "45B", "46C", "610"};

constexpr const char* StatLayoutTag(StatLayout layout) {
  return kStatLayoutTags[static_cast<int>(layout)];
}

// The statistic record layout of a release: first character "3" gives 3;
// "4" followed by "0" gives 4, by "5" gives 45B, by anything else 46C; "6"
// gives 610. None for any other release (unrecognised) and for nullptr.
std::optional<StatLayout> StatLayoutOfRelease(const char* release);

// The tag of a release's layout (StatLayoutOfRelease); nullptr when the
// release is not recognised.
const char* StatLayoutTag(const char* release);

// Every layout of the table.
const StructLayout* AllLayouts(unsigned* count);

// The layout of structure for a release tag ("" for the monitoring
// structures) and character width; nullptr when there is none.
const StructLayout* FindLayout(const char* structure, const char* tag, unsigned char_width = 1);
// The same for a release layout.
const StructLayout* FindLayout(const char* structure, StatLayout layout, unsigned char_width = 1);

// The field of that name (compared without regard to case); nullptr if none.
const FieldLayout* FindField(const StructLayout* layout, const char* name);

// The elementary RFC type of a field kind.
RFCTYPE RfcTypeOfKind(FieldKind kind);

}  // namespace zmo::sap
