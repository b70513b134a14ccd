// ReadRegistry and UpdateRegistry: the configurator's access to the values
// under the configuration key.
#include <cstring>
#include <vector>

#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmogdlib/zmogdlib.h"

namespace {

// The callers' output buffers hold 255 characters: the text and its NUL.
constexpr size_t kMaxCopy = 254;
// A value that grows between asking its size and reading it is asked again,
// a few times.
constexpr int kReadAttempts = 4;

// Reads the whole value into data. Returns a registry result.
LONG QueryValue(HKEY key, const char* name, std::vector<BYTE>* data) {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    data->assign(size + 1, 0);  // one spare byte, so a size of 0 still has a buffer
    rc = RegQueryValueExA(key, name, nullptr, nullptr, data->data(), &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc == ERROR_SUCCESS) data->resize(size);
    return rc;
  }
  return ERROR_MORE_DATA;
}

}  // namespace

extern "C" int ReadRegistry(const char* name, char* out) {
  if (!out) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  std::vector<BYTE> data;
  LONG rc = QueryValue(key, name ? name : "", &data);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return 0;  // out stays as it was
  // The text up to its NUL, or all of it when it has none; the type is not
  // tested. Bounded to the caller's buffer and always terminated.
  size_t len = 0;
  while (len < data.size() && len < kMaxCopy && data[len] != 0) ++len;
  std::memcpy(out, data.data(), len);
  out[len] = '\0';
  return static_cast<int>(len);
}

extern "C" int UpdateRegistry(const char* name, const char* value) {
  if (!value) value = "";
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return 1;
  }
  size_t size = std::strlen(value) + 1;  // the NUL is stored too
  LONG rc = size > 0xFFFFFFFFu
                ? ERROR_INVALID_PARAMETER
                : RegSetValueExA(key, name ? name : "", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(size));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? 0 : 5;
}
