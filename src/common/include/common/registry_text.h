// One value under an open registry key, read whole and written: the one
// read-with-retry and the one writer that every program and zmogdlib use.
// Linked alone (zmo_registry_text) by zmogdlib, which carries no other part
// of the runtime.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace zmo {

// The stored bytes of value name, whatever its type, into *bytes. A value
// that grows between asking its size and reading it is asked again, up to
// kRegistryReadAttempts times. Returns ERROR_SUCCESS, or the store's result
// (ERROR_FILE_NOT_FOUND for a missing value, ERROR_MORE_DATA when it kept
// growing); *bytes is set only on success.
inline constexpr int kRegistryReadAttempts = 4;
LONG QueryRegistryBytes(HKEY key, const char* name, std::string* bytes);

// The text of value name: its bytes up to the first NUL (a stored value
// need not end with one). Returns as QueryRegistryBytes.
LONG ReadRegistryText(HKEY key, const char* name, std::string* out);

// Stores bytes as value name with type. Returns the store's result, or
// ERROR_INVALID_PARAMETER for more bytes than a value holds.
LONG WriteRegistryValue(HKEY key, const char* name, DWORD type, std::string_view bytes);

// Stores text up to its first NUL, with the NUL, as value name (REG_SZ
// unless type says otherwise).
LONG WriteRegistryText(HKEY key, const char* name, const char* text, DWORD type = REG_SZ);

}  // namespace zmo
