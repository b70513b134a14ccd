#include "common/config_values.h"

#include <climits>
#include <cstdlib>

#include "common/registry_value.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"

namespace zmo {

ConfigKey::~ConfigKey() {
  if (key_ != nullptr) RegCloseKey(key_);
}

bool ConfigKey::Open(REGSAM access) {
  const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, cfg::kConfigKey, 0, access, &key_);
  if (rc == ERROR_SUCCESS) return true;
  key_ = nullptr;
  const int was = TraceSwitch();
  SetTraceSwitch(1);
  writeTrace("could not open subkey <%s>\n", cfg::kConfigKey);
  if (rc == ERROR_BADDB) writeTrace("%s\n", RegistryDamageText(rc).c_str());
  SetTraceSwitch(was);
  return false;
}

ConfigRead readConfigText(HKEY key, const char* name, size_t maxChars, std::string* out,
                          LONG* status) {
  LONG ignored = 0;
  LONG& rc = status != nullptr ? *status : ignored;
  out->clear();
  DWORD type = REG_NONE;
  DWORD size = 0;
  rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return ConfigRead::kMissing;
  std::string text;
  rc = ReadRegistryText(key, name, &text);
  if (rc != ERROR_SUCCESS) return ConfigRead::kMissing;
  if (text.size() > maxChars) {
    rc = ERROR_MORE_DATA;
    return ConfigRead::kMissing;
  }
  if (type != REG_SZ) return ConfigRead::kNotString;
  *out = text;
  return ConfigRead::kFound;
}

int readRequiredConfigText(HKEY key, const char* name, size_t maxChars, int missingCode,
                           int notStringCode, std::string* out) {
  switch (readConfigText(key, name, maxChars, out)) {
    case ConfigRead::kFound:
      return 0;
    case ConfigRead::kMissing:
      traceValueNotFound(name);
      return missingCode;
    case ConfigRead::kNotString:
      traceValueNotString(name);
      return notStringCode;
  }
  return missingCode;
}

bool configSwitchOn(HKEY key, const char* name) {
  // Only the exact text switches on, so no length limit changes the answer.
  std::string text;
  return readConfigText(key, name, std::string::npos, &text) == ConfigRead::kFound &&
         text == cfg::kTrue;
}

bool configValueExists(HKEY key, const char* name) {
  DWORD size = 0;
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

long long configDecimal64(const std::string& text) {
  return std::strtoll(text.c_str(), nullptr, 10);  // saturates on overflow
}

int configDecimal(const std::string& text) {
  const long long v = configDecimal64(text);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

void traceValueNotFound(const char* name) {
  writeTrace("could not query value <%s> for subkey <%s>\n", name, cfg::kConfigKey);
}

void traceValueNotString(const char* name) {
  writeTrace("value <%s> for subkey <%s> has not string format\n", name, cfg::kConfigKey);
}

void traceValueAssumingDefault(const char* name, int value) {
  traceValueNotFound(name);
  writeTrace("assuming default of <%i>\n", value);
}

}  // namespace zmo
