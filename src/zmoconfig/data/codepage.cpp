#include "zmoconfig/codepage.h"

#include <cstdint>

namespace zmo::config {

namespace {

// Unicode of the bytes 0x80-0x9F; the five bytes the code page leaves
// undefined map to the C1 control of the same value, so every byte survives
// a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char16_t ToUnicode(unsigned char c) {
  return c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

char FromUnicode(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == u) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AppendUtf8(char32_t u, std::string* out) {
  if (u < 0x80) {
    *out += static_cast<char>(u);
  } else if (u < 0x800) {
    *out += static_cast<char>(0xC0 | (u >> 6));
    *out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (u >> 12));
    *out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// The next code point of UTF-8 text at *pos; a malformed sequence gives
// U+FFFD for its first byte.
char32_t NextUtf8(std::string_view text, size_t* pos) {
  const auto lead = static_cast<unsigned char>(text[(*pos)++]);
  int more = 0;
  char32_t u = 0;
  if (lead < 0x80) return lead;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    u = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    u = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    u = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  if (*pos + more > text.size()) return 0xFFFD;
  for (int i = 0; i < more; ++i) {
    const auto c = static_cast<unsigned char>(text[*pos + i]);
    if ((c & 0xC0) != 0x80) return 0xFFFD;
    u = (u << 6) | (c & 0x3F);
  }
  *pos += more;
  return u;
}

}  // namespace

std::u16string Cp1252ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out += ToUnicode(static_cast<unsigned char>(c));
  return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(ToUnicode(static_cast<unsigned char>(c)), &out);
  return out;
}

std::string Utf16ToCp1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    // A surrogate pair is one character outside the code page.
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
      out += '?';
      continue;
    }
    out += FromUnicode(u);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) out += FromUnicode(NextUtf8(text, &pos));
  return out;
}

}  // namespace zmo::config
