// LoadDataSource: the warehouse data-source values for their pages.
#include "common/data_files.h"
#include "common/db_kind.h"
#include "common/db_tools.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

const std::string kDataSourceForm = "frmDataSource";

}  // namespace

std::string ClientToolName(zmo::DbKind kind, const std::string& oracle_version) {
  int tool = 0;
  if (zmo::dbKindClientTool(kind, oracle_version.c_str(), &tool) != 0) return std::string();
  return zmo::dbToolName(tool);
}

void LoadDataSource(const std::string& form, DataSourceValues* values) {
  const bool own_page = form == kDataSourceForm;
  const std::string user = GetRegValue(zmo::cfg::kUser);
  if (!user.empty() && own_page) values->txtUserID = user;
  const std::string dsn = GetRegValue(zmo::cfg::kDSN);
  if (!dsn.empty()) values->dsn = dsn;
  const std::string access = GetRegValue(zmo::cfg::kAccess);
  gCorvaInstance = GetRegValue(zmo::cfg::kINST);
  if (!access.empty() && own_page) values->txtPassword = DecryptText(access);

  // The kind of a DB text is decided by the shared kind table (whole text,
  // case-sensitive), so the configurator and the collectors agree on what
  // each DB value means.
  values->kind = zmo::dbKindFromName(GetRegValue(zmo::cfg::kDB).c_str());
  if (values->kind == zmo::DbKind::kCorva) values->txtCorvainst = gCorvaInstance;
  if (values->kind == zmo::DbKind::kOracle && own_page) {
    const std::string version = GetRegValue(zmo::cfg::kOracle);
    if (zmo::findOracleVersion(version.c_str()) != nullptr) values->oracle_version = version;
  }
}

}  // namespace zmo::config
