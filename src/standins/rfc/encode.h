// Field encoders: a field's value, written as text, turned into the bytes a
// table line carries (see docs/rfc-simulator.md for the value forms).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/sap_layouts.h"

namespace zmo::rfc {

// One value of a line, by field name.
struct FieldValue {
  std::string name;
  std::string value;
};

// Writes the value into line at the field's offset, in the character width
// of the layout the field belongs to. With fit, a character value longer than
// the field is cut instead of refused. Returns 0, or -1 with *error.
int EncodeField(const sap::FieldLayout& field, unsigned char_width, std::string_view value,
                bool fit, unsigned char* line, std::string* error);

// Writes the initial value of the field: blanks, zero digits, packed zero,
// zero bytes.
void EncodeInitial(const sap::FieldLayout& field, unsigned char_width, unsigned char* line);

// A table line of its own: internal tables and answers hand these over
// without copying them.
using LineBuffer = std::unique_ptr<unsigned char[]>;

// The initial values of every field of layout, in line (line_size bytes).
void EncodeInitialLine(const sap::StructLayout& layout, unsigned char* line);

// A whole line of layout: initial values, then values. Returns 0, or -1 with
// *error naming the field.
int EncodeLine(const sap::StructLayout& layout, const std::vector<FieldValue>& values, bool fit,
               std::string* line, std::string* error);
// The same into line_size bytes at line.
int EncodeLine(const sap::StructLayout& layout, const std::vector<FieldValue>& values, bool fit,
               unsigned char* line, std::string* error);

// Packed decimal of n bytes: 2n-1 digits and the sign nibble (C plus, D
// minus). text is [+-]digits[.digits] with at most decimals fraction
// digits. Returns 0, or -1 with *error.
int EncodePacked(std::string_view text, unsigned decimals, unsigned n, unsigned char* out,
                 std::string* error);

// Little-endian integers, as the lines carry them.
void PutLe(unsigned char* out, unsigned long long value, unsigned n);

// Text of a Windows-1252 byte string in 2- or 4-byte characters
// (little-endian), padded with blanks to chars characters.
void PutWideText(unsigned char* out, std::string_view text, unsigned chars, unsigned width);

}  // namespace zmo::rfc
