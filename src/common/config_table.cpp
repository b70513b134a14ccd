#include "common/config_table.h"

#include <strings.h>

#include <string>

#include "common/registry_value.h"
#include "zmogdlib/config_key.h"

namespace zmo {
namespace {

constexpr const char* kNotFoundLine = "could not query value <%s> for subkey <%s>%s\n";
constexpr const char* kNotStringLine = "value <%s> for subkey <%s> has not string format%s\n";

// The default as the lines spell it: an empty one (no value at all) is 0.
const char* DefaultShown(const ConfigRow& row) {
  return row.defaultText[0] != '\0' ? row.defaultText : "0";
}

void TraceFound(ConfigTraceFn trace, const ConfigRow& row, const std::string& text) {
  if (trace == nullptr) return;
  switch (row.found) {
    case ConfigFound::kQuiet:
      return;
    case ConfigFound::kText:
      trace("found value <%s> of <%s> of subkey <%s>\n", text.c_str(), row.name, cfg::kConfigKey);
      return;
    case ConfigFound::kNumber:
      trace("found value <%lli> of <%s> of subkey <%s>\n", configDecimal64(text), row.name,
            cfg::kConfigKey);
      return;
    case ConfigFound::kInt:
      trace("found value <%i> of <%s> of subkey <%s>\n", configDecimal(text), row.name,
            cfg::kConfigKey);
      return;
  }
}

// The end of a read that cannot go on: the program ends, or the code returns.
int EndProgram(const ConfigReader& reader) {
  if (reader.exit != nullptr) reader.exit(kExitMissingRegistryValue);
  return kExitMissingRegistryValue;
}

}  // namespace

void traceConfigUnread(ConfigTraceFn trace, const ConfigRow& row, ConfigRead read,
                       bool readAsDefault) {
  if (trace == nullptr || row.lines == ConfigLines::kQuiet) return;
  if (row.lines == ConfigLines::kRequired) {
    trace("Required Registry Value not found\n");
    trace("Missing Value = %s\n", row.name);
    return;
  }
  std::string suffix;
  if (row.lines == ConfigLines::kSettingDefault) {
    suffix = std::string(" setting default to ") + DefaultShown(row) + " " + row.unit + ".";
  }
  trace(read == ConfigRead::kNotString ? kNotStringLine : kNotFoundLine, row.name, cfg::kConfigKey,
        suffix.c_str());
  if (readAsDefault) traceConfigDefault(trace, row);
}

int readConfigValue(HKEY key, const ConfigRow& row, const ConfigReader& reader, std::string* out,
                    ConfigRead* how) {
  ConfigRead read = ConfigRead::kMissing;
  if (key != nullptr) {
    read = row.type == ConfigType::kAny ? readConfigBytes(key, row.name, row.maxChars, out)
                                        : readConfigText(key, row.name, row.maxChars, out);
  } else {
    out->clear();
  }
  if (how != nullptr) *how = read;
  if (read == ConfigRead::kFound) {
    if (row.number) *out = std::string(numberSettingText(*out));
    TraceFound(reader.trace, row, *out);
    return 0;
  }
  if (read == ConfigRead::kNotString && row.type == ConfigType::kText) {
    traceConfigUnread(reader.trace, row, read, false);
    return row.notStringCode;
  }
  const bool readAsDefault = row.missing == ConfigMissing::kDefault;
  traceConfigUnread(reader.trace, row, read, readAsDefault);
  switch (row.missing) {
    case ConfigMissing::kDefault:
      *out = row.defaultText;
      return 0;
    case ConfigMissing::kFail:
      return row.missingCode;
    case ConfigMissing::kExit:
      break;
  }
  return EndProgram(reader);
}

int readConfigValue(const ConfigRow& row, const ConfigReader& reader, std::string* out,
                    ConfigRead* how) {
  HKEY key = nullptr;
  const LONG open_rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key);
  if (open_rc != ERROR_SUCCESS) {
    key = nullptr;
    if (open_rc == ERROR_BADDB && reader.damaged != nullptr) {
      reader.damaged(RegistryDamageText(open_rc).c_str());
    }
    if (reader.keyMissingLine != nullptr) {
      out->clear();
      if (how != nullptr) *how = ConfigRead::kMissing;
      if (reader.trace != nullptr) {
        reader.trace("%s", reader.keyMissingLine);
        reader.trace("Missing Key = %s\\%s\n", "HKEY_LOCAL_MACHINE", cfg::kConfigKey);
      }
      return EndProgram(reader);
    }
  }
  const int rc = readConfigValue(key, row, reader, out, how);
  if (key != nullptr) RegCloseKey(key);
  return rc;
}

void traceConfigDefault(ConfigTraceFn trace, const ConfigRow& row) {
  if (trace == nullptr) return;
  if (row.lines == ConfigLines::kAssumingDefault) {
    trace("assuming default of <%s>\n", DefaultShown(row));
  } else if (row.lines == ConfigLines::kUsingDefault) {
    trace("using default value of <%s> %s\n", DefaultShown(row), row.unit);
  }
}

const ConfigRow* findConfigRow(std::span<const ConfigRow> table, const char* name) {
  for (const ConfigRow& row : table) {
    if (strcasecmp(row.name, name) == 0) return &row;
  }
  return nullptr;
}

}  // namespace zmo
