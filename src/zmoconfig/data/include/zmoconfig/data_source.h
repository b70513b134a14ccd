// The rules behind frmDataSource's OK: the database kind and its client
// program on PATH, the texts the loader's command lines will carry, and the
// registry writes with the password scrambled.
#pragma once

#include <string>

#include "zmoconfig/loaders.h"

namespace zmo::config {

// The page's choices and boxes as typed.
struct DataSourceInput {
  zmo::DbKind kind = zmo::DbKind::kNone;
  std::string oracle_version;  // a version of zmo::kOracleVersions, or "" for none
  std::string corva_instance;  // txtCorvainst
  std::string user;            // txtUserID
  std::string dsn;             // txtDSN
  std::string password;        // txtPassword, clear text
};

// The box a refusal selects; kNone leaves the focus.
enum class DataSourceBox { kNone, kCorvaInstance, kUser, kDsn, kPassword };

struct DataSourceRefusal {
  int text_id = 0;
  std::string text;  // the whole message to show
  DataSourceBox box = DataSourceBox::kNone;
};

// The message id shown when the kind's client program is missing from PATH;
// 0 for no kind or Oracle without a known version.
int ClientToolMissingText(zmo::DbKind kind, const std::string& oracle_version);

// The checks of OK, in order: no kind 1440; Oracle without a version 1518;
// the client program not on PATH (its kind's message); a text holding a
// character the loader's command lines cannot carry 1517; a password whose
// scrambled form would not fit a registry value 1515 with the limit.
// Returns 0 or the id, with *refusal filled.
int CheckDataSource(const DataSourceInput& in, DataSourceRefusal* refusal);

// OK: CheckDataSource, then Oracle (the version, for Oracle), DB, INST (for
// Corva, as typed), and User, DSN and Access (scrambled) for each box that
// is not blank (a blank box keeps the stored value), stopping at the first
// failed write, which is shown with status 1453 and gives 1453.
int SaveDataSource(const DataSourceInput& in, DataSourceRefusal* refusal);

}  // namespace zmo::config
