// The collection settings of the service and of -nr, from the registry.

#include <string>

#include "common/field_writer.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "registry_read.h"
#include "zmogdlib/config_key.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace cfg = zmo::cfg;

namespace {

constexpr size_t kSwitchChars = 127;  // a 128-byte buffer
constexpr size_t kDebugChars = 5;
constexpr size_t kBinDirMax = 410;
constexpr size_t kPathMax = 511;  // a 512-byte buffer

void ReadDebug(HKEY key) {
  std::string text;
  if (statiReadText(key, cfg::kStatiDebug, kDebugChars, &text) != StatiRead::kMissing &&
      text == cfg::kTrue) {
    if (!zmo::TraceSwitch()) {
      zmo::SetTraceSwitch(1);
      zmo::writeTrace("debug switched on\n");
    }
    return;
  }
  zmo::writeTrace("debug switched off now\n");
  zmo::SetTraceSwitch(0);
}

int ReadDb(HKEY key, StatiSettings* s) {
  std::string text;
  const int rc = statiReadRequiredText(key, cfg::kDB, kSwitchChars, 2, 3, &text);
  if (rc != 0) return rc;
  s->dbKind = zmo::dbKindFromName(text.c_str());
  zmo::setDatabaseKind(s->dbKind);
  if (s->dbKind == zmo::kDbNone) {
    zmo::writeTrace("unknown db format <%s> encountered\n", text.c_str());
    return 4;
  }
  zmo::writeTrace("producing output for db <%s>\n", text.c_str());
  return 0;
}

void ReadJob(HKEY key, StatiSettings* s) {
  std::string text;
  const StatiRead read = statiReadText(key, cfg::kStatiJob, kSwitchChars, &text);
  if (read == StatiRead::kMissing) statiTraceNotFound(cfg::kStatiJob);
  if (read == StatiRead::kNotString) statiTraceNotString(cfg::kStatiJob);
  if (read == StatiRead::kFound) {
    const int v = statiDecimal(text);
    if ((v & 3) != 0) {
      s->batchFlag = v & 1;
      s->normalFlag = (v >> 1) & 1;
      if (s->batchFlag) zmo::writeTrace("query for batch jobs\n");
      if (s->normalFlag) zmo::writeTrace("query for normal jobs\n");
      return;
    }
    zmo::writeTrace("unexpected subkey value <%s> for entry <%s> of subkey <%s>\n", text.c_str(),
                    cfg::kStatiJob, statiKeyPath());
  }
  zmo::writeTrace("query for batch and normal jobs\n");
}

int ReadBinDir(HKEY key, StatiSettings* s) {
  std::string text;
  // Read whatever its length, so that a long one is refused as too long.
  const int rc = statiReadRequiredText(key, cfg::kBinDir, std::string::npos, 5, 6, &text);
  if (rc != 0) return rc;
  if (text.empty()) {
    zmo::writeTrace("entry <%s> of subkey <%s> has zero length\n", cfg::kBinDir, statiKeyPath());
    return 7;
  }
  if (text.size() > kBinDirMax) {
    zmo::writeTrace("stati's binary directory path too long\n");
    return 8;
  }
  s->binDir = zmo::WithTrailingSep(text);
  return 0;
}

int ReadInput(HKEY key, StatiSettings* s) {
  std::string text;
  switch (statiReadText(key, cfg::kStatiInput, std::string::npos, &text)) {
    case StatiRead::kMissing:
      statiTraceNotFound(cfg::kStatiInput);
      zmo::writeTrace("using default input file name\n");
      if (statiGetDefaultInFileName() != 0) {
        zmo::writeTrace("statiGetDefaultInFileName() returned unsuccessfully \n");
        return 10;
      }
      return 0;
    case StatiRead::kNotString:
      statiTraceNotString(cfg::kStatiInput);
      return 9;
    case StatiRead::kFound:
      break;
  }
  // A name too long for the path buffer is refused rather than replaced by
  // the default file, which would collect from the wrong servers.
  if (text.size() > kPathMax) {
    zmo::writeTrace("value <%s> for subkey <%s> too long\n", cfg::kStatiInput, statiKeyPath());
    return 9;
  }
  s->serverFile = text;
  return 0;
}

std::string ArchiveStamp() {
  const std::tm t = zmo::ClockLocalTime(zmo::ClockNow());
  return statiFormat("%.4i%.2i%.2i%.2i%.2i", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                     t.tm_min);
}

}  // namespace

int statiGetParaFromRegistry() {
  StatiState& st = statiState();
  StatiSettings& s = st.settings;
  StatiConfigKey key;
  if (!key.Open(KEY_QUERY_VALUE)) return 1;
  HKEY k = key.get();

  ReadDebug(k);
  s.filterRecords = statiValueExists(k, cfg::kStatiFilterRecords) ? 1 : 0;
  zmo::writeTrace(s.filterRecords
                      ? "filtering records with no transaction code and no program name\n"
                      : "no record filtering\n");
  std::string gmt;
  s.gmtSwitch = statiReadText(k, cfg::kConvertToGMT, kSwitchChars, &gmt) != StatiRead::kMissing &&
                gmt == cfg::kTrue;
  zmo::writeTrace(s.gmtSwitch ? "convert stati timestamps to gmt\n"
                              : "no gmt timestamp conversion\n");

  s.batchFlag = 1;
  s.normalFlag = 1;
  s.dbKind = zmo::kDbNone;
  int rc = ReadDb(k, &s);
  if (rc != 0) return rc;
  ReadJob(k, &s);
  zmo::applyTraceSizeLimit(k, cfg::kStatiLogSize);
  rc = ReadBinDir(k, &s);
  if (rc != 0) return rc;

  s.zmomsgPath = s.binDir + "zmomsg";
  s.loaderPath = s.binDir + "zmoloader";
  statiBuildLdrArg("statiGetParaFromRegistry()", statiValueExists(k, cfg::kStatiLoaderDebug));

  rc = ReadInput(k, &s);
  if (rc != 0) return rc;

  s.outFile = s.binDir + "zmo_stati.dat";
  s.handOverFile = s.binDir + "zmostati.dat";
  s.archiveFile = zmo::JoinPath(s.binDir + "ArchiveData", "stati_m_" + ArchiveStamp() + ".dat");
  zmo::writeTrace("About to exit statiGetParaFromRegistry \n");
  return 0;
}
