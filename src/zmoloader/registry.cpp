#include "zmoloader/registry.h"

#include <strings.h>

#include <cstdio>
#include <string>

#include "common/registry_value.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace {

// The values a run can do without, and what they read as then.
struct ValueDefault {
  const char* name;
  const char* text;
};
constexpr ValueDefault kDefaults[] = {
    {zmo::cfg::kSystemSLA, "0"},
    {zmo::cfg::kLoadDebug, "null"},
    {zmo::cfg::kProcessQRBData, "True"},
};

}  // namespace

int loaderQueryReg(const char* name, std::string* out) {
  HKEY key = nullptr;
  const LONG open_rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0,
                                     KEY_QUERY_VALUE, &key);
  if (open_rc != ERROR_SUCCESS) {
    if (open_rc == ERROR_BADDB) {
      // Without the store there is no trace switch and no BinDir for the
      // trace log: standard error tells it too.
      const std::string damage = zmo::RegistryDamageText(open_rc);
      std::fprintf(stderr, "zmoloader: %s\n", damage.c_str());
      loaderLog("ERROR - ERROR: %s\n", damage.c_str());
    }
    loaderLog("Required Registry Key not found\n");
    loaderLog("Missing Key = %s\\%s\n", "HKEY_LOCAL_MACHINE", zmo::cfg::kConfigKey);
    return kLoaderExitError;
  }
  LONG rc = zmo::ReadRegistryText(key, name, out);
  RegCloseKey(key);
  if (rc == ERROR_SUCCESS) return 0;
  for (const ValueDefault& d : kDefaults) {
    if (strcasecmp(name, d.name) == 0) {
      *out = d.text;
      return 0;
    }
  }
  loaderLog("Required Registry Value not found\n");
  loaderLog("Missing Value = %s\n", name);
  return kLoaderExitError;
}

long loaderUpdateReg(const char* value, const char* name) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  std::string text = value != nullptr ? value : "";
  rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                      static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
  return rc;
}
