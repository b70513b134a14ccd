// LoadDataSource: the warehouse data-source values for their pages.
#include "common/data_files.h"
#include "common/field_writer.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

namespace {

const std::string kDataSourceForm = "frmDataSource";

// The option a DB text ticks. The kind is decided by the shared table of
// kind names (whole text, case-sensitive), so the configurator and the
// collectors agree on what each DB value means.
DbOption OptionOfDb(const std::string& db) {
  switch (zmo::dbKindFromName(db.c_str())) {
    case zmo::kDbOracle:
      return DbOption::kOracle;
    case zmo::kDbCorva:
      return DbOption::kCorva;
    case zmo::kDbMssql:
      return DbOption::kMssql;
    case zmo::kDbSybase:
      return DbOption::kSybase;
    case zmo::kDbTessel:
      return DbOption::kTessel;
    default:
      return DbOption::kNone;
  }
}

struct OracleVersion {
  const char* text;
  OracleOption option;
};
constexpr OracleVersion kOracleVersions[] = {
    {"73", OracleOption::k73}, {"80", OracleOption::k80}, {"81", OracleOption::k81}};

}  // namespace

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
