#include "common/config_values.h"

#include <climits>
#include <cstdlib>

#include "common/config_table.h"
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
  const bool was = TraceSwitch();
  SetTraceSwitch(true);
  writeTrace("could not open subkey <%s>\n", cfg::kConfigKey);
  if (rc == ERROR_BADDB) writeTrace("%s\n", RegistryDamageText(rc).c_str());
  SetTraceSwitch(was);
  return false;
}

namespace {

// The stored text of name up to its first NUL, when it is at most maxChars
// long; anyType takes it whatever its stored type.
ConfigRead ReadStored(HKEY key, const char* name, size_t maxChars, bool anyType, std::string* out,
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
  if (type != REG_SZ && !anyType) return ConfigRead::kNotString;
  *out = text;
  return ConfigRead::kFound;
}

}  // namespace

ConfigRead readConfigText(HKEY key, const char* name, size_t maxChars, std::string* out,
                          LONG* status) {
  return ReadStored(key, name, maxChars, false, out, status);
}

ConfigRead readConfigBytes(HKEY key, const char* name, size_t maxChars, std::string* out) {
  return ReadStored(key, name, maxChars, true, out, nullptr);
}

bool configSwitchOn(HKEY key, const char* name) {
  // Only the exact text switches on, so no length limit changes the answer.
  std::string text;
  readConfigValue(key, switchConfigRow(name), ConfigReader{}, &text);
  return text == cfg::kTrue;
}

bool configValueExists(HKEY key, const char* name) {
  std::string text;
  return readConfigValue(key, quietConfigRow(name), ConfigReader{}, &text) == 0;
}

std::string_view numberSettingText(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n')) --end;
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  size_t start = 0;
  while (start < end && (text[start] == ' ' || text[start] == '\t')) ++start;
  return text.substr(start, end - start);
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
  traceConfigUnread(writeTrace, ConfigRow{.name = name, .lines = ConfigLines::kStandard},
                    ConfigRead::kMissing, false);
}

void traceValueNotString(const char* name) {
  traceConfigUnread(writeTrace, ConfigRow{.name = name, .lines = ConfigLines::kStandard},
                    ConfigRead::kNotString, false);
}

}  // namespace zmo
