#include "zmoconfig/data_source.h"

#include <iterator>

#include "common/db_kind.h"
#include "common/db_tools.h"
#include "common/line_values.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"
#include "zmoconfig/validators.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

// The message naming the client program a kind misses; the Oracle kind's
// by its client version, in the order of the shared version table.
struct ToolMissing {
  zmo::DbKind kind;
  int text;
};
constexpr ToolMissing kToolMissing[] = {{zmo::DbKind::kCorva, kTextCorvaToolMissing},
                                        {zmo::DbKind::kMssql, kTextMssqlToolMissing},
                                        {zmo::DbKind::kSybase, kTextSybaseToolMissing},
                                        {zmo::DbKind::kTessel, kTextTesselToolMissing}};
constexpr int kOracleToolMissing[] = {kTextOracle73Missing, kTextOracle80Missing,
                                      kTextOracle81Missing};
static_assert(std::size(kOracleToolMissing) == std::size(zmo::kOracleVersions));

int Refuse(DataSourceRefusal* refusal, int id, DataSourceBox box, const std::string& suffix = "") {
  refusal->text_id = id;
  refusal->text = LoadResString(id) + suffix;
  refusal->box = box;
  return id;
}

int WriteFailed() {
  configUi().StatusText(kTextActionFailed);
  return kTextActionFailed;
}

}  // namespace

int ClientToolMissingText(zmo::DbKind kind, const std::string& oracle_version) {
  if (kind == zmo::DbKind::kOracle) {
    const zmo::OracleVersion* v = zmo::findOracleVersion(oracle_version.c_str());
    return v != nullptr ? kOracleToolMissing[v - zmo::kOracleVersions] : 0;
  }
  for (const ToolMissing& m : kToolMissing) {
    if (m.kind == kind) return m.text;
  }
  return 0;
}

int CheckDataSource(const DataSourceInput& in, DataSourceRefusal* refusal) {
  *refusal = DataSourceRefusal{};
  if (zmo::dbKindInfo(in.kind) == nullptr) {
    return Refuse(refusal, kTextNoDbKind, DataSourceBox::kNone);
  }
  if (in.kind == zmo::DbKind::kOracle &&
      zmo::findOracleVersion(in.oracle_version.c_str()) == nullptr) {
    return Refuse(refusal, kTextNoOracleVersion, DataSourceBox::kNone);
  }
  if (!FileInPath(ClientToolName(in.kind, in.oracle_version))) {
    return Refuse(refusal, ClientToolMissingText(in.kind, in.oracle_version), DataSourceBox::kNone);
  }
  // The loader puts these texts into the kind's command lines and scripts,
  // and refuses there what this refuses here (common/line_values.h).
  const struct {
    zmo::LineValue value;
    const std::string& text;
    DataSourceBox box;
  } texts[] = {{zmo::LineValue::kInst, in.corva_instance, DataSourceBox::kCorvaInstance},
               {zmo::LineValue::kUser, in.user, DataSourceBox::kUser},
               {zmo::LineValue::kDsn, in.dsn, DataSourceBox::kDsn},
               {zmo::LineValue::kPassword, in.password, DataSourceBox::kPassword}};
  for (const auto& t : texts) {
    const std::string fault = zmo::lineValueFault(in.kind, t.value, t.text);
    if (!fault.empty()) return Refuse(refusal, kTextLineCharacter, t.box, " " + fault);
  }
  const size_t longest = LongestPasswordFor(kRegTextMax);
  if (Trimmed(in.password).size() > longest) {
    return Refuse(refusal, kTextPasswordTooLong, DataSourceBox::kPassword,
                  " " + std::to_string(longest));
  }
  return 0;
}

int SaveDataSource(const DataSourceInput& in, DataSourceRefusal* refusal) {
  const int rc = CheckDataSource(in, refusal);
  if (rc != 0) return rc;
  if (in.kind == zmo::DbKind::kOracle &&
      SetRegValue(zmo::cfg::kOracle, in.oracle_version) != kRegOk) {
    return WriteFailed();
  }
  if (SetRegValue(zmo::cfg::kDB, zmo::dbKindName(in.kind)) != kRegOk) return WriteFailed();
  if (in.kind == zmo::DbKind::kCorva && SetRegValue(zmo::cfg::kINST, in.corva_instance) != kRegOk) {
    return WriteFailed();
  }
  if (!Trimmed(in.user).empty() && SetRegValue(zmo::cfg::kUser, Trimmed(in.user)) != kRegOk) {
    return WriteFailed();
  }
  if (!Trimmed(in.dsn).empty() && SetRegValue(zmo::cfg::kDSN, Trimmed(in.dsn)) != kRegOk) {
    return WriteFailed();
  }
  if (!Trimmed(in.password).empty()) {
    const std::string scrambled = EncryptText(in.password);
    if (scrambled.empty() || SetRegValue(zmo::cfg::kAccess, scrambled) != kRegOk) {
      return WriteFailed();
    }
  }
  return 0;
}

}  // namespace zmo::config
