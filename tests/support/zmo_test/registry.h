// The registry store as the tests set it up and look into it: values with
// their type and bytes, written, read back and deleted under any key, and a
// fixture whose store is a temp dir of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "platform/registry.h"
#include "zmo_test/scoped.h"

namespace zmo_test {

// A value as stored: its type and its bytes.
struct RegValue {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const RegValue&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const RegValue& v) {
  os << "type " << v.type << " bytes \"";
  for (char c : v.bytes) {
    if (c == '\0') {
      os << "\\0";
    } else if (c == '\n') {
      os << "\\n";
    } else {
      os << c;
    }
  }
  return os << '"';
}

// A REG_SZ value's bytes: the text and its NUL.
inline RegValue Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

// Stores the value under key, creating the key.
inline void PutValue(HKEY root, const std::string& key, const std::string& name,
                     const RegValue& v) {
  HKEY h = nullptr;
  char no_class[1] = "";
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, no_class, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &h, nullptr),
            ERROR_SUCCESS)
      << key;
  EXPECT_EQ(
      RegSetValueExA(h, name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.bytes.data()),
                     static_cast<DWORD>(v.bytes.size())),
      ERROR_SUCCESS)
      << name;
  RegCloseKey(h);
}

// The value as stored, or nullopt when the key or the value is missing.
inline std::optional<RegValue> GetValue(HKEY root, const std::string& key,
                                        const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
  RegValue v;
  DWORD size = 0;
  LONG ret = RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size);
  if (ret == ERROR_SUCCESS) {
    v.bytes.resize(size);
    ret = RegQueryValueExA(h, name.c_str(), nullptr, &v.type,
                           reinterpret_cast<BYTE*>(v.bytes.data()), &size);
  }
  RegCloseKey(h);
  if (ret != ERROR_SUCCESS) return std::nullopt;
  return v;
}

inline bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

// Deletes the value when it is there; returns how opening the key went, so
// that a caller that expects the key can say so.
inline LONG DeleteValue(HKEY root, const std::string& key, const std::string& name) {
  HKEY h = nullptr;
  const LONG opened = RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &h);
  if (opened != ERROR_SUCCESS) return opened;
  RegDeleteValueA(h, name.c_str());
  RegCloseKey(h);
  return opened;
}

// A test with its own registry store and TEMP directory, both in one temp dir.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : registry_("ZMO_REGISTRY", dir_ / "registry"), temp_("TEMP", dir_ / "temp") {
    std::filesystem::create_directories(dir_ / "registry");
  }
  TempDir dir_;
  ScopedEnv registry_;
  ScopedEnv temp_;
};

}  // namespace zmo_test
