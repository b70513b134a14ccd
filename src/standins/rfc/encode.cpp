#include "encode.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace zmo::rfc {
namespace {

bool IsCharKind(sap::FieldKind k) {
  return k == sap::FieldKind::kChar || k == sap::FieldKind::kDate || k == sap::FieldKind::kTime ||
         k == sap::FieldKind::kNumc;
}

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Code points of the bytes 0x80-0x9F in Windows-1252 (undefined ones map to
// themselves, as the system's conversion does).
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned CodePoint(unsigned char b) { return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : b; }

// Characters of a character-like field in the layout's width.
unsigned Chars(const sap::FieldLayout& f, unsigned width) { return f.length / width; }

void PutText(unsigned char* out, std::string_view text, unsigned chars, unsigned width) {
  if (width == 1) {
    std::memset(out, ' ', chars);
    std::memcpy(out, text.data(), text.size() < chars ? text.size() : chars);
  } else {
    PutWideText(out, text, chars, width);
  }
}

int ParseInteger(std::string_view text, long long lo, long long hi, long long* out) {
  std::string s(text);
  if (s.empty()) return -1;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return -1;
  *out = v;
  return 0;
}

int HexNibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void PutLe(unsigned char* out, unsigned long long value, unsigned n) {
  for (unsigned i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PutWideText(unsigned char* out, std::string_view text, unsigned chars, unsigned width) {
  for (unsigned i = 0; i < chars; ++i) {
    unsigned cp = i < text.size() ? CodePoint(static_cast<unsigned char>(text[i])) : ' ';
    PutLe(out + i * width, cp, width);
  }
}

int EncodePacked(std::string_view text, unsigned decimals, unsigned n, unsigned char* out,
                 std::string* error) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::string_view whole = text, frac;
  size_t dot = text.find('.');
  if (dot != std::string_view::npos) {
    whole = text.substr(0, dot);
    frac = text.substr(dot + 1);
  }
  if ((whole.empty() && frac.empty()) || !AllDigits(whole) || !AllDigits(frac) ||
      (dot != std::string_view::npos && frac.empty())) {
    *error = "not a decimal number";
    return -1;
  }
  if (frac.size() > decimals) {
    *error = "more than " + std::to_string(decimals) + " decimals";
    return -1;
  }
  // The digits are whole, frac and the missing decimals as zeros; without
  // their leading zeros they must fit the 2n - 1 digit nibbles.
  const size_t total = whole.size() + decimals;
  auto digit = [&](size_t k) -> unsigned {
    if (k < whole.size()) return static_cast<unsigned>(whole[k] - '0');
    k -= whole.size();
    return k < frac.size() ? static_cast<unsigned>(frac[k] - '0') : 0;
  };
  size_t first = 0;
  while (first < total && digit(first) == 0) ++first;
  const size_t significant = total - first;
  const size_t room = 2 * n - 1;
  if (significant > room) {
    *error = "more than " + std::to_string(room) + " digits";
    return -1;
  }
  if (significant == 0) negative = false;
  const size_t pad = room - significant;
  auto nibble = [&](size_t i) { return i < pad ? 0u : digit(first + i - pad); };
  for (unsigned i = 0; i < n; ++i) {
    unsigned hi = nibble(2 * i);
    unsigned lo = 2 * i + 1 < room ? nibble(2 * i + 1) : (negative ? 0xD : 0xC);
    out[i] = static_cast<unsigned char>(hi << 4 | lo);
  }
  return 0;
}

void EncodeInitial(const sap::FieldLayout& f, unsigned width, unsigned char* line) {
  unsigned char* out = line + f.offset;
  switch (f.kind) {
    case sap::FieldKind::kChar:
      PutText(out, "", Chars(f, width), width);
      break;
    case sap::FieldKind::kDate:
    case sap::FieldKind::kTime:
    case sap::FieldKind::kNumc:
      PutText(out, std::string(Chars(f, width), '0'), Chars(f, width), width);
      break;
    case sap::FieldKind::kPacked: {
      std::string unused;
      EncodePacked("0", f.decimals, f.length, out, &unused);
      break;
    }
    default:
      std::memset(out, 0, f.length);
      break;
  }
}

int EncodeField(const sap::FieldLayout& f, unsigned width, std::string_view value, bool fit,
                unsigned char* line, std::string* error) {
  unsigned char* out = line + f.offset;
  const unsigned chars = IsCharKind(f.kind) ? Chars(f, width) : 0;
  switch (f.kind) {
    case sap::FieldKind::kChar:
      if (value.size() > chars && !fit) {
        *error = "longer than " + std::to_string(chars) + " characters";
        return -1;
      }
      PutText(out, value, chars, width);
      return 0;
    case sap::FieldKind::kDate:
    case sap::FieldKind::kTime:
      if (value.size() != chars || !AllDigits(value)) {
        *error = "not " + std::to_string(chars) + " digits";
        return -1;
      }
      PutText(out, value, chars, width);
      return 0;
    case sap::FieldKind::kNumc:
      if (value.empty() || value.size() > chars || !AllDigits(value)) {
        *error = "not 1 to " + std::to_string(chars) + " digits";
        return -1;
      }
      PutText(out, std::string(chars - value.size(), '0') + std::string(value), chars, width);
      return 0;
    case sap::FieldKind::kPacked:
      return EncodePacked(value, f.decimals, f.length, out, error);
    case sap::FieldKind::kRaw:
      if (value.size() != 2 * f.length) {
        *error = "not " + std::to_string(2 * f.length) + " hex digits";
        return -1;
      }
      for (unsigned i = 0; i < f.length; ++i) {
        int hi = HexNibble(value[2 * i]), lo = HexNibble(value[2 * i + 1]);
        if (hi < 0 || lo < 0) {
          *error = "not " + std::to_string(2 * f.length) + " hex digits";
          return -1;
        }
        out[i] = static_cast<unsigned char>(hi << 4 | lo);
      }
      return 0;
    case sap::FieldKind::kInt:
    case sap::FieldKind::kInt2: {
      const bool four = f.kind == sap::FieldKind::kInt;
      long long v = 0;
      if (ParseInteger(value, four ? INT32_MIN : INT16_MIN, four ? INT32_MAX : INT16_MAX, &v) !=
          0) {
        *error = four ? "not a 4-byte integer" : "not a 2-byte integer";
        return -1;
      }
      PutLe(out, static_cast<unsigned long long>(v), f.length);
      return 0;
    }
    case sap::FieldKind::kFloat: {
      std::string s(value);
      char* end = nullptr;
      errno = 0;
      double d = s.empty() ? 0 : std::strtod(s.c_str(), &end);
      if (s.empty() || errno != 0 || *end != '\0') {
        *error = "not a number";
        return -1;
      }
      std::uint64_t bits = 0;
      std::memcpy(&bits, &d, sizeof bits);
      PutLe(out, bits, 8);
      return 0;
    }
  }
  *error = "unknown field kind";
  return -1;
}

void EncodeInitialLine(const sap::StructLayout& layout, unsigned char* line) {
  std::memset(line, 0, layout.line_size);
  for (unsigned i = 0; i < layout.field_count; ++i) {
    EncodeInitial(layout.fields[i], layout.char_width, line);
  }
}

int EncodeLine(const sap::StructLayout& layout, const std::vector<FieldValue>& values, bool fit,
               unsigned char* line, std::string* error) {
  EncodeInitialLine(layout, line);
  for (const FieldValue& v : values) {
    const sap::FieldLayout* f = sap::FindField(&layout, v.name.c_str());
    if (f == nullptr) {
      *error = "field " + v.name + " is not in " + layout.structure;
      return -1;
    }
    std::string why;
    if (EncodeField(*f, layout.char_width, v.value, fit, line, &why) != 0) {
      *error = "field " + v.name + ": " + why;
      return -1;
    }
  }
  return 0;
}

int EncodeLine(const sap::StructLayout& layout, const std::vector<FieldValue>& values, bool fit,
               std::string* line, std::string* error) {
  line->assign(layout.line_size, '\0');
  return EncodeLine(layout, values, fit, reinterpret_cast<unsigned char*>(line->data()), error);
}

}  // namespace zmo::rfc
