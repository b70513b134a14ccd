#include "registry_model.h"

#include <algorithm>

namespace zmo::reg {

unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  // The Windows-1252 letters with an upper-case partner.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // s caron
    case 0x9C:
      return 0x8C;  // oe
    case 0x9E:
      return 0x8E;  // z caron
    case 0xFF:
      return 0x9F;  // y diaeresis
    default:
      return c;
  }
}

int CompareNames(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = FoldCase(static_cast<unsigned char>(a[i]));
    unsigned char y = FoldCase(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool NamesEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNames(a, b) == 0;
}

Value* Key::FindValue(std::string_view name) {
  for (Value& v : values) {
    if (NamesEqual(v.name, name)) return &v;
  }
  return nullptr;
}

Key* Key::FindSubkey(std::string_view name) {
  auto it = subkeys.find(name);
  return it == subkeys.end() ? nullptr : it->second.get();
}

Key* Key::AddSubkey(std::string_view name, bool* created) {
  auto it = subkeys.find(name);
  if (it != subkeys.end()) {
    *created = false;
    return it->second.get();
  }
  *created = true;
  auto& slot = subkeys[std::string(name)];
  slot = std::make_unique<Key>();
  return slot.get();
}

bool HasControlByte(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    return c < 0x20 || c == 0x7F;
  });
}

LONG SplitKeyPath(std::string_view path, std::vector<std::string>* parts) {
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view part = path.substr(start, end - start);
    if (part.empty() || part.size() > kMaxKeyNameLength || HasControlByte(part)) {
      return ERROR_INVALID_PARAMETER;
    }
    if (parts->size() >= kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    parts->emplace_back(part);
    start = end + 1;  // past the separator; a trailing one ends the loop
  }
  return ERROR_SUCCESS;
}

Key* FindKey(Key* root, const std::vector<std::string>& parts) {
  Key* key = root;
  for (const std::string& part : parts) {
    key = key->FindSubkey(part);
    if (!key) return nullptr;
  }
  return key;
}

}  // namespace zmo::reg
