// Internal: the registry tree of one root key, as held in memory between a
// read of its file and the next write.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wintypes.h"

namespace zmo::reg {

// Limits the store enforces, so that a caller's buffer or a hand-edited file
// can never make a name or a nesting without bound.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
constexpr size_t kMaxKeyDepth = 512;

// Names compare as Windows-1252 text without regard to case.
unsigned char FoldCase(unsigned char c);
int CompareNames(std::string_view a, std::string_view b);
bool NamesEqual(std::string_view a, std::string_view b);

struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNames(a, b) < 0; }
};

struct Value {
  std::string name;  // "" is the default value
  DWORD type = 0;
  std::string data;  // the exact bytes
};

struct Key {
  std::vector<Value> values;  // in the order they were created
  // Subkeys by name, in case-insensitive order; the map key keeps the case
  // the key was created with.
  std::map<std::string, std::unique_ptr<Key>, NameLess> subkeys;

  Value* FindValue(std::string_view name);
  Key* FindSubkey(std::string_view name);
  // The subkey of that name, created when missing.
  Key* AddSubkey(std::string_view name, bool* created);
};

// True when name holds a control byte, which the text format cannot carry in
// a name.
bool HasControlByte(std::string_view name);

// Appends the parts of a '\'-separated path to parts. A trailing '\' is
// allowed; an empty part elsewhere, a part longer than kMaxKeyNameLength or
// holding a control byte, or a depth past kMaxKeyDepth is refused.
// Returns 0 or ERROR_INVALID_PARAMETER.
LONG SplitKeyPath(std::string_view path, std::vector<std::string>* parts);

// The key below root that parts names, or nullptr.
Key* FindKey(Key* root, const std::vector<std::string>& parts);

}  // namespace zmo::reg
