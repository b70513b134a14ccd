#include "zmoconfig/data_source.h"

#include "common/db_kind.h"
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

// What each choice stores and which message names its missing program.
struct Choice {
  DbOption option;
  OracleOption oracle;  // kNone: any
  const char* db;
  const char* version;  // "" for kinds without one
  int missing_text;
};
constexpr Choice kChoices[] = {
    {DbOption::kOracle, OracleOption::k73, "Oracle", "73", kTextOracle73Missing},
    {DbOption::kOracle, OracleOption::k80, "Oracle", "80", kTextOracle80Missing},
    {DbOption::kOracle, OracleOption::k81, "Oracle", "81", kTextOracle81Missing},
    {DbOption::kCorva, OracleOption::kNone, "Corva", "", kTextCorvaToolMissing},
    {DbOption::kMssql, OracleOption::kNone, "MSSQL", "", kTextMssqlToolMissing},
    {DbOption::kSybase, OracleOption::kNone, "Sybase", "", kTextSybaseToolMissing},
    {DbOption::kTessel, OracleOption::kNone, "Tessel", "", kTextTesselToolMissing},
};

const Choice* ChoiceOf(DbOption option, OracleOption oracle) {
  for (const Choice& c : kChoices) {
    if (c.option == option && (option != DbOption::kOracle || c.oracle == oracle)) return &c;
  }
  return nullptr;
}

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

int ClientToolMissingText(DbOption option, OracleOption oracle) {
  const Choice* c = ChoiceOf(option, oracle);
  return c != nullptr ? c->missing_text : 0;
}

int CheckDataSource(const DataSourceInput& in, DataSourceRefusal* refusal) {
  *refusal = DataSourceRefusal{};
  if (in.option == DbOption::kNone) return Refuse(refusal, kTextNoDbKind, DataSourceBox::kNone);
  const Choice* choice = ChoiceOf(in.option, in.oracle);
  if (choice == nullptr) return Refuse(refusal, kTextNoOracleVersion, DataSourceBox::kNone);
  if (!FileInPath(ClientToolName(in.option, in.oracle))) {
    return Refuse(refusal, choice->missing_text, DataSourceBox::kNone);
  }
  // The loader puts these texts into the kind's command lines and scripts,
  // and refuses there what this refuses here (common/line_values.h).
  const zmo::DbKind kind = zmo::dbKindFromName(choice->db);
  const struct {
    zmo::LineValue value;
    const std::string& text;
    DataSourceBox box;
  } texts[] = {{zmo::LineValue::kInst, in.corva_instance, DataSourceBox::kCorvaInstance},
               {zmo::LineValue::kUser, in.user, DataSourceBox::kUser},
               {zmo::LineValue::kDsn, in.dsn, DataSourceBox::kDsn},
               {zmo::LineValue::kPassword, in.password, DataSourceBox::kPassword}};
  for (const auto& t : texts) {
    const std::string fault = zmo::lineValueFault(kind, t.value, t.text);
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
  const Choice* choice = ChoiceOf(in.option, in.oracle);
  if (in.option == DbOption::kOracle && SetRegValue(zmo::cfg::kOracle, choice->version) != kRegOk) {
    return WriteFailed();
  }
  if (SetRegValue(zmo::cfg::kDB, choice->db) != kRegOk) return WriteFailed();
  if (in.option == DbOption::kCorva && SetRegValue(zmo::cfg::kINST, in.corva_instance) != kRegOk) {
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
