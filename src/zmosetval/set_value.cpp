// Setting one value: an existing value keeps its type, a new one is REG_SZ
// (REG_BINARY with -b).
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/registry_text.h"
#include "key_errors.h"
#include "zmosetval/zmosetval.h"

namespace zmo::setval {

namespace {

// Value names are at most this long in the store's callers; the buffer is
// widened when the key reports a longer one so that no name is missed.
constexpr DWORD kValueNameMax = 128;
// Source line named by the enumeration trace, kept as the tool always printed it.
constexpr int kEnumTraceLine = 67;

}  // namespace

int findRegValue(const char* key_name, const char* value_name, HKEY key, DWORD* type) {
  (void)key_name;
  DWORD values = 0;
  DWORD max_name = 0;
  DWORD max_data = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                       &max_name, &max_data, nullptr, nullptr) != ERROR_SUCCESS) {
    return -1;
  }
  std::vector<char> name(std::max(max_name, kValueNameMax) + 1);
  for (DWORD i = 0; i < values; i++) {
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD t = REG_NONE;
    LONG ret = RegEnumValueA(key, i, name.data(), &name_len, nullptr, &t, nullptr, nullptr);
    if (ret == ERROR_NO_MORE_ITEMS) break;  // values went away meanwhile
    if (ret == ERROR_MORE_DATA) continue;   // longer than any name we look for
    if (ret != ERROR_SUCCESS) {
      std::printf("Line:%d index = %d, ret = %d, ValueLen = %d\n", kEnumTraceLine,
                  static_cast<int>(i), static_cast<int>(ret), static_cast<int>(name_len));
      return -1;
    }
    if (strcasecmp(name.data(), value_name) == 0) {
      *type = t;
      return static_cast<int>(i);
    }
  }
  return -1;
}

int setvalSetValue(HKEY root, const char* key, const char* value_name, const std::string& data,
                   bool binary) {
  char no_class[1] = "";
  HKEY h = nullptr;
  DWORD disposition = 0;
  LONG ret = RegCreateKeyExA(root, key, 0, no_class, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, &h, &disposition);
  if (ret != ERROR_SUCCESS) {
    setvalReportKeyError(ret, key, kOpenKeyFailed);
    return kSetvalRegistryFailed;
  }

  DWORD type = binary ? REG_BINARY : REG_SZ;
  DWORD existing = REG_NONE;
  if (findRegValue(key, value_name, h, &existing) >= 0) type = existing;

  // Text is stored up to its first NUL with the NUL; binary data with its
  // byte count.
  ret = binary ? zmo::WriteRegistryValue(h, value_name, type, data)
               : zmo::WriteRegistryText(h, value_name, data.c_str(), type);
  RegCloseKey(h);
  if (ret != ERROR_SUCCESS) {
    setvalReportDamage(ret);
    std::printf("*** ERROR: %d from RegSetValueEx\n", static_cast<int>(ret));
    return kSetvalRegistryFailed;
  }
  return kSetvalOk;
}

}  // namespace zmo::setval
