#include "registry_text.h"

#include <string_view>

#include "platform/registry.h"

namespace zmo::reg {

namespace {

constexpr char kHeader[] = "REGEDIT4";
constexpr char kHexDigits[] = "0123456789abcdef";

// ---- Writing ----

void AppendHexDigits(std::string* out, DWORD n, int min_digits) {
  char buf[8];
  int len = 0;
  do {
    buf[len++] = kHexDigits[n & 0xF];
    n >>= 4;
  } while (n != 0);
  for (int i = len; i < min_digits; ++i) out->push_back('0');
  while (len > 0) out->push_back(buf[--len]);
}

void AppendQuoted(std::string* out, std::string_view text) {
  out->push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"') out->push_back('\\');
    out->push_back(c);
  }
  out->push_back('"');
}

void AppendHexBytes(std::string* out, std::string_view data) {
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out->push_back(',');
    AppendHexDigits(out, static_cast<unsigned char>(data[i]), 2);
  }
}

// A REG_SZ is written as quoted text only when that reads back to the same
// bytes: a single NUL at the end and no control byte before it. Anything else
// (no NUL, embedded NULs, line breaks) is written as hex(1).
bool IsPlainText(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  return !HasControlByte(std::string_view(data.data(), data.size() - 1));
}

void AppendValue(std::string* out, const Value& v) {
  if (v.name.empty()) {
    out->push_back('@');
  } else {
    AppendQuoted(out, v.name);
  }
  out->push_back('=');
  if (v.type == REG_SZ && IsPlainText(v.data)) {
    AppendQuoted(out, std::string_view(v.data.data(), v.data.size() - 1));
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(v.data.data());
    out->append("dword:");
    AppendHexDigits(out, DWORD{b[0]} | DWORD{b[1]} << 8 | DWORD{b[2]} << 16 | DWORD{b[3]} << 24, 8);
  } else if (v.type == REG_BINARY) {
    out->append("hex:");
    AppendHexBytes(out, v.data);
  } else {
    out->append("hex(");
    AppendHexDigits(out, v.type, 1);
    out->append("):");
    AppendHexBytes(out, v.data);
  }
  out->push_back('\n');
}

void AppendSection(std::string* out, const std::string& path, const Key& key) {
  out->push_back('[');
  out->append(path);
  out->append("]\n");
  for (const Value& v : key.values) AppendValue(out, v);
  out->push_back('\n');
}

void AppendSubkeys(std::string* out, std::string* path, const Key& key) {
  for (const auto& [name, sub] : key.subkeys) {
    size_t len = path->size();
    path->push_back('\\');
    path->append(name);
    AppendSection(out, *path, *sub);
    AppendSubkeys(out, path, *sub);
    path->resize(len);
  }
}

// ---- Reading ----
// Each reader returns nullptr, or what is wrong with the line.

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to eight hex digits and nothing else.
bool ReadHexNumber(std::string_view s, DWORD* out) {
  if (s.empty() || s.size() > 8) return false;
  DWORD n = 0;
  for (char c : s) {
    int d = HexValue(c);
    if (d < 0) return false;
    n = n << 4 | static_cast<DWORD>(d);
  }
  *out = n;
  return true;
}

// Bytes as two hex digits each, separated by commas; none at all is allowed.
const char* ReadHexBytes(std::string_view s, std::string* out) {
  s = Trim(s);
  size_t i = 0;
  while (i < s.size()) {
    if (i + 1 >= s.size() || HexValue(s[i]) < 0 || HexValue(s[i + 1]) < 0) {
      return "expected two hex digits per byte";
    }
    out->push_back(static_cast<char>(HexValue(s[i]) << 4 | HexValue(s[i + 1])));
    i += 2;
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i == s.size()) break;
    if (s[i] != ',') return "expected ',' between hex bytes";
    ++i;
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i == s.size()) return "hex bytes end in ','";
  }
  return nullptr;
}

// Quoted text starting at *pos, with \\ and \" as its only escapes.
const char* ReadQuoted(std::string_view line, size_t* pos, std::string* out) {
  size_t i = *pos + 1;  // past the opening quote
  while (i < line.size()) {
    char c = line[i];
    if (c == '"') {
      *pos = i + 1;
      return nullptr;
    }
    if (c == '\\') {
      if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"')) {
        return "bad escape in quoted text (only \\\\ and \\\" are known)";
      }
      c = line[++i];
    } else if (HasControlByte(std::string_view(&line[i], 1))) {
      return "control byte in quoted text";
    }
    out->push_back(c);
    ++i;
  }
  return "quoted text lacks its closing quote";
}

const char* ReadData(std::string_view s, Value* v) {
  if (!s.empty() && s.front() == '"') {
    size_t pos = 0;
    if (const char* err = ReadQuoted(s, &pos, &v->data)) return err;
    if (pos != s.size()) return "text after the closing quote";
    v->data.push_back('\0');
    v->type = REG_SZ;
    return nullptr;
  }
  if (s.starts_with("dword:")) {
    DWORD n;
    if (!ReadHexNumber(s.substr(6), &n)) return "dword: needs one to eight hex digits";
    for (int i = 0; i < 4; ++i) v->data.push_back(static_cast<char>(n >> (8 * i) & 0xFF));
    v->type = REG_DWORD;
    return nullptr;
  }
  if (s.starts_with("hex:")) {
    v->type = REG_BINARY;
    return ReadHexBytes(s.substr(4), &v->data);
  }
  if (s.starts_with("hex(")) {
    size_t close = s.find("):", 4);
    if (close == std::string_view::npos || !ReadHexNumber(s.substr(4, close - 4), &v->type)) {
      return "hex(N): needs a type of one to eight hex digits";
    }
    return ReadHexBytes(s.substr(close + 2), &v->data);
  }
  return "unknown value form (expected \"text\", dword:, hex: or hex(N):)";
}

const char* ReadValueLine(std::string_view line, Value* v) {
  size_t pos = 0;
  if (line.front() == '@') {
    pos = 1;
  } else if (line.front() == '"') {
    if (const char* err = ReadQuoted(line, &pos, &v->name)) return err;
    if (v->name.size() > kMaxValueNameLength) return "value name too long";
  } else {
    return "expected \"name\"= or @= (or a [key] section)";
  }
  if (pos >= line.size() || line[pos] != '=') return "expected '=' after the value name";
  return ReadData(Trim(line.substr(pos + 1)), v);
}

const char* ReadSection(std::string_view line, const char* root_name, Key* root, Key** current) {
  if (line.back() != ']') return "section lacks its closing ']'";
  std::string_view path = line.substr(1, line.size() - 2);
  size_t sep = path.find('\\');
  std::string_view first = path.substr(0, sep);
  if (!NamesEqual(first, root_name)) return "section names a key outside this file's root key";
  std::vector<std::string> parts;
  if (sep != std::string_view::npos && SplitKeyPath(path.substr(sep + 1), &parts) != 0) {
    return "bad key name in section";
  }
  Key* key = root;
  for (const std::string& part : parts) {
    bool created;
    key = key->AddSubkey(part, &created);
  }
  *current = key;
  return nullptr;
}

}  // namespace

std::string SerializeRoot(const char* root_name, const Key& root) {
  std::string out = kHeader;
  out.append("\n\n");
  std::string path = root_name;
  if (!root.values.empty()) AppendSection(&out, path, root);
  AppendSubkeys(&out, &path, root);
  return out;
}

LONG ParseRoot(const std::string& file, const std::string& text, const char* root_name, Key* root,
               std::string* error) {
  Key* current = nullptr;
  size_t line_no = 0;
  size_t start = 0;
  while (start < text.size() || line_no == 0) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    ++line_no;

    const char* err = nullptr;
    if (line_no == 1) {
      if (line != kHeader) err = "first line is not REGEDIT4";
    } else if (line.empty() || line.front() == ';') {
      continue;  // blank line or comment
    } else if (line.front() == '[') {
      err = ReadSection(line, root_name, root, &current);
    } else if (!current) {
      err = "value before the first [key] section";
    } else {
      Value v;
      err = ReadValueLine(line, &v);
      if (!err) {
        // A name given twice in a section: the later line holds, as on import.
        if (Value* old = current->FindValue(v.name)) {
          old->type = v.type;
          old->data = std::move(v.data);
        } else {
          current->values.push_back(std::move(v));
        }
      }
    }
    if (err) {
      *error = file + ":" + std::to_string(line_no) + ": " + err;
      return ERROR_BADDB;
    }
  }
  return ERROR_SUCCESS;
}

}  // namespace zmo::reg
