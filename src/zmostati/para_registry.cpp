// The collection settings of the service and of -nr, from the registry.

#include <string>

#include "common/collector_settings.h"
#include "common/config_table.h"
#include "common/config_values.h"
#include "common/field_writer.h"
#include "common/pipeline.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmostati/config_rows.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace cfg = zmo::cfg;

namespace {

// BinDir may have 410 characters; an empty one is traced.
constexpr zmo::BinDirRule kBinDirRule = {410, "stati's binary directory path too long\n", true};
constexpr size_t kPathMax = 511;  // a 512-byte buffer

constexpr zmo::ConfigReader kTrace = {.trace = zmo::writeTrace};

void ReadJob(HKEY key, StatiSettings* s) {
  std::string text;
  zmo::ConfigRead read = zmo::ConfigRead::kFound;
  zmo::readConfigValue(key, kStatiJobRow, kTrace, &text, &read);
  if (read == zmo::ConfigRead::kFound) {
    const int v = zmo::configDecimal(text);
    if ((v & 3) != 0) {
      s->batchFlag = (v & 1) != 0;
      s->normalFlag = (v & 2) != 0;
      if (s->batchFlag) zmo::writeTrace("query for batch jobs\n");
      if (s->normalFlag) zmo::writeTrace("query for normal jobs\n");
      return;
    }
    zmo::writeTrace("unexpected subkey value <%s> for entry <%s> of subkey <%s>\n", text.c_str(),
                    kStatiJobRow.name, cfg::kConfigKey);
  }
  zmo::writeTrace("query for batch and normal jobs\n");
}

int ReadInput(HKEY key, StatiSettings* s) {
  std::string text;
  zmo::ConfigRead read = zmo::ConfigRead::kFound;
  const int rc = zmo::readConfigValue(key, kStatiInputRow, kTrace, &text, &read);
  if (rc != 0) return rc;
  if (read == zmo::ConfigRead::kMissing) {
    zmo::writeTrace("using default input file name\n");
    if (statiGetDefaultInFileName() != 0) {
      zmo::writeTrace("statiGetDefaultInFileName() returned unsuccessfully \n");
      return kStatiNoDefaultServerFile;
    }
    return 0;
  }
  // A name too long for the path buffer is refused rather than replaced by
  // the default file, which would collect from the wrong servers.
  if (text.size() > kPathMax) {
    zmo::writeTrace("value <%s> for subkey <%s> too long\n", kStatiInputRow.name, cfg::kConfigKey);
    return kStatiInputUnusable;
  }
  s->serverFile = text;
  return 0;
}

}  // namespace

int statiGetParaFromRegistry() {
  StatiState& st = statiState();
  StatiSettings& s = st.settings;
  zmo::ConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return zmo::kConfigKeyNotOpened;
  HKEY k = key.get();

  zmo::readDebugSwitch(k, kStatiDebugRow);
  s.filterRecords = zmo::configValueExists(k, kStatiFilterRecordsRow.name);
  zmo::writeTrace(s.filterRecords
                      ? "filtering records with no transaction code and no program name\n"
                      : "no record filtering\n");
  s.gmtSwitch = zmo::configSwitchOn(k, kConvertToGmtRow.name);
  zmo::writeTrace(s.gmtSwitch ? "convert stati timestamps to gmt\n"
                              : "no gmt timestamp conversion\n");

  s.batchFlag = true;
  s.normalFlag = true;
  zmo::DbKind kind = zmo::DbKind::kNone;  // the process's kind, set by readDbKind
  int rc = zmo::readDbKind(k, zmo::DbKindRead{}, &kind);
  if (rc != 0) return rc;
  ReadJob(k, &s);
  zmo::applyTraceSizeLimit(k, kStatiLogSizeRow.name);
  rc = zmo::readBinDir(k, kBinDirRule, &s.binDir);
  if (rc != 0) return rc;

  statiSetProgramPaths();
  statiBuildLdrArg("statiGetParaFromRegistry()",
                   zmo::configValueExists(k, kStatiLoaderDebugRow.name));

  rc = ReadInput(k, &s);
  if (rc != 0) return rc;

  const zmo::PipelineFileRow& file = zmo::pipelineFile(zmo::PipelineFile::kStati);
  s.outFile = s.binDir + file.collecting;
  s.handOverFile = s.binDir + file.hand_over;
  zmo::writeTrace("About to exit statiGetParaFromRegistry \n");
  return 0;
}

}  // namespace zmo::stati
