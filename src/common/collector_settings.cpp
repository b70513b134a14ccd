#include "common/collector_settings.h"

#include "common/config_table.h"
#include "common/config_values.h"
#include "common/db_kind.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"

namespace zmo {

void readDebugSwitch(HKEY key, const ConfigRow& row) {
  std::string text;
  readConfigValue(key, row, ConfigReader{}, &text);
  if (text == cfg::kTrue) {
    if (!TraceSwitch()) {
      SetTraceSwitch(true);
      writeTrace("debug switched on\n");
    }
    return;
  }
  writeTrace("debug switched off now\n");
  SetTraceSwitch(false);
}

int readDbKind(HKEY key, const DbKindRead& how, DbKind* kind) {
  if (how.clearKindFirst) setDatabaseKind(DbKind::kNone);
  std::string text;
  LONG status = 0;
  switch (readConfigText(key, kDbKindRow.name, kDbKindRow.maxChars, &text, &status)) {
    case ConfigRead::kMissing:
      if (how.traceStoreResult) {
        writeTrace(
            "could not query value <%s> for subkey <%s> returned <%s> Return Code <%i> buffer "
            "size <%i>\n",
            cfg::kDB, cfg::kConfigKey, text.c_str(), static_cast<int>(status),
            static_cast<int>(kDbValueBuffer));
      } else {
        traceValueNotFound(cfg::kDB);
      }
      return kDbKindMissing;
    case ConfigRead::kNotString:
      traceValueNotString(cfg::kDB);
      return kDbKindNotString;
    case ConfigRead::kFound:
      break;
  }
  *kind = dbKindFromName(text.c_str());
  setDatabaseKind(*kind);
  if (*kind == DbKind::kNone) {
    writeTrace("unknown db format <%s> encountered\n", text.c_str());
    return kDbKindUnknown;
  }
  writeTrace("producing output for db <%s>\n", text.c_str());
  return 0;
}

int readBinDir(HKEY key, const BinDirRule& rule, std::string* binDir) {
  // Read whatever its length, so that a long one is refused as too long.
  std::string text;
  const int rc = readConfigValue(key, kBinDirRow, ConfigReader{.trace = writeTrace}, &text);
  if (rc != 0) return rc;
  if (text.empty()) {
    if (rule.traceEmpty) {
      writeTrace("entry <%s> of subkey <%s> has zero length\n", cfg::kBinDir, cfg::kConfigKey);
    }
    return kBinDirEmpty;
  }
  if (text.size() > rule.maxChars) {
    writeTrace("%s", rule.tooLongLine);
    return kBinDirTooLong;
  }
  *binDir = WithTrailingSep(text);
  return 0;
}

}  // namespace zmo
