// The settings of a cycle, read fresh at its start.

#include <string>

#include "common/field_writer.h"
#include "common/gdlib_binding.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "registry_read.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/records.h"
#include "zmosnap/state.h"

namespace cfg = zmo::cfg;

namespace {

constexpr size_t kSwitchBuffer = 128;
constexpr size_t kBinDirMax = 400;

void ReadDebug(HKEY key) {
  std::string text;
  if (snapReadText(key, cfg::kSnapDebug, kSwitchBuffer, &text) == SnapRead::kFound &&
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

void ReadGmt(HKEY key) {
  std::string text;
  int& gmt = snapRecordState().gmt;
  gmt = snapReadText(key, cfg::kConvertToGMT, kSwitchBuffer, &text) == SnapRead::kFound &&
        text == cfg::kTrue;
  zmo::writeTrace(gmt ? "convert to gmt switched on\n" : "convert to gmt switched off\n");
}

int ReadDb(HKEY key) {
  std::string text;
  LONG status = 0;
  zmo::setDatabaseKind(zmo::kDbNone);
  switch (snapReadText(key, cfg::kDB, kSwitchBuffer, &text, &status)) {
    case SnapRead::kMissing:
      zmo::writeTrace(
          "could not query value <%s> for subkey <%s> returned <%s> Return Code <%i> buffer "
          "size <%i>\n",
          cfg::kDB, snapKeyPath(), text.c_str(), static_cast<int>(status),
          static_cast<int>(kSwitchBuffer));
      return 2;
    case SnapRead::kNotString:
      zmo::writeTrace("value <%s> for subkey <%s> has not string format\n", cfg::kDB,
                      snapKeyPath());
      return 3;
    case SnapRead::kFound:
      break;
  }
  const int kind = zmo::dbKindFromName(text.c_str());
  zmo::setDatabaseKind(kind);
  if (kind == zmo::kDbNone) {
    zmo::writeTrace("unknown db format <%s> encountered\n", text.c_str());
    return 4;
  }
  zmo::writeTrace("producing output for db <%s>\n", text.c_str());
  return 0;
}

int ReadBinDir(HKEY key, SnapSettings* s) {
  std::string text;
  // Read whatever its length, so that a long one is refused as too long.
  const int rc = snapReadRequiredText(key, cfg::kBinDir, std::string::npos, 5, &text);
  if (rc != 0) return rc;
  if (text.empty()) return 7;
  if (text.size() > kBinDirMax) {
    zmo::writeTrace("snap's binary directory path too long");
    return 8;
  }
  s->binDir = zmo::WithTrailingSep(text);
  s->zmomsgPath = s->binDir + "zmomsg";
  s->loaderPath = s->binDir + "zmoloader";
  zmo::setGdLibDirectory(s->binDir.c_str());
  return 0;
}

}  // namespace

int queryRegForFormat(int switchOnly) {
  SnapConfigKey key;
  if (!key.Open()) return 1;
  ReadDebug(key.get());
  if (switchOnly == 1) return 0;

  SnapSettings& s = snapState().settings;
  s = SnapSettings();
  ReadGmt(key.get());
  zmo::applyTraceSizeLimit(key.get(), cfg::kSnapLogSize);
  const int rc = ReadDb(key.get());
  if (rc != 0) return rc;
  return ReadBinDir(key.get(), &s);
}

int queryRegForAggregation(int* flag) {
  *flag = 1;
  return 0;
}
