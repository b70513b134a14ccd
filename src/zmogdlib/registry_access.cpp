// ReadRegistry and UpdateRegistry: the configurator's access to the values
// under the configuration key.
#include <cstring>
#include <string>

#include "common/registry_text.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmogdlib/zmogdlib.h"

namespace {

// The callers' output buffers hold 255 characters: the text and its NUL.
constexpr size_t kMaxCopy = 254;

}  // namespace

extern "C" int ReadRegistry(const char* name, char* out) {
  if (!out) return 0;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  std::string data;
  LONG rc = zmo::QueryRegistryBytes(key, name ? name : "", &data);
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
  const LONG rc = zmo::WriteRegistryText(key, name ? name : "", value);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? 0 : 5;
}
