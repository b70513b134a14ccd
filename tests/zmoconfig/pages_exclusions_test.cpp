// The three exclusion-list pages and their dialogs driven as the user does:
// the entry rules of each member (upper case, trimming, too long, duplicate,
// single quote, the question on a code that is not a standard one), the
// add/edit protocol with the hidden row index, delete, OK writing each file
// byte for byte with its backup and removing an emptied list, Cancel, a
// failed save, Enter and Escape, and the tree node that opens each page.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmAddIgnore.h"
#include "frmCurrentConfig.h"
#include "frmIgnoreLists.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "page_window.h"

using namespace zmo::config;

namespace {

using zmo::IgnoreList;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// One member of the family: its files, the node that opens its page and
// what a too-long entry is.
struct MemberCase {
  const char* name;
  IgnoreList list;
  const char* file;
  const char* backup;
  const char* node;
  size_t width;
  int too_long;
  int duplicate;
};

void PrintTo(const MemberCase& c, std::ostream* os) { *os << c.name; }

// The page of a member, by its class.
PageCase MemberPage(IgnoreList list) {
  switch (list) {
    case IgnoreList::kIds:
      return PageCaseOf<frmIDsToIgnore>();
    case IgnoreList::kProgs:
      return PageCaseOf<frmProgsToIgnore>();
    case IgnoreList::kTrans:
      break;
  }
  return PageCaseOf<frmTransToIgnore>();
}

const MemberCase kMembers[] = {
    {"Ids", IgnoreList::kIds, "zmoIDsToIgnore.dat", "zmoIDsToIgnore.bak", "ndIDsToIgnore", 12, 1405,
     1424},
    {"Progs", IgnoreList::kProgs, "zmoProgsToIgnore.dat", "zmoProgsToIgnore.bak", "ndProgsToIgnore",
     30, 1406, 1425},
    {"Trans", IgnoreList::kTrans, "zmoTransToIgnore.dat", "zmoTransToIgnore.bak", "ndTransToIgnore",
     20, 1407, 1426},
};

class ExclusionPagesTest : public PageWindowTest {
 protected:
  // The main window with the member's page shown (or only the overview).
  void Open(IgnoreList list, bool show_page = true) {
    member_ = &IgnoreMemberOf(list);
    if (show_page) {
      PageWindowTest::Open(MemberPage(list));
    } else {
      OpenMain();
    }
  }
  bool BoxShown() const {
    for (const std::string& e : ui_.events) {
      if (e.rfind("box ", 0) == 0) return true;
    }
    return false;
  }
  IgnoreListPage* page() const {
    return qobject_cast<IgnoreListPage*>(MemberPage(member_->list).page(*main_));
  }
  IgnoreEntryDialog* dialog() const { return member_->dialog(page()); }
  std::string Path(const char* file) const { return bin_dir_ + "/" + file; }
  void Write(const char* file, const std::string& data) const {
    std::ofstream(Path(file), std::ios::binary) << data;
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < page()->List()->count(); ++i)
      items.push_back(page()->List()->item(i)->text().toStdString());
    return items;
  }
  // Create, type, OK.
  void Add(const QString& text) {
    page()->cmdAdd->click();
    dialog()->txtIgnore->setText(text);
    dialog()->cmdOK->click();
    Settle();
  }
  void Select(int row) { SetListIndex(page()->List(), row); }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  const IgnoreMember* member_ = nullptr;
};

class ExclusionMemberTest : public ExclusionPagesTest,
                            public ::testing::WithParamInterface<MemberCase> {};

TEST_P(ExclusionMemberTest, TheTreeNodeOpensThePageWithTheFileSorted) {
  const MemberCase& c = GetParam();
  Write(c.file, std::string("ZZZ") + std::string(c.width - 3, ' ') + "\r\n" + "AAA" +
                    std::string(c.width - 3, ' ') + "\r\n");
  Open(c.list, false);
  ShowNodeForm(c.node);
  ASSERT_NE(page(), nullptr);
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(CurrentFormName(), member_->page);
  EXPECT_EQ(page()->List()->objectName().toStdString(), member_->list_box);
  EXPECT_EQ(Items(), (std::vector<std::string>{"AAA", "ZZZ"}));
  EXPECT_EQ(page()->cmdAdd->text(), "&Create");
  EXPECT_FALSE(page()->lblTitle->text().isEmpty());
  EXPECT_FALSE(page()->lblText->text().isEmpty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
}

TEST_P(ExclusionMemberTest, ASecondDeleteRemovesNothing) {
  const MemberCase& c = GetParam();
  const std::string pad(c.width - 3, ' ');
  Write(c.file, "AAA" + pad + "\r\n" + "BBB" + pad + "\r\n" + "CCC" + pad + "\r\n");
  Open(c.list);
  ClickRow(page()->List(), 1);
  ASSERT_EQ(ListIndex(page()->List()), 1);
  page()->cmdDelete->click();
  EXPECT_EQ(ListIndex(page()->List()), -1) << "no row is selected after a removal";
  page()->cmdDelete->click();
  EXPECT_EQ(Items(), (std::vector<std::string>{"AAA", "CCC"}));
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path(c.file)), "AAA" + pad + "\r\n" + "CCC" + pad + "\r\n");
}

TEST_P(ExclusionMemberTest, TooLongEntryIsRefusedWithItsMessageAndTheTextSelected) {
  const MemberCase& c = GetParam();
  Open(c.list);
  page()->cmdAdd->click();
  IgnoreEntryDialog* d = dialog();
  d->txtIgnore->setText(QString(int(c.width) + 1, QChar('x')));  // code sets any length
  ui_.events.clear();
  d->cmdOK->click();
  Settle();
  ASSERT_EQ(dialog(), d) << "the dialog stays";
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(c.too_long), StatusOf(1453)}));
  EXPECT_EQ(QApplication::focusWidget(), d->txtIgnore);
  EXPECT_EQ(d->txtIgnore->selectedText(), d->txtIgnore->text());
  EXPECT_EQ(d->txtIgnore->text(), QString(int(c.width) + 1, QChar('X'))) << "upper-cased";
  d->txtIgnore->setText(QString(int(c.width), QChar('y')));
  d->cmdOK->click();
  Settle();
  EXPECT_EQ(Items(), std::vector<std::string>{std::string(c.width, 'Y')});
}

TEST_P(ExclusionMemberTest, EditingARowUnchangedAnswersTheDuplicateMessage) {
  const MemberCase& c = GetParam();
  Open(c.list);
  Add("va01");
  Select(0);
  page()->cmdEdit->click();
  IgnoreEntryDialog* d = dialog();
  EXPECT_EQ(d->txtIgnore->text(), "VA01");
  EXPECT_EQ(d->txtIndex->text(), "0");
  ui_.events.clear();
  d->cmdOK->click();
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(c.duplicate), StatusOf(1453)}));
  d->txtIgnore->setText("va02");
  d->cmdOK->click();
  Settle();
  EXPECT_EQ(Items(), std::vector<std::string>{"VA02"}) << "the edited row is replaced";
  EXPECT_EQ(QApplication::focusWidget(), page()->List());
}

TEST_P(ExclusionMemberTest, ASingleQuoteIsRefused) {
  const MemberCase& c = GetParam();
  Open(c.list);
  page()->cmdAdd->click();
  dialog()->txtIgnore->setText("O'BRIEN");
  ui_.events.clear();
  dialog()->cmdOK->click();
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(kTextSingleQuote), StatusOf(1453)}));
  EXPECT_TRUE(dialog()->IsActive());
  EXPECT_EQ(page()->List()->count(), 0);
}

TEST_P(ExclusionMemberTest, AnEmptyEntryIsIgnoredWithoutAMessage) {
  const MemberCase& c = GetParam();
  Open(c.list);
  page()->cmdAdd->click();
  IgnoreEntryDialog* d = dialog();
  d->txtIgnore->setText("   ");
  ui_.events.clear();
  d->cmdOK->click();
  Settle();
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(dialog(), d);
  EXPECT_TRUE(d->IsActive());
}

TEST_P(ExclusionMemberTest, OkWritesTheFileWithItsBackupAndAnEmptyListRemovesIt) {
  const MemberCase& c = GetParam();
  const std::string pad(c.width - 4, ' ');
  const std::string first = "OLD1" + pad + "\r\n";
  Write(c.file, first);
  Open(c.list);
  Add("new2");
  Add("abc3");
  ui_.events.clear();
  page()->cmdOK->click();
  const std::string second = "ABC3" + pad + "\r\n" + "NEW2" + pad + "\r\n" + "OLD1" + pad + "\r\n";
  EXPECT_EQ(ReadAll(Path(c.file)), second);
  EXPECT_EQ(ReadAll(Path(c.backup)), first);
  EXPECT_EQ(ui_.events, std::vector<std::string>{StatusOf(kTextActionSuccessful)});
  EXPECT_EQ(ListIndex(page()->List()), 2) << "the last row is left selected";
  // A second save: the backup holds the file the first one wrote.
  Select(0);
  page()->cmdDelete->click();
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path(c.file)), "NEW2" + pad + "\r\n" + "OLD1" + pad + "\r\n");
  EXPECT_EQ(ReadAll(Path(c.backup)), second);
  // Emptied: the file goes, the backup stays, no status.
  while (page()->List()->count() > 0) {
    Select(0);
    page()->cmdDelete->click();
  }
  ui_.events.clear();
  page()->cmdOK->click();
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_FALSE(std::filesystem::exists(Path(c.file)));
  EXPECT_EQ(ReadAll(Path(c.backup)), second);
  page()->cmdCancel->click();
  EXPECT_EQ(page()->List()->count(), 0) << "reopened: an empty list";
}

INSTANTIATE_TEST_SUITE_P(Members, ExclusionMemberTest, ::testing::ValuesIn(kMembers));

TEST_F(ExclusionPagesTest, UserIdsAreTrimmedProgramsKeepTheirBlanks) {
  Open(IgnoreList::kIds);
  Add(" abc ");
  EXPECT_EQ(Items(), std::vector<std::string>{"ABC"});
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoIDsToIgnore.dat")), "ABC         \r\n");
  delete main_.data();
  Settle();

  Open(IgnoreList::kProgs);
  Add(" abc ");
  Add("ABC");  // differs by the blanks only: no duplicate for programs
  EXPECT_EQ(Items(), (std::vector<std::string>{" ABC ", "ABC"}));
  ui_.events.clear();
  Add(" abc ");
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1425), StatusOf(1453)}));
  dialog()->cmdCancel->click();
  Settle();
  page()->cmdOK->click();
  const std::string line = "ABC" + std::string(27, ' ') + "\r\n";
  EXPECT_EQ(ReadAll(Path("zmoProgsToIgnore.dat")), line + line);
}

TEST_F(ExclusionPagesTest, AUserIdWithBlanksAroundAnExistingOneIsADuplicate) {
  Open(IgnoreList::kIds);
  Add("abc");
  ui_.events.clear();
  Add("  Abc ");
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1424), StatusOf(1453)}));
}

TEST_F(ExclusionPagesTest, ThreeSavedIdsAreAFileOf42Bytes) {
  Open(IgnoreList::kIds);
  for (const char* id : {"DDIC", "SAP*", "BATCHUSER"}) Add(id);
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(Path("zmoIDsToIgnore.dat")),
            "BATCHUSER   \r\nDDIC        \r\nSAP*        \r\n");
}

TEST_F(ExclusionPagesTest, TheTransactionBoxTakesNoTwentyFirstCharacter) {
  Open(IgnoreList::kTrans);
  page()->cmdAdd->click();
  QTest::keyClicks(dialog()->txtIgnore, QString(25, QChar('a')));
  EXPECT_EQ(dialog()->txtIgnore->text().size(), 20);
  Open(IgnoreList::kIds);
  page()->cmdAdd->click();
  QTest::keyClicks(dialog()->txtIgnore, QString(25, QChar('a')));
  EXPECT_EQ(dialog()->txtIgnore->text().size(), 25) << "IDs: any length typed";
}

TEST_F(ExclusionPagesTest, ACodeThatIsNotStandardIsAskedAbout) {
  Write("zmotcodes.dat", "SE38                \r\nVA01                \r\n");
  Open(IgnoreList::kTrans);
  Add("va01");  // standard: no question
  EXPECT_FALSE(BoxShown());
  EXPECT_EQ(Items(), std::vector<std::string>{"VA01"});
  page()->cmdAdd->click();
  IgnoreEntryDialog* d = dialog();
  d->txtIgnore->setText("zz99");
  ui_.events.clear();
  ui_.box_buttons.clear();
  ui_.answers = {MsgAnswer::No};
  d->cmdOK->click();
  Settle();
  ASSERT_EQ(ui_.events.size(), 1u);
  EXPECT_EQ(ui_.events[0], BoxOf(1487) + " ZZ99");
  EXPECT_EQ(ui_.box_buttons[0], MsgButtons::YesNo);
  EXPECT_EQ(dialog(), d) << "No: the dialog stays";
  EXPECT_EQ(d->txtIgnore->selectedText(), "ZZ99");
  EXPECT_EQ(Items(), std::vector<std::string>{"VA01"});
  ui_.answers = {MsgAnswer::Yes};
  d->cmdOK->click();
  Settle();
  EXPECT_EQ(Items(), (std::vector<std::string>{"VA01", "ZZ99"}));
  // The question is the transaction member's alone.
  delete main_.data();
  Settle();
  Open(IgnoreList::kIds);
  ui_.events.clear();
  Add("zz99");
  EXPECT_FALSE(BoxShown());
  EXPECT_EQ(Items(), std::vector<std::string>{"ZZ99"});
}

TEST_F(ExclusionPagesTest, DeleteThenCancelBringsTheRowBackFromTheFile) {
  Write("zmoIDsToIgnore.dat", "DDIC        \r\n");
  Open(IgnoreList::kIds);
  page()->cmdDelete->click();  // nothing selected: nothing happens
  EXPECT_EQ(Items(), std::vector<std::string>{"DDIC"});
  Select(0);
  page()->cmdDelete->click();
  EXPECT_TRUE(Items().empty());
  ui_.events.clear();
  page()->cmdCancel->click();
  EXPECT_EQ(Items(), std::vector<std::string>{"DDIC"});
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{StatusOf(kTextReady), StatusOf(kTextActionCancelled)}));
}

TEST_F(ExclusionPagesTest, UnsavedRowsSurviveAVisitToAnotherPage) {
  Open(IgnoreList::kIds);
  Add("ddic");
  main_->ShowPage<frmCurrentConfig>();
  main_->ShowPage<frmIDsToIgnore>();
  EXPECT_EQ(Items(), std::vector<std::string>{"DDIC"});
  EXPECT_FALSE(std::filesystem::exists(Path("zmoIDsToIgnore.dat")));
}

TEST_F(ExclusionPagesTest, TheOverviewShowsTheSavedList) {
  Open(IgnoreList::kTrans);
  Add("se38");
  Add("va01");
  page()->cmdOK->click();
  main_->ShowPage<frmCurrentConfig>();
  auto* overview = main_->Page<frmCurrentConfig>();
  ASSERT_EQ(overview->cmbTransactions->count(), 2);
  EXPECT_EQ(overview->cmbTransactions->itemText(0), "SE38");
  EXPECT_EQ(overview->cmbTransactions->itemText(1), "VA01");
  EXPECT_EQ(overview->cmbIDs->count(), 0);
}

TEST_F(ExclusionPagesTest, AFailedSaveIsShownAndKeepsTheListAndTheOldFile) {
  Open(IgnoreList::kIds);
  Add("ddic");
  // A directory where the file should be: the write beside it cannot
  // replace it.
  std::filesystem::create_directories(Path("zmoIDsToIgnore.dat"));
  ui_.events.clear();
  page()->cmdOK->click();
  ASSERT_EQ(ui_.events.size(), 2u);
  EXPECT_EQ(ui_.events[0].rfind(BoxOf(kTextErrorEncountered), 0), 0u) << ui_.events[0];
  EXPECT_EQ(ui_.events[1], StatusOf(kTextActionFailed));
  EXPECT_EQ(Items(), std::vector<std::string>{"DDIC"});
  EXPECT_TRUE(std::filesystem::is_directory(Path("zmoIDsToIgnore.dat")));
}

TEST_F(ExclusionPagesTest, DialogCancelChangesNothingAndEnterEscapeWork) {
  Open(IgnoreList::kProgs);
  Add("rsconn01");
  Select(0);
  page()->cmdEdit->click();
  dialog()->txtIgnore->setText("changed");
  ui_.events.clear();
  QTest::keyClick(dialog()->txtIgnore, Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(Items(), std::vector<std::string>{"RSCONN01"});
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
  page()->cmdAdd->click();
  EXPECT_TRUE(dialog()->txtIgnore->text().isEmpty()) << "a fresh dialog";
  EXPECT_TRUE(dialog()->txtIndex->text().isEmpty());
  dialog()->txtIgnore->setText("sapmv45a");
  QTest::keyClick(dialog()->txtIgnore, Qt::Key_Return);
  Settle();
  EXPECT_EQ(Items(), (std::vector<std::string>{"RSCONN01", "SAPMV45A"}));
  // Enter on the page saves.
  page()->List()->setFocus();
  QTest::keyClick(page()->List(), Qt::Key_Return);
  EXPECT_EQ(ReadAll(Path("zmoProgsToIgnore.dat")).size(), 64u);
}

TEST_F(ExclusionPagesTest, DialogsCarryTheirMembersLabels) {
  Open(IgnoreList::kIds);
  page()->cmdAdd->click();
  auto* id = qobject_cast<frmAddID*>(dialog());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->lblUserID->text(), "User ID to exclude from reports");
  EXPECT_EQ(id->lblTitle->text(), "Exclude user ID");
  EXPECT_EQ(CurrentFormName(), "frmAddID");
  EXPECT_FALSE(page()->isVisible()) << "the dialog takes the page's place";
  delete main_.data();
  Settle();
  Open(IgnoreList::kTrans);
  page()->cmdAdd->click();
  auto* trans = qobject_cast<frmAddTrans*>(dialog());
  ASSERT_NE(trans, nullptr);
  EXPECT_EQ(trans->lblTransToExclude->text(), "Transaction to exclude");
  // Without a title of its own the dialog shows its caption as its heading:
  // beside the tree there is no title bar.
  EXPECT_TRUE(trans->lblTitle->isVisible());
  EXPECT_EQ(trans->lblTitle->text(), CatalogText(1319));
  EXPECT_EQ(trans->lblTitle->text(), trans->windowTitle());
}

}  // namespace
