#include "registry_read.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "common/trace_log.h"
#include "zmogdlib/config_key.h"

const char* statiKeyPath() { return zmo::cfg::kConfigKey; }

bool statiOpenConfigKey(REGSAM access, HKEY* key) {
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, statiKeyPath(), 0, access, key) == ERROR_SUCCESS) {
    return true;
  }
  // A missing key is always worth a line, whatever the switch says.
  const int was = zmo::TraceSwitch();
  zmo::SetTraceSwitch(1);
  zmo::writeTrace("could not open subkey <%s>\n", statiKeyPath());
  zmo::SetTraceSwitch(was);
  return false;
}

StatiRead statiReadText(HKEY key, const char* name, size_t maxChars, std::string* out) {
  out->clear();
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return StatiRead::kMissing;
  }
  std::vector<BYTE> data(size + 1, 0);
  if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
    return StatiRead::kMissing;
  }
  data[size] = 0;
  std::string text(reinterpret_cast<const char*>(data.data()));
  if (text.size() > maxChars) return StatiRead::kMissing;
  if (type != REG_SZ) return StatiRead::kNotString;
  *out = text;
  return StatiRead::kFound;
}

int statiReadRequiredText(HKEY key, const char* name, size_t maxChars, int missingCode,
                          int notStringCode, std::string* out) {
  switch (statiReadText(key, name, maxChars, out)) {
    case StatiRead::kMissing:
      statiTraceNotFound(name);
      return missingCode;
    case StatiRead::kNotString:
      statiTraceNotString(name);
      return notStringCode;
    case StatiRead::kFound:
      break;
  }
  return 0;
}

bool statiValueExists(HKEY key, const char* name) {
  DWORD size = 0;
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

long long statiDecimal64(const std::string& text) {
  errno = 0;
  return std::strtoll(text.c_str(), nullptr, 10);  // saturates on overflow
}

int statiDecimal(const std::string& text) {
  long long v = statiDecimal64(text);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

void statiTraceNotFound(const char* name) {
  zmo::writeTrace("could not query value <%s> for subkey <%s>\n", name, statiKeyPath());
}

void statiTraceNotString(const char* name) {
  zmo::writeTrace("value <%s> for subkey <%s> has not string format\n", name, statiKeyPath());
}

void statiTraceAssumingDefault(const char* name, int value) {
  statiTraceNotFound(name);
  zmo::writeTrace("assuming default of <%i>\n", value);
}
