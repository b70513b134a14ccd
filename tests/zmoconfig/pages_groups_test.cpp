// The application-groups page, its two dialogs and the all-transaction
// service-level page driven as the user does: groups shown with their own
// milliseconds, the group dialog's rules and its seconds table, the direct
// Add that copies a group, codes added as a comma list with the question on
// a non-standard code, edit and delete, OK writing both group files and the
// rename file byte for byte, Cancel, and the all-transaction level's table.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmCurrentConfig.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "navigation.h"
#include "page_window.h"
#include "zmoconfig/groups.h"
#include "zmoconfig/loaders.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::ConfigText;
using zmo_test::PutConfigText;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Pad(const std::string& s, size_t width) {
  return s + std::string(width - s.size(), ' ');
}
std::string AppRecord(const std::string& name, const std::string& millis) {
  return Pad(name, 35) + millis;
}
std::string TransRecord(const std::string& name, const std::string& code) {
  return Pad(name, 35) + Pad(code, 20);
}

class GroupPagesTest : public PageWindowTest {
 protected:
  void TearDown() override {
    PageWindowTest::TearDown();
    ForgetGroupRenames();
  }
  std::string Path(const char* file) const { return bin_dir_ + "/" + file; }
  void Write(const char* file, const std::string& data) const {
    std::ofstream(Path(file), std::ios::binary) << data;
  }
  // Two groups on file: Sales 2.125 s with VA01 and VA02, Finance 0.5 s
  // with FB01 and VA01; then the main window with the page shown.
  void OpenWithGroups() {
    Write("zmoAppGroup.dat", AppRecord("Sales", "2125") + AppRecord("Finance", "0500"));
    Write("zmoTransGroup.dat", TransRecord("Sales", "VA01") + TransRecord("Sales", "VA02") +
                                   TransRecord("Finance", "FB01") + TransRecord("Finance", "VA01"));
    Open();
  }
  template <class Form = frmTransGroup>
  void Open() {
    LoadAppGroups();
    LoadTransGroups();
    PageWindowTest::Open<Form>();
  }
  frmTransGroup* page() const { return Page<frmTransGroup>(); }
  frmAddApplication* groupDialog() const { return Page<frmAddApplication>(); }
  frmAddAppTrans* codeDialog() const { return Page<frmAddAppTrans>(); }
  std::vector<std::string> Groups() const {
    std::vector<std::string> names;
    for (int i = 0; i < page()->cmbTransGroup->count(); ++i)
      names.push_back(page()->cmbTransGroup->itemText(i).toStdString());
    return names;
  }
  std::vector<std::string> Codes() const {
    std::vector<std::string> codes;
    for (int i = 0; i < page()->lstGroupMembers->count(); ++i)
      codes.push_back(page()->lstGroupMembers->item(i)->text().toStdString());
    return codes;
  }
  std::vector<std::string> Table() const {
    std::vector<std::string> rows;
    for (int i = 1; i <= gAppGroupCount; ++i)
      rows.push_back(gAppGroups[i][1] + "=" + gAppGroups[i][2]);
    return rows;
  }
  void Click(int position) { SetListIndex(page()->cmbTransGroup, position); }
  // The group dialog in add mode with name and seconds typed, then OK.
  void AddGroup(const QString& name, const QString& seconds) {
    page()->cmbTransGroup->setCurrentIndex(-1);
    page()->cmbTransGroup->clearEditText();
    page()->cmdAppAdd->click();
    groupDialog()->txtTransGroup->setText(name);
    groupDialog()->txtSeconds->setText(seconds);
    groupDialog()->cmdOK->click();
    Settle();
  }
  void AddCodes(const QString& text) {
    page()->cmdTxAdd->click();
    codeDialog()->txtTransaction->setText(text);
    codeDialog()->cmdOK->click();
    Settle();
  }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  // The boxes and status texts shown, without the hourglass.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const std::string& e : ui_.events) {
      if (e.rfind("hourglass", 0) != 0) shown.push_back(e);
    }
    return shown;
  }
};

TEST_F(GroupPagesTest, ActivationListsTheGroupsAndAClickShowsLevelAndCodes) {
  PutConfigText(zmo::cfg::kNotation, ",");
  OpenWithGroups();
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Sales", "Finance"}));
  EXPECT_EQ(page()->cmbTransGroup->currentIndex(), -1);
  EXPECT_FALSE(page()->lstGroupMembers->isEnabled());
  EXPECT_FALSE(page()->cmdTxAdd->isEnabled());
  EXPECT_EQ(page()->frameApplication->title(), "A&pplication");
  ui_.events.clear();
  Click(0);
  EXPECT_EQ(page()->txtSeconds->text(), "2,125") << "its own milliseconds, the notation's comma";
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA01", "VA02"}));
  EXPECT_TRUE(page()->cmdTxAdd->isEnabled());
  EXPECT_EQ(ui_.events, (std::vector<std::string>{"hourglass on", "hourglass off"}));
  Click(1);
  EXPECT_EQ(page()->txtSeconds->text(), "0,5");
  EXPECT_EQ(Codes(), (std::vector<std::string>{"FB01", "VA01"}));
  // A name typed over the group: the codes shown are no longer its codes.
  page()->cmbTransGroup->setEditText("Finance2");
  EXPECT_FALSE(page()->cmdTxAdd->isEnabled());
  EXPECT_FALSE(page()->lstGroupMembers->isEnabled());
  page()->cmbTransGroup->setEditText("Finance");
  EXPECT_TRUE(page()->cmdTxAdd->isEnabled());
}

TEST_F(GroupPagesTest, TheTreeNodeOpensThePageUnderTheHourglass) {
  OpenWithGroups();
  main_->ShowPage<frmCurrentConfig>();
  ui_.events.clear();
  ShowNodeForm("ndSLAapplications");
  EXPECT_TRUE(page()->IsActive());
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.front(), "hourglass on");
  EXPECT_EQ(ui_.events.back(), "hourglass off");
  ShowNodeForm("ndSystemSLA");
  EXPECT_EQ(CurrentFormName(), "frmSystemSLA");
}

// The group dialog's seconds: what is typed, what is stored (empty: the
// message refuses it) and the notation written.
struct SecondsCase {
  const char* seconds;
  const char* millis;
  const char* notation;
};

void PrintTo(const SecondsCase& c, std::ostream* os) { *os << '"' << c.seconds << '"'; }

const SecondsCase kGroupSeconds[] = {
    {"2.5", "2500", "."},   {".5", "0500", "."},  {"0.1", "0100", "."}, {"2", "2000", "V"},
    {"9.999", "9999", "."}, {"2,5", "2500", ","}, {"10", "", ""},       {"0.09", "", ""},
    {"abc", "", ""},        {"1.2.3", "", ""},    {"9999", "", ""},
};

class GroupSecondsTest : public GroupPagesTest,
                         public ::testing::WithParamInterface<SecondsCase> {};

TEST_P(GroupSecondsTest, TheDialogStoresTheMillisecondsOrRefuses) {
  const SecondsCase& c = GetParam();
  PutConfigText(zmo::cfg::kNotation, "X");
  Open();
  AddGroup("Sales", c.seconds);
  if (*c.millis) {
    EXPECT_EQ(Table(), std::vector<std::string>{std::string("Sales=") + c.millis});
    EXPECT_EQ(ConfigText(zmo::cfg::kNotation), c.notation);
    EXPECT_TRUE(page()->IsActive());
    EXPECT_EQ(Groups(), std::vector<std::string>{"Sales"});
    EXPECT_EQ(page()->cmbTransGroup->currentIndex(), 0) << "the new group is selected";
    EXPECT_TRUE(page()->cmdTxAdd->isEnabled());
  } else {
    EXPECT_EQ(gAppGroupCount, 0);
    EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1423), StatusOf(1453)}));
    EXPECT_TRUE(groupDialog()->IsActive());
    EXPECT_EQ(QApplication::focusWidget(), groupDialog()->txtSeconds);
    EXPECT_EQ(groupDialog()->txtSeconds->selectedText(), c.seconds);
    EXPECT_EQ(ConfigText(zmo::cfg::kNotation), "X") << "nothing written";
  }
}

INSTANTIATE_TEST_SUITE_P(Seconds, GroupSecondsTest, ::testing::ValuesIn(kGroupSeconds));

// The group dialog's refusals of a name, and of empty seconds.
struct NameCase {
  const char* label;
  const char* name;
  const char* seconds;
  std::vector<std::string> events;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class GroupNameTest : public GroupPagesTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(GroupNameTest, IsRefusedAndTheDialogStays) {
  const NameCase& c = GetParam();
  OpenWithGroups();
  AddGroup(c.name, c.seconds);
  EXPECT_EQ(ui_.events, c.events);
  EXPECT_EQ(gAppGroupCount, 2);
  EXPECT_TRUE(groupDialog()->IsActive());
}

INSTANTIATE_TEST_SUITE_P(
    Names, GroupNameTest,
    ::testing::Values(
        NameCase{"OtherCaseAndBlanks", "  SALES ", "1", {BoxOf(1412)}},
        NameCase{"SingleQuote", "Sales'Ops", "1", {BoxOf(1514)}},
        NameCase{"LongerThan35", "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn", "1", {BoxOf(1519)}},
        NameCase{"NoSeconds", "Logistics", " ", {BoxOf(1422), StatusOf(1453)}}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST_F(GroupPagesTest, EditKeepsTheStoredLevelAndARenameCarriesTheCodes) {
  PutConfigText(zmo::cfg::kNotation, ".");
  OpenWithGroups();
  Click(0);
  page()->cmdAppEdit->click();
  frmAddApplication* d = groupDialog();
  EXPECT_EQ(d->txtTransGroup->text(), "Sales");
  EXPECT_EQ(d->txtSeconds->text(), "2.125");
  EXPECT_EQ(d->txtIndex->text(), "0");
  d->cmdOK->click();  // its own name: no duplicate
  Settle();
  EXPECT_EQ(Table(), (std::vector<std::string>{"Sales=2125", "Finance=0500"}));
  page()->cmdAppEdit->click();
  groupDialog()->txtTransGroup->setText("Orders");
  groupDialog()->cmdOK->click();
  Settle();
  EXPECT_EQ(Table(), (std::vector<std::string>{"Orders=2125", "Finance=0500"}));
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Orders", "Finance"}));
  EXPECT_EQ(page()->cmbTransGroup->currentText(), "Orders");
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA01", "VA02"}));
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoAppGroup.dat")),
            AppRecord("Orders", "2125") + AppRecord("Finance", "0500"));
  EXPECT_EQ(ReadAll(Path("zmogrpupdt.dat")), Pad("Orders", 35) + Pad("Sales", 35));
}

TEST_F(GroupPagesTest, DialogCancelSelectsTheGroupAgainAndChangesNothing) {
  OpenWithGroups();
  Click(1);
  page()->cmdAppEdit->click();
  groupDialog()->txtTransGroup->setText("Other");
  ui_.events.clear();
  QTest::keyClick(groupDialog()->txtTransGroup, Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(page()->cmbTransGroup->currentText(), "Finance");
  EXPECT_EQ(Table(), (std::vector<std::string>{"Sales=2125", "Finance=0500"}));
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(GroupPagesTest, ANameTypedOverAClickedGroupAddsACopyOfIt) {
  PutConfigText(zmo::cfg::kNotation, "X");
  OpenWithGroups();
  Click(0);
  page()->cmbTransGroup->setEditText("Sales EU");
  page()->txtSeconds->setText("3");
  page()->cmdAppAdd->click();
  EXPECT_EQ(Table(), (std::vector<std::string>{"Sales=2125", "Finance=0500", "Sales EU=3000"}));
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Sales", "Finance", "Sales EU"}));
  EXPECT_EQ(GroupCodes("Sales EU"), (std::vector<std::string>{"VA01", "VA02"}));
  EXPECT_EQ(GroupCodes("Sales"), (std::vector<std::string>{"VA01", "VA02"}));
  EXPECT_EQ(page()->cmbTransGroup->currentText(), "Sales EU");
  EXPECT_TRUE(page()->cmdTxAdd->isEnabled());
  EXPECT_EQ(ConfigText(zmo::cfg::kNotation), "X") << "the direct Add leaves the notation";
  // With the combo showing the clicked group's name, Add opens the dialog.
  page()->cmdAppAdd->click();
  EXPECT_TRUE(groupDialog()->IsActive());
  EXPECT_TRUE(groupDialog()->txtIndex->text().isEmpty());
}

TEST_F(GroupPagesTest, TheDirectAddRefusesLikeTheDialog) {
  OpenWithGroups();
  Click(0);
  page()->cmbTransGroup->setEditText("Sales EU");
  page()->txtSeconds->setText("10");
  page()->cmdAppAdd->click();
  EXPECT_EQ(ui_.events[ui_.events.size() - 2], BoxOf(1423));
  EXPECT_EQ(ui_.events.back(), StatusOf(1453));
  EXPECT_EQ(QApplication::focusWidget(), page()->txtSeconds);
  page()->cmbTransGroup->setEditText("FINANCE");
  page()->txtSeconds->setText("1");
  ui_.events.clear();
  page()->cmdAppAdd->click();
  EXPECT_EQ(Shown(), (std::vector<std::string>{BoxOf(1412), StatusOf(1453)}));
  page()->cmbTransGroup->setEditText("New'Group");
  ui_.events.clear();
  page()->cmdAppAdd->click();
  EXPECT_EQ(Shown(), (std::vector<std::string>{BoxOf(1514), StatusOf(1453)}));
  page()->cmbTransGroup->setEditText("Other");
  page()->txtSeconds->clear();
  ui_.events.clear();
  page()->cmdAppAdd->click();
  EXPECT_TRUE(Shown().empty()) << "empty seconds: nothing happens";
  EXPECT_EQ(gAppGroupCount, 2);
}

TEST_F(GroupPagesTest, CodesAreAddedAsAListSkippingDuplicatesAndAskingAboutOthers) {
  Write("zmotcodes.dat",
        "VA01                \r\nVA02                \r\nVA03                \r\n");
  OpenWithGroups();
  Click(0);
  ui_.events.clear();
  ui_.answers = {MsgAnswer::No, MsgAnswer::Yes};
  AddCodes("va01, va02,,va03, zz01 ,zz02");
  EXPECT_EQ(ui_.events[0], BoxOf(1487) + " ZZ01");
  EXPECT_EQ(ui_.events[1], BoxOf(1487) + " ZZ02");
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA01", "VA02", "VA03", "ZZ02"}));
  EXPECT_TRUE(page()->IsActive());
  // Refused texts keep the dialog open with the text selected.
  for (const auto& [text, id] : std::vector<std::pair<QString, int>>{
           {"va04, " + QString(21, QChar('x')), 1407}, {"va04,o'x", 1514}}) {
    page()->cmdTxAdd->click();
    codeDialog()->txtTransaction->setText(text);
    ui_.events.clear();
    codeDialog()->cmdOK->click();
    EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(id), StatusOf(1453)}));
    EXPECT_TRUE(codeDialog()->IsActive());
    EXPECT_EQ(codeDialog()->txtTransaction->selectedText(), text);
    codeDialog()->cmdCancel->click();
    Settle();
  }
  AddCodes("   ");  // no code at all
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA01", "VA02", "VA03", "ZZ02"}));
}

TEST_F(GroupPagesTest, ACodeIsEditedInPlaceAndDeletedFromItsGroupOnly) {
  OpenWithGroups();
  Click(0);
  SetListIndex(page()->lstGroupMembers, 0);
  page()->cmdTxEdit->click();
  EXPECT_EQ(codeDialog()->txtTransaction->text(), "VA01");
  EXPECT_EQ(codeDialog()->txtIndex->text(), "0");
  codeDialog()->txtTransaction->setText("va02");  // a code the group holds: no change
  codeDialog()->cmdOK->click();
  Settle();
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA01", "VA02"}));
  SetListIndex(page()->lstGroupMembers, 0);
  page()->cmdTxEdit->click();
  codeDialog()->txtTransaction->setText("va05");
  codeDialog()->cmdOK->click();
  Settle();
  EXPECT_EQ(Codes(), (std::vector<std::string>{"VA05", "VA02"}));
  // Finance keeps its VA01 when Sales loses VA02.
  SetListIndex(page()->lstGroupMembers, 1);
  page()->cmdTxDelete->click();
  EXPECT_EQ(Codes(), std::vector<std::string>{"VA05"});
  EXPECT_EQ(GroupCodes("Finance"), (std::vector<std::string>{"FB01", "VA01"}));
}

TEST_F(GroupPagesTest, ASecondCodeDeleteRemovesNothing) {
  OpenWithGroups();
  Click(0);
  ClickRow(page()->lstGroupMembers, 0);
  page()->cmdTxDelete->click();
  EXPECT_EQ(ListIndex(page()->lstGroupMembers), -1) << "no code is selected after a removal";
  page()->cmdTxDelete->click();
  EXPECT_EQ(Codes(), std::vector<std::string>{"VA02"});
  EXPECT_EQ(GroupCodes("Sales"), std::vector<std::string>{"VA02"});
}

TEST_F(GroupPagesTest, OkWritesBothFilesAndDropsTheCodesOfDeletedGroups) {
  OpenWithGroups();
  Click(0);
  page()->cmdAppDelete->click();
  EXPECT_EQ(Groups(), std::vector<std::string>{"Finance"});
  EXPECT_TRUE(page()->cmbTransGroup->currentText().isEmpty());
  EXPECT_TRUE(Codes().empty());
  EXPECT_TRUE(page()->txtSeconds->text().isEmpty());
  EXPECT_FALSE(page()->cmdTxAdd->isEnabled());
  AddGroup("Logistics", "1.5");
  AddCodes("lt01,lt02");
  Click(0);
  AddCodes("fb02");
  ui_.events.clear();
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoAppGroup.dat")),
            AppRecord("Finance", "0500") + AppRecord("Logistics", "1500"));
  EXPECT_EQ(ReadAll(Path("zmoTransGroup.dat")),
            TransRecord("Finance", "FB01") + TransRecord("Finance", "VA01") +
                TransRecord("Finance", "FB02") + TransRecord("Logistics", "LT01") +
                TransRecord("Logistics", "LT02"));
  EXPECT_FALSE(std::filesystem::exists(Path("zmoAppGroup.new")));
  EXPECT_FALSE(std::filesystem::exists(Path("zmoTransGroup.new")));
  EXPECT_FALSE(std::filesystem::exists(Path("zmogrpupdt.dat"))) << "no rename";
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Finance", "Logistics"}));
  EXPECT_EQ(page()->cmbTransGroup->currentIndex(), -1) << "read again, nothing selected";
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
}

TEST_F(GroupPagesTest, AnEmptyTableWritesTwoEmptyFiles) {
  OpenWithGroups();
  Click(0);
  page()->cmdAppDelete->click();
  Click(0);
  page()->cmdAppDelete->click();
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoAppGroup.dat")), "");
  EXPECT_EQ(ReadAll(Path("zmoTransGroup.dat")), "");
  EXPECT_TRUE(std::filesystem::exists(Path("zmoTransGroup.dat")));
}

TEST_F(GroupPagesTest, AFailedSaveKeepsTheFilesAndTheTables) {
  OpenWithGroups();
  const std::string before = ReadAll(Path("zmoAppGroup.dat"));
  Click(1);
  page()->cmdAppDelete->click();
  // A directory where the membership file's new copy goes.
  std::filesystem::create_directories(Path("zmoTransGroup.new"));
  ui_.events.clear();
  page()->cmdOK->click();
  ASSERT_GE(ui_.events.size(), 2u);
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionFailed));
  EXPECT_EQ(ReadAll(Path("zmoAppGroup.dat")), before);
  EXPECT_EQ(Groups(), std::vector<std::string>{"Sales"});
  EXPECT_EQ(Table(), std::vector<std::string>{"Sales=2125"});
}

TEST_F(GroupPagesTest, CancelReadsBothFilesAgain) {
  OpenWithGroups();
  Click(0);
  page()->cmdAppEdit->click();
  groupDialog()->txtTransGroup->setText("Orders");
  groupDialog()->cmdOK->click();
  Settle();
  AddCodes("va09");
  ui_.events.clear();
  page()->cmdCancel->click();
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Sales", "Finance"}));
  EXPECT_EQ(GroupCodes("Sales"), (std::vector<std::string>{"VA01", "VA02"}));
  EXPECT_TRUE(gGroupRenames.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
  page()->cmdOK->click();
  EXPECT_FALSE(std::filesystem::exists(Path("zmogrpupdt.dat")));
}

TEST_F(GroupPagesTest, UnsavedGroupsSurviveAVisitToAnotherPage) {
  OpenWithGroups();
  AddGroup("Logistics", "1");
  main_->ShowPage<frmCurrentConfig>();
  main_->ShowPage<frmTransGroup>();
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Sales", "Finance", "Logistics"}));
  EXPECT_EQ(gAppGroupCount, 3);
  EXPECT_EQ(page()->cmbTransGroup->currentText(), "Logistics");
}

TEST_F(GroupPagesTest, AVisitWithNoGroupSelectedKeepsTheUnsavedTable) {
  OpenWithGroups();
  AddGroup("Logistics", "1");
  Click(0);
  page()->cmdAppDelete->click();  // no group is selected now
  main_->ShowPage<frmCurrentConfig>();
  main_->ShowPage<frmTransGroup>();
  EXPECT_EQ(Groups(), (std::vector<std::string>{"Finance", "Logistics"}));
  EXPECT_EQ(Table(), (std::vector<std::string>{"Finance=0500", "Logistics=1000"}))
      << "the table still matches the list shown";
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoAppGroup.dat")),
            AppRecord("Finance", "0500") + AppRecord("Logistics", "1000"));
}

TEST_F(GroupPagesTest, ANameTypedOverAnEntryIsNoListPosition) {
  OpenWithGroups();
  Click(1);
  page()->cmbTransGroup->setEditText("Fin");
  EXPECT_EQ(page()->ListPosition(), -1);
  page()->cmdAppDelete->click();  // deletes nothing
  EXPECT_EQ(gAppGroupCount, 2);
  page()->cmdAppEdit->click();  // edits no group: the dialog adds one
  EXPECT_TRUE(groupDialog()->txtIndex->text().isEmpty());
  EXPECT_EQ(groupDialog()->txtTransGroup->text(), "Fin");
}

// ---- The all-transaction level ----

struct SystemCase {
  const char* seconds;
  const char* millis;  // "": refused with 1423
  const char* shown;   // the page's box when it comes back
};

void PrintTo(const SystemCase& c, std::ostream* os) { *os << '"' << c.seconds << '"'; }

const SystemCase kSystemSeconds[] = {
    {"10", "10000", "10"},    {"10.0", "10000", "10"}, {"0.1", "0100", "0.1"},
    {"2,75", "2750", "2,75"}, {"3", "3000", "3"},      {"0.09", "", ""},
    {"10.5", "", ""},         {"x", "", ""},
};

class SystemLevelTest : public GroupPagesTest, public ::testing::WithParamInterface<SystemCase> {};

TEST_P(SystemLevelTest, OkStoresTheMillisecondsOrRefuses) {
  const SystemCase& c = GetParam();
  PutConfigText(zmo::cfg::kSystemSLA, "5000");
  PutConfigText(zmo::cfg::kNotation, "V");
  Open<frmSystemSLA>();
  auto* sla = main_->Page<frmSystemSLA>();
  EXPECT_EQ(sla->txtSeconds->text(), "5");
  sla->txtSeconds->setText(c.seconds);
  sla->cmdOK->click();
  if (*c.millis) {
    EXPECT_EQ(ConfigText(zmo::cfg::kSystemSLA), c.millis);
    EXPECT_EQ(CurrentFormName(), "frmCurrentConfig");
    EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionSuccessful));
    main_->ShowPage<frmSystemSLA>();
    EXPECT_EQ(sla->txtSeconds->text().toStdString(), c.shown);
  } else {
    EXPECT_EQ(ConfigText(zmo::cfg::kSystemSLA), "5000");
    EXPECT_EQ(ConfigText(zmo::cfg::kNotation), "V");
    EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1423), StatusOf(1453)}));
    EXPECT_EQ(sla->txtSeconds->selectedText(), c.seconds);
    EXPECT_TRUE(sla->IsActive());
  }
}

INSTANTIATE_TEST_SUITE_P(Seconds, SystemLevelTest, ::testing::ValuesIn(kSystemSeconds));

TEST_F(GroupPagesTest, SystemLevelEmptyIsRefusedAndCancelShowsTheStoredValue) {
  Open<frmSystemSLA>();
  auto* sla = main_->Page<frmSystemSLA>();
  EXPECT_TRUE(sla->txtSeconds->text().isEmpty()) << "none stored";
  sla->cmdOK->click();
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1421), StatusOf(1453)}));
  PutConfigText(zmo::cfg::kSystemSLA, "2125");
  PutConfigText(zmo::cfg::kNotation, ".");
  sla->txtSeconds->setText("7");
  ui_.events.clear();
  QTest::keyClick(sla->txtSeconds, Qt::Key_Escape);
  EXPECT_EQ(sla->txtSeconds->text(), "2.125");
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
  QTest::keyClick(sla->txtSeconds, Qt::Key_Return);  // unchanged: the same level
  EXPECT_EQ(ConfigText(zmo::cfg::kSystemSLA), "2125");
}

}  // namespace
