// Values of the programs' configuration key in the registry store, as the
// configurator leaves them: written, deleted and read back by name.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/registry.h"
#include "zmo_test/registry.h"
#include "zmogdlib/config_key.h"

namespace zmo_test {

// Stores a value of the given type under the configuration key.
inline void PutConfigValue(const char* name, DWORD type, const void* data, DWORD size) {
  PutValue(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, name,
           {type, std::string(static_cast<const char*>(data), size)});
}
// A REG_SZ value: the text and its NUL.
inline void PutConfigText(const char* name, const std::string& text) {
  PutValue(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, name, Sz(text));
}
inline void PutConfigDword(const char* name, DWORD value) {
  PutConfigValue(name, REG_DWORD, &value, sizeof value);
}

// Deletes the value when it is there; returns how opening the key went.
inline LONG DeleteConfigValue(const char* name) {
  return DeleteValue(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, name);
}

// The text of a value up to its first NUL, or "<missing>".
inline std::string ConfigText(const char* name) {
  const std::optional<RegValue> v = GetValue(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, name);
  return v ? std::string(v->bytes.c_str()) : "<missing>";
}

// Creates the configuration key with no values in it.
inline void CreateConfigKey() {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// The configuration key opened for reading; the caller closes it.
inline HKEY OpenConfigKey() {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  return key;
}

}  // namespace zmo_test
