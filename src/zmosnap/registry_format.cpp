// The settings of a cycle, read fresh at its start.

#include <string>

#include "common/collector_settings.h"
#include "common/config_values.h"
#include "common/db_kind.h"
#include "common/gdlib_binding.h"
#include "common/pipeline.h"
#include "common/trace_log.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/config_rows.h"
#include "zmosnap/records.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace cfg = zmo::cfg;

namespace {

// BinDir may have 400 characters; an empty one is refused without a line.
constexpr zmo::BinDirRule kBinDirRule = {400, "snap's binary directory path too long", false};
// The kind is none until DB names one; a DB that cannot be read is traced
// with the store's result.
constexpr zmo::DbKindRead kDbKindRead = {true, true};

int ReadBinDir(HKEY key, SnapSettings* s) {
  const int rc = zmo::readBinDir(key, kBinDirRule, &s->binDir);
  if (rc != 0) return rc;
  s->zmomsgPath = zmo::programPath(s->binDir, zmo::PipelineProgram::kMsg);
  s->loaderPath = zmo::programPath(s->binDir, zmo::PipelineProgram::kLoader);
  zmo::setGdLibDirectory(s->binDir.c_str());
  return 0;
}

}  // namespace

int queryRegForFormat(bool switchOnly) {
  zmo::ConfigKey key;
  if (!key.Open()) return zmo::kConfigKeyNotOpened;
  zmo::readDebugSwitch(key.get(), kSnapDebugRow);
  if (switchOnly) return 0;

  SnapSettings& s = snapState().settings;
  s = SnapSettings();
  bool& gmt = snapRecordState().gmt;
  gmt = zmo::configSwitchOn(key.get(), kConvertToGmtRow.name);
  zmo::writeTrace(gmt ? "convert to gmt switched on\n" : "convert to gmt switched off\n");
  zmo::applyTraceSizeLimit(key.get(), kSnapLogSizeRow.name);
  zmo::DbKind kind = zmo::DbKind::kNone;
  const int rc = zmo::readDbKind(key.get(), kDbKindRead, &kind);
  if (rc != 0) return rc;
  return ReadBinDir(key.get(), &s);
}

int queryRegForAggregation(bool* flag) {
  *flag = true;
  return 0;
}

}  // namespace zmo::snap
