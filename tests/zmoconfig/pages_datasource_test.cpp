// The data-source page driven as the user does: what activation shows from
// the registry, the kind options and their frames, and OK's table of
// choices against a PATH of stand-in client tools, with the registry values
// each one leaves; Cancel, Enter and Escape.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <optional>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmDataSource.h"
#include "navigation.h"
#include "page_window.h"
#include "zmoconfig/data_source.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::ConfigText;
using zmo_test::PutConfigText;
namespace cfg = zmo::cfg;

class DataSourcePageTest : public PageWindowTest {
 protected:
  DataSourcePageTest() : tools_(dir_ / "tools"), path_("PATH", tools_ + ":" + (dir_ / "empty")) {
    std::filesystem::create_directories(tools_);
  }
  void Open() { PageWindowTest::Open<frmDataSource>(); }
  frmDataSource* page() const { return Page<frmDataSource>(); }
  // A stand-in client tool on PATH, named as the kind's tool is named.
  void Tool(zmo::DbKind kind, const char* oracle_version = "") {
    const std::string name = ClientToolName(kind, oracle_version);
    ASSERT_FALSE(name.empty());
    const std::string path = tools_ + "/" + name;
    std::ofstream(path) << "#!/bin/sh\nexit 0\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }

  std::string tools_;
  zmo_test::ScopedEnv path_;
};

// One press of OK: the kind and version chosen, the client tools on PATH,
// the boxes; then the message ("" none), the box it selects, and the
// registry values after it ("<missing>": never written).
struct OkCase {
  const char* name;
  zmo::DbKind kind;
  const char* oracle_version;
  std::vector<std::pair<zmo::DbKind, const char*>> tools;
  const char* instance;
  const char* user;
  const char* dsn;
  const char* password;
  int message;
  const char* box;
  const char* db;
  const char* version;
  const char* inst;
  const char* stored_user;
  const char* stored_dsn;
  const char* reason = "";  // after the message text, for 1517
};

void PrintTo(const OkCase& c, std::ostream* os) { *os << c.name; }

using O = zmo::DbKind;
constexpr const char* kM = "<missing>";

const OkCase kOkCases[] = {
    {"Oracle81WithOnlyItsTool",
     O::kOracle,
     "81",
     {{O::kOracle, "81"}},
     "",
     "zmo",
     "ZMODSN",
     "pw",
     0,
     "",
     "Oracle",
     "81",
     kM,
     "zmo",
     "ZMODSN"},
    {"Oracle73WithoutItsTool",
     O::kOracle,
     "73",
     {{O::kOracle, "81"}},
     "",
     "zmo",
     "ZMODSN",
     "pw",
     1467,
     "",
     kM,
     kM,
     kM,
     kM,
     kM},
    {"Oracle80WithoutItsTool",
     O::kOracle,
     "80",
     {},
     "",
     "zmo",
     "D",
     "pw",
     1468,
     "",
     kM,
     kM,
     kM,
     kM,
     kM},
    {"OracleWithoutVersion",
     O::kOracle,
     "",
     {{O::kOracle, "81"}},
     "",
     "zmo",
     "D",
     "pw",
     1518,
     "",
     kM,
     kM,
     kM,
     kM,
     kM},
    {"CorvaKeepsItsInstanceAsTyped",
     O::kCorva,
     "",
     {{O::kCorva, ""}},
     " inst1 ",
     " zmo ",
     " DSN1 ",
     "pw",
     0,
     "",
     "Corva",
     kM,
     " inst1 ",
     "zmo",
     "DSN1"},
    {"CorvaWithoutItsTool",
     O::kCorva,
     "",
     {},
     "inst1",
     "zmo",
     "D",
     "pw",
     1439,
     "",
     kM,
     kM,
     kM,
     kM,
     kM},
    {"MssqlWithItsTool",
     O::kMssql,
     "",
     {{O::kMssql, ""}},
     "",
     "sa",
     "D",
     "pw",
     0,
     "",
     "MSSQL",
     kM,
     kM,
     "sa",
     "D"},
    {"MssqlWithoutItsTool", O::kMssql, "", {}, "", "sa", "D", "pw", 1470, "", kM, kM, kM, kM, kM},
    {"SybaseSharesTheToolWithItsOwnMessage",
     O::kSybase,
     "",
     {},
     "",
     "sa",
     "D",
     "pw",
     1471,
     "",
     kM,
     kM,
     kM,
     kM,
     kM},
    {"SybaseWithTheTool",
     O::kSybase,
     "",
     {{O::kSybase, ""}},
     "",
     "sa",
     "D",
     "pw",
     0,
     "",
     "Sybase",
     kM,
     kM,
     "sa",
     "D"},
    {"TesselWithoutItsTool", O::kTessel, "", {}, "", "u", "D", "pw", 1472, "", kM, kM, kM, kM, kM},
    {"TesselWithItsTool",
     O::kTessel,
     "",
     {{O::kTessel, ""}},
     "",
     "u",
     "D",
     "pw",
     0,
     "",
     "Tessel",
     kM,
     kM,
     "u",
     "D"},
    {"NoKind", O::kNone, "", {{O::kMssql, ""}}, "", "u", "D", "pw", 1440, "", kM, kM, kM, kM, kM},
    {"QuoteInTheDsn",
     O::kMssql,
     "",
     {{O::kMssql, ""}},
     "",
     "u",
     "D\"S",
     "pw",
     1517,
     "txtDSN",
     kM,
     kM,
     kM,
     kM,
     kM,
     "a double quote, which would end its quotes in a batch line"},
    // The batch lines quote these.
    {"AmpersandInTheUserIsStored",
     O::kMssql,
     "",
     {{O::kMssql, ""}},
     "",
     "a&b",
     "D",
     "pw",
     0,
     "",
     "MSSQL",
     kM,
     kM,
     "a&b",
     "D"},
    {"PercentInThePasswordIsStored",
     O::kMssql,
     "",
     {{O::kMssql, ""}},
     "",
     "u",
     "D",
     "p%w",
     0,
     "",
     "MSSQL",
     kM,
     kM,
     "u",
     "D"},
    {"SemicolonInTheInstance",
     O::kCorva,
     "",
     {{O::kCorva, ""}},
     "a;b",
     "u",
     "D",
     "pw",
     1517,
     "txtCorvainst",
     kM,
     kM,
     kM,
     kM,
     kM,
     "a ';', which would end a Corva statement"},
    {"BlankBoxesWriteNothing",
     O::kMssql,
     "",
     {{O::kMssql, ""}},
     "",
     "   ",
     "",
     " ",
     0,
     "",
     "MSSQL",
     kM,
     kM,
     kM,
     kM},
};

class DataSourceOkTest : public DataSourcePageTest, public ::testing::WithParamInterface<OkCase> {};

QRadioButton* KindOption(frmDataSource* p, zmo::DbKind o) {
  switch (o) {
    case zmo::DbKind::kOracle:
      return p->optORA;
    case zmo::DbKind::kCorva:
      return p->optCorva;
    case zmo::DbKind::kMssql:
      return p->optMSSQL;
    case zmo::DbKind::kSybase:
      return p->optSybase;
    case zmo::DbKind::kTessel:
      return p->optTessel;
    case zmo::DbKind::kNone:
      break;
  }
  return nullptr;
}

QRadioButton* VersionOption(frmDataSource* p, const std::string& v) {
  if (v == "73") return p->optORA73;
  if (v == "80") return p->optORA80;
  if (v == "81") return p->optORA81;
  return nullptr;
}

TEST_P(DataSourceOkTest, ChecksTheToolAndTheTextsThenWrites) {
  const OkCase& c = GetParam();
  for (const auto& [kind, oracle_version] : c.tools) Tool(kind, oracle_version);
  Open();
  if (QRadioButton* kind = KindOption(page(), c.kind)) kind->click();
  if (QRadioButton* version = VersionOption(page(), c.oracle_version)) version->click();
  page()->txtCorvainst->setText(c.instance);
  page()->txtUserID->setText(c.user);
  page()->txtDSN->setText(c.dsn);
  page()->txtPassword->setText(c.password);
  page()->cmdOK->setFocus();
  ui_.events.clear();
  page()->cmdOK->click();
  if (c.message == 0) {
    EXPECT_EQ(ui_.events, std::vector<std::string>{StatusOf(kTextActionSuccessful)});
  } else {
    ASSERT_EQ(ui_.events.size(), 2u);
    EXPECT_EQ(ui_.events[0], BoxOf(c.message) + (*c.reason ? std::string(" ") + c.reason : ""));
    EXPECT_EQ(ui_.events[1], StatusOf(kTextActionFailed));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->objectName().toStdString(), *c.box ? c.box : "cmdOK");
  }
  EXPECT_EQ(ConfigText(cfg::kDB), c.db);
  EXPECT_EQ(ConfigText(cfg::kOracle), c.version);
  EXPECT_EQ(ConfigText(cfg::kINST), c.inst);
  EXPECT_EQ(ConfigText(cfg::kUser), c.stored_user);
  EXPECT_EQ(ConfigText(cfg::kDSN), c.stored_dsn);
  if (c.message == 0 && std::string(c.password).find_first_not_of(' ') != std::string::npos) {
    EXPECT_NE(ConfigText(cfg::kAccess), c.password) << "never stored in clear";
    EXPECT_EQ(DecryptText(ConfigText(cfg::kAccess)), c.password);
  } else {
    EXPECT_EQ(ConfigText(cfg::kAccess), kM);
  }
}

INSTANTIATE_TEST_SUITE_P(Choices, DataSourceOkTest, ::testing::ValuesIn(kOkCases));

TEST_F(DataSourcePageTest, BlankBoxesKeepTheStoredValues) {
  Tool(zmo::DbKind::kMssql);
  PutConfigText(cfg::kUser, "olduser");
  PutConfigText(cfg::kDSN, "OLDDSN");
  PutConfigText(cfg::kAccess, EncryptText("oldpw"));
  Open();
  page()->optMSSQL->click();
  page()->txtUserID->setText("  ");
  page()->txtDSN->clear();
  page()->txtPassword->setText("   ");
  page()->cmdOK->click();
  EXPECT_EQ(ConfigText(cfg::kUser), "olduser");
  EXPECT_EQ(ConfigText(cfg::kDSN), "OLDDSN");
  EXPECT_EQ(DecryptText(ConfigText(cfg::kAccess)), "oldpw");
  EXPECT_EQ(ConfigText(cfg::kDB), "MSSQL");
}

TEST_F(DataSourcePageTest, PasswordLongerThanAValueHoldsIsRefusedWithItsLimit) {
  Tool(zmo::DbKind::kMssql);
  Open();
  page()->optMSSQL->click();
  page()->txtPassword->setText(QString(300, 'p'));
  page()->cmdOK->click();
  ASSERT_EQ(ui_.events.size(), 2u);
  EXPECT_EQ(ui_.events[0].rfind(BoxOf(1515) + " ", 0), 0u) << ui_.events[0];
  EXPECT_GT(ui_.events[0].size(), BoxOf(1515).size() + 1);
  EXPECT_EQ(QApplication::focusWidget(), page()->txtPassword);
  EXPECT_EQ(ConfigText(cfg::kDB), kM);
}

TEST_F(DataSourcePageTest, ActivationShowsTheStoredValues) {
  PutConfigText(cfg::kDB, "Oracle");
  PutConfigText(cfg::kOracle, "80");
  PutConfigText(cfg::kUser, "zmo");
  PutConfigText(cfg::kDSN, "ZMODSN");
  PutConfigText(cfg::kAccess, EncryptText("topsecret"));
  Open();
  frmDataSource* p = page();
  EXPECT_TRUE(p->optORA->isChecked());
  EXPECT_TRUE(p->optORA80->isChecked());
  EXPECT_TRUE(p->fraORAversion->isEnabled());
  EXPECT_FALSE(p->fraCorvaInstance->isEnabled());
  EXPECT_EQ(p->txtUserID->text(), "zmo");
  EXPECT_EQ(p->txtDSN->text(), "ZMODSN");
  EXPECT_EQ(p->txtPassword->text(), "topsecret");
  EXPECT_EQ(p->txtPassword->echoMode(), QLineEdit::Password);
  EXPECT_EQ(p->lblTitle->text(), CatalogText(1321));
  EXPECT_EQ(p->fraDBtype->title(), CatalogText(1325));
  EXPECT_EQ(p->lblCorvaInst->text(), CatalogText(1369));
  EXPECT_EQ(CurrentFormName(), "frmDataSource");
}

TEST_F(DataSourcePageTest, CorvaShowsItsInstance) {
  PutConfigText(cfg::kDB, "Corva");
  PutConfigText(cfg::kINST, "CORVA1");
  Open();
  EXPECT_TRUE(page()->optCorva->isChecked());
  EXPECT_EQ(page()->txtCorvainst->text(), "CORVA1");
  EXPECT_TRUE(page()->txtCorvainst->isEnabled());
  EXPECT_FALSE(page()->fraORAversion->isEnabled());
}

TEST_F(DataSourcePageTest, UnsavedChoiceDoesNotLookStoredWhenDbIsMissing) {
  Open();
  page()->optTessel->click();
  page()->txtDSN->setText("typed");
  page()->cmdCancel->click();
  for (QRadioButton* kind :
       {page()->optORA, page()->optCorva, page()->optMSSQL, page()->optSybase, page()->optTessel})
    EXPECT_FALSE(kind->isChecked()) << kind->objectName().toStdString();
  EXPECT_EQ(page()->txtDSN->text(), "");
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
}

TEST_F(DataSourcePageTest, KindOptionsSwitchTheirFrames) {
  Open();
  frmDataSource* p = page();
  p->optORA->click();
  p->optORA73->click();
  EXPECT_TRUE(p->fraORAversion->isEnabled());
  EXPECT_TRUE(p->optORA73->isEnabled());
  EXPECT_FALSE(p->fraCorvaInstance->isEnabled());
  EXPECT_FALSE(p->txtCorvainst->isEnabled());
  p->optCorva->click();
  EXPECT_FALSE(p->fraORAversion->isEnabled());
  EXPECT_FALSE(p->optORA73->isChecked()) << "the version is deselected";
  EXPECT_FALSE(p->optORA73->isEnabled());
  EXPECT_TRUE(p->fraCorvaInstance->isEnabled());
  EXPECT_TRUE(p->txtCorvainst->isEnabled());
  p->txtCorvainst->setText("inst");
  for (QRadioButton* other : {p->optMSSQL, p->optSybase, p->optTessel}) {
    p->optCorva->click();
    p->txtCorvainst->setText("inst");
    other->click();
    EXPECT_FALSE(p->fraORAversion->isEnabled());
    EXPECT_FALSE(p->fraCorvaInstance->isEnabled());
    EXPECT_EQ(p->txtCorvainst->text(), "") << other->objectName().toStdString();
    EXPECT_FALSE(p->txtCorvainst->isEnabled());
  }
  p->optCorva->click();
  p->txtCorvainst->setText("inst");
  p->optORA->click();
  EXPECT_EQ(p->txtCorvainst->text(), "");
  EXPECT_TRUE(p->optORA81->isEnabled());
}

// Oracle and 8.1 stored: the user's clicks, one after another, and what is
// chosen after each. Only the kinds exclude each other, and only the
// versions do; a click on the option already chosen changes nothing.
TEST_F(DataSourcePageTest, ClicksOnTheStoredKindAndItsVersion) {
  PutConfigText(cfg::kDB, "Oracle");
  PutConfigText(cfg::kOracle, "81");
  Tool(zmo::DbKind::kOracle, "80");
  Tool(zmo::DbKind::kOracle, "81");
  Open();
  frmDataSource* p = page();
  Settle();
  struct Step {
    QRadioButton* clicked;
    QRadioButton* kind;     // chosen after the click
    QRadioButton* version;  // nullptr: none
  };
  const Step steps[] = {
      {p->optORA, p->optORA, p->optORA81},   {p->optORA, p->optORA, p->optORA81},
      {p->optORA81, p->optORA, p->optORA81}, {p->optORA80, p->optORA, p->optORA80},
      {p->optORA, p->optORA, p->optORA80},   {p->optCorva, p->optCorva, nullptr},
      {p->optORA, p->optORA, nullptr},       {p->optORA73, p->optORA, p->optORA73},
      {p->optORA81, p->optORA, p->optORA81},
  };
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message()
                 << "click " << ++n << " on " << s.clicked->text().toStdString());
    QTest::mouseClick(s.clicked, Qt::LeftButton);
    for (QRadioButton* kind : {p->optORA, p->optCorva, p->optMSSQL, p->optSybase, p->optTessel})
      EXPECT_EQ(kind->isChecked(), kind == s.kind) << kind->objectName().toStdString();
    for (QRadioButton* version : {p->optORA73, p->optORA80, p->optORA81})
      EXPECT_EQ(version->isChecked(), version == s.version) << version->objectName().toStdString();
  }
  ui_.events.clear();
  p->cmdOK->click();
  EXPECT_EQ(ui_.events, std::vector<std::string>{StatusOf(kTextActionSuccessful)});
  EXPECT_EQ(ConfigText(cfg::kDB), "Oracle");
  EXPECT_EQ(ConfigText(cfg::kOracle), "81");
}

// Tab runs down the page: from the chosen kind to its version, then past the
// kinds not chosen and the disabled instance to the boxes. Every stop has
// its name for an accessibility client.
TEST_F(DataSourcePageTest, TabGoesFromTheKindToItsVersion) {
  PutConfigText(cfg::kDB, "Oracle");
  PutConfigText(cfg::kOracle, "81");
  Open();
  frmDataSource* p = page();
  p->optORA->setFocus();
  Settle();
  std::vector<std::string> stops;
  for (int i = 0; i < 7; ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    stops.push_back(focus->objectName().toStdString());
    QTest::keyClick(focus, Qt::Key_Tab);
    Settle();
  }
  EXPECT_EQ(stops, (std::vector<std::string>{"optORA", "optORA81", "txtDSN", "txtUserID",
                                             "txtPassword", "cmdOK", "cmdCancel"}));
  // Corva chosen: from it to its instance.
  QTest::mouseClick(p->optCorva, Qt::LeftButton);
  p->optCorva->setFocus();
  QTest::keyClick(p->optCorva, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), p->txtCorvainst);
}

TEST_F(DataSourcePageTest, EnterSavesAndEscapeShowsTheStoredValuesAgain) {
  Tool(zmo::DbKind::kMssql);
  Open();
  page()->optMSSQL->click();
  page()->txtDSN->setText("ZMODSN");
  page()->txtDSN->setFocus();
  QTest::keyClick(page()->txtDSN, Qt::Key_Return);
  EXPECT_EQ(ConfigText(cfg::kDB), "MSSQL");
  EXPECT_EQ(ConfigText(cfg::kDSN), "ZMODSN");
  page()->txtDSN->setText("changed");
  QTest::keyClick(page()->txtDSN, Qt::Key_Escape);
  EXPECT_EQ(page()->txtDSN->text(), "ZMODSN");
  EXPECT_EQ(ConfigText(cfg::kDSN), "ZMODSN");
}

// Each option keeps its name and caption and stands for its kind, or with
// the Oracle kind for its client version, in what OK takes.
TEST_F(DataSourcePageTest, EachOptionStandsForItsKindAndVersion) {
  Open();
  frmDataSource* p = page();
  struct OptionCase {
    QRadioButton* option;
    const char* name;
    const char* caption;
    zmo::DbKind kind;
    const char* version;
  };
  const OptionCase kinds[] = {
      {p->optCorva, "optCorva", "Corva", zmo::DbKind::kCorva, ""},
      {p->optMSSQL, "optMSSQL", "MS SQL Server", zmo::DbKind::kMssql, ""},
      {p->optSybase, "optSybase", "Sybase", zmo::DbKind::kSybase, ""},
      {p->optTessel, "optTessel", "Tessel", zmo::DbKind::kTessel, ""},
      {p->optORA, "optORA", "Oracle", zmo::DbKind::kOracle, ""},
      {p->optORA73, "optORA73", "7.3", zmo::DbKind::kOracle, "73"},
      {p->optORA80, "optORA80", "8.0", zmo::DbKind::kOracle, "80"},
      {p->optORA81, "optORA81", "8.1", zmo::DbKind::kOracle, "81"},
  };
  for (const OptionCase& c : kinds) {
    EXPECT_EQ(c.option->objectName(), c.name);
    EXPECT_EQ(c.option->text(), c.caption) << c.name;
    c.option->click();
    EXPECT_TRUE(c.option->isChecked()) << c.name;
    EXPECT_EQ(p->Input().kind, c.kind) << c.name;
    EXPECT_EQ(p->Input().oracle_version, c.version) << c.name;
  }
}

}  // namespace
