#include "registry_read.h"

#include <cstdlib>

#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"

const char* snapKeyPath() { return zmo::cfg::kConfigKey; }

bool SnapConfigKey::Open() {
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, snapKeyPath(), 0, KEY_QUERY_VALUE, &key_) ==
      ERROR_SUCCESS) {
    return true;
  }
  key_ = nullptr;
  // Without the key nothing can run: worth a line whatever the switch says.
  const int was = zmo::TraceSwitch();
  zmo::SetTraceSwitch(1);
  zmo::writeTrace("could not open subkey <%s>\n", snapKeyPath());
  zmo::SetTraceSwitch(was);
  return false;
}

SnapRead snapReadText(HKEY key, const char* name, size_t bufferSize, std::string* out,
                      LONG* status) {
  LONG ignored = 0;
  LONG& rc = status != nullptr ? *status : ignored;
  out->clear();
  DWORD type = REG_NONE;
  DWORD size = 0;
  rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return SnapRead::kMissing;
  std::string text;
  rc = zmo::ReadRegistryText(key, name, &text);
  if (rc != ERROR_SUCCESS) return SnapRead::kMissing;
  if (text.size() + 1 > bufferSize) {
    rc = ERROR_MORE_DATA;
    return SnapRead::kMissing;
  }
  if (type != REG_SZ) return SnapRead::kNotString;
  *out = text;
  return SnapRead::kFound;
}

int snapReadRequiredText(HKEY key, const char* name, size_t bufferSize, int missingCode,
                         std::string* out) {
  switch (snapReadText(key, name, bufferSize, out)) {
    case SnapRead::kFound:
      return 0;
    case SnapRead::kMissing:
      zmo::writeTrace("could not query value <%s> for subkey <%s>\n", name, snapKeyPath());
      return missingCode;
    case SnapRead::kNotString:
      zmo::writeTrace("value <%s> for subkey <%s> has not string format\n", name, snapKeyPath());
      return missingCode + 1;
  }
  return missingCode;
}

long long snapDecimal(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }
