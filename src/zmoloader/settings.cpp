#include "settings.h"

#include "common/db_kind.h"
#include "common/db_tools.h"
#include "common/line_values.h"
#include "common/pipeline.h"
#include "platform/files.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/archive.h"
#include "zmoloader/libraries.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// Reads a number and traces it as "label=number".
int ReadNumber(const char* name, const char* label, int* out) {
  std::string text;
  int rc = loaderQueryReg(name, &text);
  if (rc != 0) return rc;
  *out = parseIntText(text);
  loaderLog("%s=%i\n", label, *out);
  return 0;
}

}  // namespace

int loaderReadBinDir() {
  LoaderState& s = loaderState();
  std::string dir;
  int rc = loaderQueryReg(zmo::cfg::kBinDir, &dir);
  if (rc != 0) return rc;
  // With or without its trailing separator, BinDir names the same files.
  while (dir.size() > 1 && dir.back() == zmo::kPathSep) dir.pop_back();
  s.bin_dir = dir;
  s.archive_dir = zmo::JoinPath(dir, zmo::kArchiveFolder);
  return 0;
}

int loaderReadKeepDays() {
  LoaderState& s = loaderState();
  const int rc = ReadNumber(zmo::cfg::kTrendKeepDays, "TrendKeepDays", &s.trend_keep_days);
  if (rc != 0) return rc;
  return ReadNumber(zmo::cfg::kDetailKeepDays, "DetailKeepDays", &s.detail_keep_days);
}

int loaderReadVendor() {
  LoaderState& s = loaderState();
  int rc = loaderQueryReg(zmo::cfg::kDB, &s.vendor);
  if (rc != 0) return rc;
  loaderLog("Database=%s\n", s.vendor.c_str());
  return 0;
}

int loaderReadLogon() {
  LoaderState& s = loaderState();
  int rc = ReadNumber(zmo::cfg::kSystemSLA, "System SLA", &s.system_sla);
  if (rc != 0) return rc;
  rc = loaderQueryReg(zmo::cfg::kUser, &s.user);
  if (rc != 0) return rc;
  loaderLog("User ID=%s\n", s.user.c_str());
  rc = loaderQueryReg(zmo::cfg::kAccess, &s.access);
  if (rc != 0) return rc;
  loaderLog("Word=%s\n", s.access.c_str());
  // Every tool line needs the password.
  if (zmoLoaderDecrypt() != 0) return loaderHalt("User Password not entered");
  rc = loaderQueryReg(zmo::cfg::kDSN, &s.dsn);
  if (rc != 0) return rc;
  loaderLog("Data base Name=%s\n", s.dsn.c_str());
  std::string text;
  rc = loaderQueryReg(zmo::cfg::kArchiveKeepDays, &text);
  if (rc != 0) return rc;
  loaderLog("ArchiveKeepDays=%s\n", text.c_str());
  if (parseArchiveKeepDays(text, &s.archive_keep_days) != 0) {
    return loaderHalt("ArchiveKeepDays not correct, expecting a number of days");
  }
  loaderLog("ArchiveDir=%s\n", s.archive_dir.c_str());
  return 0;
}

int loaderReadKindValues() {
  LoaderState& s = loaderState();
  int rc = 0;
  if (s.kind == zmo::DbKind::kCorva) {
    rc = loaderQueryReg(zmo::cfg::kINST, &s.inst);
  } else if (s.kind == zmo::DbKind::kOracle) {
    rc = loaderQueryReg(zmo::cfg::kOracle, &s.oracle_version);
    int tool = 0;
    // The version names the loader program of every load line.
    if (rc == 0 && zmo::oracleLoaderTool(s.oracle_version.c_str(), &tool) != 0) {
      rc = loaderHalt("Oracle version not correct, expecting 73, 80 or 81");
    }
  }
  if (rc != 0 || s.prog != kProgramStati) return rc;
  return loaderQueryReg(zmo::cfg::kStatiOutPut, &s.stati_output);
}

int loaderCheckLineValues() {
  const LoaderState& s = loaderState();
  const struct {
    zmo::LineValue value;
    const std::string& text;
  } values[] = {
      {zmo::LineValue::kBinDir, s.bin_dir}, {zmo::LineValue::kStatiOutPut, s.stati_output},
      {zmo::LineValue::kInst, s.inst},      {zmo::LineValue::kUser, s.user},
      {zmo::LineValue::kDsn, s.dsn},        {zmo::LineValue::kPassword, s.password}};
  for (const auto& v : values) {
    const std::string fault = zmo::lineValueFault(s.kind, v.value, v.text);
    if (fault.empty()) continue;
    // The line names the value, never the password itself.
    const std::string why =
        std::string("The value <") + zmo::lineValueName(v.value) + "> holds " + fault;
    return loaderHalt(why.c_str());
  }
  return 0;
}

}  // namespace zmo::loader
