// The configuration tree and page navigation: the 26 nodes, what opening
// each does, the folder images, Tab and Enter in the tree, the focus given
// back to the tree, page placement, the information pages and the overview
// page; and the page skeleton every page shares (Enter and Escape, the
// message idiom, the tagged boxes, the list extent routine).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "MDIMainForm.h"
#include "frmCurrentConfig.h"
#include "frmDataSource.h"
#include "frmInfoPages.h"
#include "frmServers.h"
#include "frmTreeView.h"
#include "localize.h"
#include "mdi.h"
#include "navigation.h"
#include "page.h"
#include "page_window.h"
#include "zmoconfig/record_codec.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::PutConfigText;

class NavigationTest : public PageWindowTest {
 protected:
  void SetUp() override {
    PutConfigText(zmo::cfg::kStatiInput, bin_dir_ + "/zmoserver.dat");
    OpenMain();
    tree()->treConfigurator->expandAll();
    ui_.events.clear();
  }
  frmTreeView* tree() const { return main_->Tree(); }
  QTreeWidgetItem* node(const char* key) const { return tree()->Node(QLatin1String(key)); }
  // A press of button on the node's text, as the user makes it.
  void Press(const char* key, Qt::MouseButton button = Qt::LeftButton) {
    QTreeWidget* t = tree()->treConfigurator;
    const QRect r = t->visualItemRect(node(key));
    ASSERT_TRUE(r.isValid()) << key;
    QTest::mousePress(t->viewport(), button, Qt::NoModifier, r.center());
    QTest::mouseRelease(t->viewport(), button, Qt::NoModifier, r.center());
  }
  // The unselected image of each folder node, in the order 2, 6, 10, 13, 16.
  std::vector<int> FolderImages() const {
    std::vector<int> images;
    for (int n : {2, 6, 10, 13, 16})
      images.push_back(tree()->Node(n)->data(0, kNodeImageRole).toInt());
    return images;
  }
  FormBase* VisiblePage() const {
    FormBase* shown = nullptr;
    for (QMdiSubWindow* sub : main_->mdiArea->subWindowList()) {
      auto* form = qobject_cast<FormBase*>(sub->widget());
      if (form != tree() && sub->isVisible()) {
        EXPECT_EQ(shown, nullptr) << "two pages beside the tree";
        shown = form;
      }
    }
    return shown;
  }
  void WriteBin(const std::string& name, const std::string& data) {
    std::ofstream(bin_dir_ + "/" + name, std::ios::binary) << data;
  }
  void ProcessQueued() { QCoreApplication::processEvents(); }
};

constexpr int kC = kImgCloseFolder;
constexpr int kO = kImgOpenFolder;

// Every node: its key, parent, text after localisation and images.
struct NodeCase {
  const char* key;
  const char* parent;
  const char* text;
  int image;
  int selected;
};

const NodeCase kNodeCases[] = {
    {"ndCurrentConfig", "", "Current configuration", kC, kO},
    {"ndInitialConfig", "", "Initial configuration", kC, kO},
    {"ndDataSource", "ndInitialConfig", "Repository database", kImgData, kImgData},
    {"ndServer", "ndInitialConfig", "Server", kImgServer, kImgServer},
    {"ndKeepDays", "ndInitialConfig", "Repository database retention period", kImgData, kImgData},
    {"ndReportConfig", "", "Report configuration", kC, kO},
    {"ndProgsToIgnore", "ndReportConfig", "Programs to exclude", kImgApps, kImgApps},
    {"ndIDsToIgnore", "ndReportConfig", "IDs to exclude", kImgID, kImgID},
    {"ndTransToIgnore", "ndReportConfig", "Transactions to exclude", kImgTrans, kImgTrans},
    {"ndSLA", "", "Service level agreement", kC, kO},
    {"ndSLAapplications", "ndSLA", "Application SLA", kImgSLA, kImgSLA},
    {"ndSystemSLA", "ndSLA", "All transaction SLA", kImgSLA, kImgSLA},
    {"ndSchedule", "", "Schedule", kC, kO},
    {"ndSchStati", "ndSchedule", "Schedule statistics", kImgOSCollect, kImgOSCollect},
    {"ndSnapConfig", "ndSchedule", "Schedule indicator", kImgOSCollect, kImgOSCollect},
    {"ndLogs", "", "Logs and traces", kC, kO},
    {"ndKLVstatiLog", "ndLogs", "Statistics log", kImgTransGroup, kImgTransGroup},
    {"ndKLVsnapLog", "ndLogs", "Indicator log", kImgTransGroup, kImgTransGroup},
    {"ndStatiLog", "ndLogs", "Statistics collection trace", kImgTransGroup, kImgTransGroup},
    {"ndSnapLog", "ndLogs", "Indicator collection trace", kImgTransGroup, kImgTransGroup},
    {"ndLoadStatiLog", "ndLogs", "Statistics load trace", kImgTransGroup, kImgTransGroup},
    {"ndLoadSnapLog", "ndLogs", "Indicator load trace", kImgTransGroup, kImgTransGroup},
    {"ndAggStatiLog", "ndLogs", "Statistics aggregation trace", kImgTransGroup, kImgTransGroup},
    {"ndAggSnapLog", "ndLogs", "Indicator aggregation trace", kImgTransGroup, kImgTransGroup},
    {"ndLoaderLog", "ndLogs", "Database load settings trace", kImgTransGroup, kImgTransGroup},
    {"ndSpecRun", "", "Special run", kImgSpecRun, kImgSpecRun},
};

TEST_F(NavigationTest, TreeHoldsTheNodesInOrderWithTextsAndImages) {
  ASSERT_EQ(std::size(kNodeCases), 26u);
  for (int i = 0; i < 26; ++i) {
    const NodeCase& c = kNodeCases[i];
    QTreeWidgetItem* n = tree()->Node(i + 1);
    ASSERT_NE(n, nullptr) << i + 1;
    EXPECT_EQ(frmTreeView::Key(n).toStdString(), c.key);
    EXPECT_EQ(frmTreeView::Key(n->parent()).toStdString(), c.parent) << c.key;
    EXPECT_EQ(n->text(0).toStdString(), c.text) << c.key;
    EXPECT_EQ(n->data(0, kNodeImageRole).toInt(), c.image) << c.key;
    EXPECT_EQ(n->data(0, kNodeSelectedImageRole).toInt(), c.selected) << c.key;
    EXPECT_FALSE(n->icon(0).isNull()) << c.key;
  }
  EXPECT_EQ(tree()->Node(27), nullptr);
  EXPECT_EQ(tree()->treConfigurator->topLevelItemCount(), 7);
}

// What pressing a node does: the page then current (gCurrentForm; kNoPage
// when the page stays: a log, or a page this test does not look at), the
// log file started ("" none), the folder images after it, and whether the
// page takes the focus (else it stays in the tree).
struct OpenCase {
  const char* key;
  PageCase page;
  const char* log;
  std::vector<int> folders;
  bool page_focus = false;
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.key; }

const std::vector<int> kAllClosed = {kC, kC, kC, kC, kC};
const std::vector<int> kInitOpen = {kO, kC, kC, kC, kC};
const std::vector<int> kRepOpen = {kC, kO, kC, kC, kC};
const std::vector<int> kSlaOpen = {kC, kC, kO, kC, kC};
const std::vector<int> kSchOpen = {kC, kC, kC, kO, kC};
const std::vector<int> kLogsOpen = {kC, kC, kC, kC, kO};

const PageCase kNoPage = {"", nullptr};

const OpenCase kOpenCases[] = {
    {"ndServer", PageCaseOf<frmServers>(), "", kInitOpen, true},
    {"ndDataSource", PageCaseOf<frmDataSource>(), "", kInitOpen, true},
    {"ndCurrentConfig", PageCaseOf<frmCurrentConfig>(), "", kSchOpen, true},
    {"ndSpecRun", kNoPage, "", kAllClosed},
    {"ndInitialConfig", PageCaseOf<frmInitConfig>(), "", kInitOpen},
    {"ndReportConfig", PageCaseOf<frmRepConfig>(), "", kRepOpen},
    {"ndSLA", PageCaseOf<frmSLAconfig>(), "", kSlaOpen},
    {"ndSchedule", PageCaseOf<frmSchConfig>(), "", kSchOpen},
    {"ndKLVstatiLog", kNoPage, "trace_zmostatisum.log", kLogsOpen},
    {"ndKLVsnapLog", kNoPage, "trace_zmosnapsum.log", kLogsOpen},
    {"ndStatiLog", kNoPage, "trace_zmostati.log", kLogsOpen},
    {"ndSnapLog", kNoPage, "trace_zmosnap.log", kLogsOpen},
    {"ndLoadStatiLog", kNoPage, "trace_zmo_load_stati.log", kLogsOpen},
    {"ndLoadSnapLog", kNoPage, "trace_zmo_load_snap.log", kLogsOpen},
    {"ndAggStatiLog", kNoPage, "trace_zmo_agg_stati.log", kLogsOpen},
    {"ndAggSnapLog", kNoPage, "trace_zmo_agg_snap.log", kLogsOpen},
    {"ndLoaderLog", kNoPage, "trace_zmoldr.log", kLogsOpen},
};

class NodeOpenTest : public NavigationTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(NodeOpenTest, PressOpensWhatTheNodeStandsFor) {
  const OpenCase& c = GetParam();
  if (*c.log) WriteBin(c.log, "line\r\n");
  Press("ndSchedule");  // another folder open first: opening must close it
  ui_.started.clear();
  Press(c.key);
  EXPECT_EQ(gClickedNodeKey.toStdString(), c.key);
  EXPECT_EQ(FolderImages(), c.folders);
  if (*c.page.name) {
    FormBase* page = c.page.page(*main_);
    EXPECT_EQ(CurrentFormName(), c.page.name);
    EXPECT_EQ(VisiblePage(), page);
    EXPECT_TRUE(page->IsActive());
    EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
    QWidget* focus = QApplication::focusWidget();
    if (c.page_focus) {
      EXPECT_TRUE(page->isAncestorOf(focus)) << (focus ? focus->objectName().toStdString() : "");
    } else {
      EXPECT_EQ(focus, tree()->treConfigurator);
    }
  }
  if (*c.log) {
    ASSERT_EQ(ui_.started.size(), 1u);
    EXPECT_EQ(ui_.started[0].back(), bin_dir_ + "/" + c.log);
  } else {
    EXPECT_TRUE(ui_.started.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Nodes, NodeOpenTest, ::testing::ValuesIn(kOpenCases));

TEST_F(NavigationTest, LogsFolderOpensNothingAndLeavesTheImages) {
  Press("ndReportConfig");
  FormBase* before = VisiblePage();
  ui_.events.clear();
  Press("ndLogs");
  EXPECT_EQ(FolderImages(), kRepOpen);
  EXPECT_EQ(VisiblePage(), before);
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_TRUE(ui_.started.empty());
}

TEST_F(NavigationTest, OverviewNodeLeavesTheImagesAndSpecialRunClosesAll) {
  Press("ndInitialConfig");
  Press("ndCurrentConfig");
  EXPECT_EQ(FolderImages(), kInitOpen);
  EXPECT_EQ(VisiblePage(), main_->Page<frmCurrentConfig>());
  EXPECT_EQ(CurrentFormName(), "frmCurrentConfig");
  EXPECT_TRUE(main_->Page<frmCurrentConfig>()->isAncestorOf(QApplication::focusWidget()));
  Press("ndSpecRun");
  EXPECT_EQ(FolderImages(), kAllClosed);
}

TEST_F(NavigationTest, RightButtonOpensTheNodeAsTheLeftDoes) {
  Press("ndSLA", Qt::RightButton);
  EXPECT_EQ(CurrentFormName(), "frmSLAconfig");
  EXPECT_EQ(FolderImages(), kSlaOpen);
}

// A press on a folder's expand arrow opens the folder and its page, and
// the folder is the node highlighted, not the one pressed before.
TEST_F(NavigationTest, APressOnTheExpandArrowHighlightsItsNode) {
  QTreeWidget* t = tree()->treConfigurator;
  t->collapseItem(node("ndSchedule"));
  Press("ndCurrentConfig");
  ASSERT_EQ(t->currentItem(), node("ndCurrentConfig"));
  const QRect r = t->visualItemRect(node("ndSchedule"));
  const QPoint arrow(r.left() - t->indentation() / 2, r.center().y());
  ASSERT_EQ(t->itemAt(arrow), node("ndSchedule"));
  QTest::mousePress(t->viewport(), Qt::LeftButton, Qt::NoModifier, arrow);
  QTest::mouseRelease(t->viewport(), Qt::LeftButton, Qt::NoModifier, arrow);
  EXPECT_TRUE(node("ndSchedule")->isExpanded()) << "the press fell on the arrow";
  EXPECT_EQ(CurrentFormName(), "frmSchConfig");
  EXPECT_EQ(t->currentItem(), node("ndSchedule"));
  EXPECT_TRUE(node("ndSchedule")->isSelected());
  EXPECT_FALSE(node("ndCurrentConfig")->isSelected());
}

// Made smaller than the tree and its page, the window scrolls to them: the
// page's OK and Cancel and the tree's foot can be brought into view.
TEST_F(NavigationTest, ASmallWindowScrollsToThePageButtonsAndTheTreeFoot) {
  main_->ShowPage<frmServers>();
  main_->resize(Twips(5000), Twips(3000));
  Settle();
  QMdiArea* area = main_->mdiArea;
  QScrollBar* across = area->horizontalScrollBar();
  QScrollBar* down = area->verticalScrollBar();
  EXPECT_TRUE(across->isVisible());
  EXPECT_TRUE(down->isVisible());
  across->setValue(across->maximum());
  down->setValue(down->maximum());
  Settle();
  auto* page = main_->Page<frmServers>();
  auto* cancel = page->findChild<QPushButton*>("cmdCancel");
  ASSERT_NE(cancel, nullptr);
  const QRect view = area->viewport()->rect();
  const QRect button(cancel->mapTo(area->viewport(), QPoint(0, 0)), cancel->size());
  EXPECT_TRUE(view.contains(button)) << "Cancel within the view";
  across->setValue(0);
  Settle();
  QWidget* t = tree();
  const QRect foot(t->mapTo(area->viewport(), QPoint(0, 0)), t->size());
  EXPECT_TRUE(view.contains(foot.bottomLeft())) << "the tree's foot within the view";
  Render("zmoconfig_small_window.png");
  // Large enough again, nothing scrolls.
  main_->resize(Twips(9650), Twips(6300));
  Settle();
  EXPECT_FALSE(across->isVisible());
  EXPECT_FALSE(down->isVisible());
}

TEST_F(NavigationTest, PressOutsideEveryNodeDoesNothing) {
  QTreeWidget* t = tree()->treConfigurator;
  t->collapseAll();
  const std::string before = CurrentFormName();
  QTest::mousePress(t->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(5, t->viewport()->height() - 3));
  EXPECT_EQ(CurrentFormName(), before);
  EXPECT_EQ(FolderImages(), kAllClosed);
  EXPECT_TRUE(ui_.events.empty());
}

TEST_F(NavigationTest, UnknownKeysOpenNothing) {
  for (const char* key : {"", "ndserver", "ndNoSuchNode"}) ShowNodeForm(QLatin1String(key));
  EXPECT_EQ(FolderImages(), kAllClosed);
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(CurrentFormName(), "frmCurrentConfig");
}

TEST_F(NavigationTest, ApplicationSlaNodeShowsTheHourglassWhileItOpens) {
  Press("ndSLAapplications");
  const std::vector<std::string> want = {"hourglass on", "hourglass off"};
  std::vector<std::string> hourglass;
  for (const std::string& e : ui_.events)
    if (e.rfind("hourglass", 0) == 0) hourglass.push_back(e);
  EXPECT_EQ(hourglass, want);
  EXPECT_EQ(FolderImages(), kSlaOpen);
}

TEST_F(NavigationTest, EnterInTheTreeOpensTheSelectedNode) {
  QTreeWidget* t = tree()->treConfigurator;
  t->setFocus();
  t->setCurrentItem(node("ndSchedule"));
  QTest::keyClick(t, Qt::Key_Return);
  EXPECT_EQ(CurrentFormName(), "frmSchConfig");
  t->setCurrentItem(nullptr);
  ui_.events.clear();
  QTest::keyClick(t, Qt::Key_Return);  // no node selected: nothing
  EXPECT_TRUE(ui_.events.empty());
}

TEST_F(NavigationTest, InformationPageHandsTheFocusToTheTreeAndTabKeepsItThere) {
  Press("ndInitialConfig");
  QTreeWidget* t = tree()->treConfigurator;
  EXPECT_EQ(QApplication::focusWidget(), t);
  QTest::keyClick(t, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), t);
}

TEST_F(NavigationTest, TabInTheTreeReturnsToTheCurrentPage) {
  QTreeWidget* t = tree()->treConfigurator;
  t->setFocus();
  ASSERT_EQ(CurrentFormName(), "frmCurrentConfig");
  QTest::keyClick(t, Qt::Key_Tab);
  EXPECT_TRUE(main_->Page<frmCurrentConfig>()->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(NavigationTest, LeavingTheOverviewsLastBoxWithTabLandsInTheTree) {
  auto* page = main_->Page<frmCurrentConfig>();
  page->cmbTransactions->setFocus();
  QTest::keyClick(page->cmbTransactions, Qt::Key_Tab);
  ProcessQueued();
  EXPECT_EQ(QApplication::focusWidget(), tree()->treConfigurator);
}

TEST_F(NavigationTest, PageKeepsItsWidthUnlessTheWindowIsWider) {
  FormBase* page = main_->Page<frmRepConfig>();
  main_->resize(Twips(9650), main_->height());
  Press("ndReportConfig");
  EXPECT_EQ(page->width(), Twips(5884));
  EXPECT_EQ(page->parentWidget()->geometry().left(), Twips(3564));
  EXPECT_EQ(page->parentWidget()->geometry().top(), tree()->parentWidget()->geometry().top());
  main_->resize(Twips(9650) + 100, main_->height());
  PlaceChildForm(page);
  EXPECT_EQ(page->width(), Twips(5884) + 100);
  EXPECT_EQ(page->parentWidget()->width(), Twips(5884) + 100);
  EXPECT_EQ(tree()->size(), QSize(Twips(3564), Twips(4995)));
}

TEST_F(NavigationTest, InformationPagesShowTheirCatalogTexts) {
  struct Case {
    const char* node;
    PageCase page;
    const char* first;
    const char* second;
    int first_id;
    int second_id;
  };
  const Case cases[] = {
      {"ndInitialConfig", PageCaseOf<frmInitConfig>(), "lblTitle", "lblDescription", 1108, 1330},
      {"ndReportConfig", PageCaseOf<frmRepConfig>(), "lblDescription", "lblInstructions", 1109,
       1336},
      {"ndSLA", PageCaseOf<frmSLAconfig>(), "lblTitle", "lblDescription", 1110, 1344},
      {"ndSchedule", PageCaseOf<frmSchConfig>(), "lblTitle", "lblDescription", 1111, 1338},
  };
  for (const Case& c : cases) {
    Press(c.node);
    FormBase* page = c.page.page(*main_);
    EXPECT_EQ(page->findChild<QLabel*>(QLatin1String(c.first))->text(), CatalogText(c.first_id));
    EXPECT_EQ(page->findChild<QLabel*>(QLatin1String(c.second))->text(), CatalogText(c.second_id));
    EXPECT_FALSE(page->findChild<QLabel*>("imgLogo")->pixmap().isNull());
  }
}

// ---- The overview page ----

ServerRow Row(const char* host, const char* sysnr) {
  ServerRow r;
  r[kSrvHost] = host;
  r[kSrvUser] = "USER";
  r[kSrvPassword] = "";
  r[kSrvSid] = "PRD";
  r[kSrvClient] = "100";
  r[kSrvSysnr] = sysnr;
  r[kSrvWindowStart] = "000000";
  r[kSrvWindowEnd] = "240000";
  r[kSrvLanguage] = "E";
  return r;
}

TEST_F(NavigationTest, OverviewShowsEveryListAndSelectsTheFirstEntries) {
  PutConfigText(zmo::cfg::kDSN, "ZMODSN");
  WriteBin("zmoserver.dat", EncodeServerRecord(Row("a.example.com", "00")) +
                                EncodeServerRecord(Row("much-longer-host.example.com", "01")));
  WriteBin("zmoProgsToIgnore.dat", EncodeIgnoreLine(zmo::IgnoreList::kProgs, "RSPROG1") +
                                       EncodeIgnoreLine(zmo::IgnoreList::kProgs, "RSPROG2"));
  WriteBin("zmoIDsToIgnore.dat", EncodeIgnoreLine(zmo::IgnoreList::kIds, "DDIC"));
  Press("ndInitialConfig");
  ui_.events.clear();
  Press("ndCurrentConfig");
  auto* page = main_->Page<frmCurrentConfig>();
  EXPECT_EQ(page->txtDataSource->text(), "ZMODSN");
  ASSERT_EQ(page->lstServers->count(), 2);
  EXPECT_EQ(page->lstServers->item(1)->text(), "much-longer-host.example.com");
  EXPECT_EQ(page->lstServers->property("HorizontalExtent").toInt(),
            page->lstServers->fontMetrics().horizontalAdvance("much-longer-host.example.com"));
  EXPECT_EQ(page->cmbPrograms->count(), 2);
  EXPECT_EQ(page->cmbPrograms->currentIndex(), 0);
  EXPECT_EQ(page->cmbIDs->currentText(), "DDIC");
  EXPECT_EQ(page->cmbTransactions->count(), 0);
  EXPECT_EQ(page->cmbTransactions->currentIndex(), -1) << "an empty list selects nothing";
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
}

TEST_F(NavigationTest, OverviewReadsItsOwnCopyOfTheServerFile) {
  WriteBin("zmoserver.dat", EncodeServerRecord(Row("a.example.com", "00")));
  gServers.assign(2, ServerRow{});
  gServers[1] = Row("unsaved.example.com", "07");
  gServerCount = 1;
  Press("ndCurrentConfig");
  auto* page = main_->Page<frmCurrentConfig>();
  ASSERT_EQ(page->lstServers->count(), 1);
  EXPECT_EQ(page->lstServers->item(0)->text(), "a.example.com");
  ASSERT_EQ(gServerCount, 1);
  EXPECT_EQ(gServers[1][kSrvHost], "unsaved.example.com") << "the servers page's edits stay";
}

TEST_F(NavigationTest, OverviewKeepsTheNoticeOfAServerFileItCouldNotRead) {
  std::filesystem::create_directories(bin_dir_ + "/zmoserver.dat");  // not a file
  Press("ndCurrentConfig");
  std::vector<std::string> statuses;
  for (const std::string& e : ui_.events)
    if (e.rfind("status ", 0) == 0) statuses.push_back(e);
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back(), StatusOf(kTextActionFailed)) << "not overwritten by Ready";
}

// ---- The page skeleton ----

// A page with OK, Cancel, a tagged box and a list, recording its handlers.
class SkeletonPage : public PageForm {
 public:
  SkeletonPage() : PageForm("frmSkeleton") {
    txtTagged = new QLineEdit(this);
    txtTagged->setObjectName("txtTagged");
    SetTag(txtTagged, "CLEAR");
    txtKept = new QLineEdit(this);
    txtKept->setObjectName("txtKept");
    SetTag(txtKept, "CLEARX");
    lstItems = new QListWidget(this);
    cmdOK = new QPushButton("OK", this);
    cmdCancel = new QPushButton("Cancel", this);
    WireOkCancel(cmdOK, cmdCancel);
  }
  void cmdOK_Click() override { calls.push_back("ok"); }
  void cmdCancel_Click() override { calls.push_back("cancel"); }
  using PageForm::Refuse;

  QLineEdit* txtTagged;
  QLineEdit* txtKept;
  QListWidget* lstItems;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  std::vector<std::string> calls;
};

TEST_F(NavigationTest, EnterRunsOkAndEscapeRunsCancelFromAnyControl) {
  auto* page = new SkeletonPage;
  AddMdiChild(main_->mdiArea, page);
  page->Show();
  for (QWidget* w :
       std::initializer_list<QWidget*>{page->txtTagged, page->lstItems, page->cmdCancel}) {
    page->calls.clear();
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Return);
    QTest::keyClick(w, Qt::Key_Enter);
    QTest::keyClick(w, Qt::Key_Escape);
    QTest::keyClick(w, Qt::Key_A);
    const std::vector<std::string> want = {"ok", "ok", "cancel"};
    EXPECT_EQ(page->calls, want) << w->metaObject()->className();
  }
  EXPECT_EQ(page->txtTagged->text(), "a") << "only the letter reached the box";
}

TEST_F(NavigationTest, LeavingCancelWithTabLandsInTheTreeAClickDoesNot) {
  auto* page = new SkeletonPage;
  AddMdiChild(main_->mdiArea, page);
  page->Show();
  page->cmdCancel->setFocus();
  page->txtKept->setFocus(Qt::MouseFocusReason);
  ProcessQueued();
  EXPECT_EQ(QApplication::focusWidget(), page->txtKept);
  page->cmdCancel->setFocus();
  QTest::keyClick(page->cmdCancel, Qt::Key_Tab);
  ProcessQueued();
  EXPECT_EQ(QApplication::focusWidget(), tree()->treConfigurator);
}

TEST_F(NavigationTest, RefusalShowsTheBoxThenTheFailureAndSelectsTheBox) {
  auto* page = new SkeletonPage;
  AddMdiChild(main_->mdiArea, page);
  page->Show();
  page->txtKept->setText("typed");
  page->Refuse(kTextNoServer, page->txtKept);
  const std::vector<std::string> want = {BoxOf(kTextNoServer), StatusOf(kTextActionFailed)};
  EXPECT_EQ(ui_.events, want);
  EXPECT_EQ(ui_.box_buttons.back(), MsgButtons::Ok);
  EXPECT_EQ(QApplication::focusWidget(), page->txtKept);
  EXPECT_EQ(page->txtKept->selectedText(), "typed");
}

TEST_F(NavigationTest, ClearTaggedControlsEmptiesOnlyBoxesTaggedClear) {
  SkeletonPage page;
  page.txtTagged->setText("a");
  page.txtKept->setText("b");
  ClearTaggedControls(&page);
  EXPECT_EQ(page.txtTagged->text(), "");
  EXPECT_EQ(page.txtKept->text(), "b");
}

TEST_F(NavigationTest, ListExtentMeasuresTheFirstOfTheLongestItems) {
  SkeletonPage page;
  EXPECT_EQ(SetListExtent(page.lstItems), 0);
  // Same length, different widths: the first one is measured.
  page.lstItems->addItems({"ab", "iiiiii", "WWWWWW", "x"});
  const int want = page.lstItems->fontMetrics().horizontalAdvance("iiiiii");
  ASSERT_NE(want, page.lstItems->fontMetrics().horizontalAdvance("WWWWWW"));
  EXPECT_EQ(SetListExtent(page.lstItems), want);
  EXPECT_EQ(page.lstItems->property("HorizontalExtent").toInt(), want);
}

}  // namespace
