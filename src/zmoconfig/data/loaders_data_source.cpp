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

// The option of each database kind of the shared kind table. The kind of a
// DB text is decided there (whole text, case-sensitive), so the configurator
// and the collectors agree on what each DB value means.
struct KindOption {
  zmo::DbKind kind;
  DbOption option;
};
constexpr KindOption kKindOptions[] = {{zmo::DbKind::kOracle, DbOption::kOracle},
                                       {zmo::DbKind::kCorva, DbOption::kCorva},
                                       {zmo::DbKind::kMssql, DbOption::kMssql},
                                       {zmo::DbKind::kSybase, DbOption::kSybase},
                                       {zmo::DbKind::kTessel, DbOption::kTessel}};

DbOption OptionOfDb(const std::string& db) {
  const zmo::DbKind kind = zmo::dbKindFromName(db.c_str());
  for (const KindOption& k : kKindOptions) {
    if (k.kind == kind) return k.option;
  }
  return DbOption::kNone;
}

struct OracleVersion {
  const char* text;
  OracleOption option;
};
constexpr OracleVersion kOracleVersions[] = {
    {"73", OracleOption::k73}, {"80", OracleOption::k80}, {"81", OracleOption::k81}};

}  // namespace

std::string ClientToolName(DbOption option, OracleOption oracle) {
  const char* version = "";
  for (const OracleVersion& v : kOracleVersions) {
    if (v.option == oracle) version = v.text;
  }
  for (const KindOption& k : kKindOptions) {
    int tool = 0;
    if (k.option == option && zmo::dbKindClientTool(k.kind, version, &tool) == 0) {
      return zmo::dbToolName(tool);
    }
  }
  return std::string();
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

  values->option = OptionOfDb(GetRegValue(zmo::cfg::kDB));
  if (values->option == DbOption::kCorva) values->txtCorvainst = gCorvaInstance;
  if (values->option == DbOption::kOracle && own_page) {
    const std::string version = GetRegValue(zmo::cfg::kOracle);
    for (const OracleVersion& v : kOracleVersions) {
      if (version == v.text) values->oracle = v.option;
    }
  }
}

}  // namespace zmo::config
