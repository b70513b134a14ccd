// The configuration values zmomsg reads: BinDir and the size limit of a log.
#include <vector>

#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmomsg/zmomsg.h"

std::optional<std::string> readRegString(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG ret = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size + 1);
  // The value may change between the two calls; a short buffer (234) then
  // counts as missing rather than as a cut text.
  if (ret == ERROR_SUCCESS) ret = RegQueryValueExA(key, name, nullptr, &type, data.data(), &size);
  RegCloseKey(key);
  if (ret != ERROR_SUCCESS) return std::nullopt;
  // The stored bytes need not end in NUL; the text ends at the first one.
  data[size] = 0;
  return std::string(reinterpret_cast<const char*>(data.data()));
}
