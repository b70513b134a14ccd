// The main window: captions and menus after localisation, every shortcut,
// the debug switches against a registry store, the nine log viewers, the
// About box, exit and the second instance.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "MDIMainForm.h"
#include "frmAbout.h"
#include "frmCurrentConfig.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmTreeView.h"
#include "instance.h"
#include "log_viewer.h"
#include "page_window.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::ConfigText;
using zmo_test::PutConfigText;

class MainWindowTest : public PageWindowTest {
 protected:
  void SetUp() override { OpenMain(); }  // the overview page's "ready" dropped
  void WriteLog(const std::string& name) { std::ofstream(bin_dir_ + "/" + name) << "line\r\n"; }
};

// Every item of the menu bar: control, parent, caption after localisation,
// shortcut.
struct MenuCase {
  const char* name;
  const char* parent;
  const char* caption;
  const char* shortcut;
};

const MenuCase kMenuCases[] = {
    {"mnuFile", "", "&File", ""},
    {"mnuExit", "mnuFile", "E&xit", "Ctrl+Q"},
    {"mnuLogs", "", "&Logs and traces", ""},
    {"mnuKLVstatiLog", "mnuLogs", "&1 Statistics log", "Ctrl+S"},
    {"mnuKLVsnapLog", "mnuLogs", "&2 Indicator log", "Ctrl+I"},
    {"mnustatiLog", "mnuLogs", "&3 Statistics collection trace", ""},
    {"mnusnapLog", "mnuLogs", "&4 Indicator collection trace", ""},
    {"mnuLoadStatiLog", "mnuLogs", "&5 Statistics load trace", ""},
    {"mnuLoadSnapLog", "mnuLogs", "&6 Indicator load trace", ""},
    {"mnuAggStatiLog", "mnuLogs", "&7 Statistics aggregation trace", ""},
    {"mnuAggSnapLog", "mnuLogs", "&8 Indicator aggregation trace", ""},
    {"mnuLoaderLog", "mnuLogs", "&9 Database load settings trace", ""},
    {"mnuOptions", "", "&Options", ""},
    {"mnuCurrentConfig", "mnuOptions", "&Current configuration", ""},
    {"mnuInitialConfig", "mnuOptions", "&Initial configuration", ""},
    {"mnuDataSource", "mnuInitialConfig", "&Repository database", ""},
    {"mnuServers", "mnuInitialConfig", "&Server", ""},
    {"mnuDataRetensionPeriod", "mnuInitialConfig", "Repository &database retention period", ""},
    {"mnuReportConfig", "mnuOptions", "&Report configuration", ""},
    {"mnuPrograms", "mnuReportConfig", "&Programs to exclude", ""},
    {"mnuIDs", "mnuReportConfig", "&IDs to exclude", ""},
    {"mnuTransactions", "mnuReportConfig", "&Transactions to exclude", ""},
    {"mnuSLA", "mnuOptions", "&Service level agreement", ""},
    {"mnuCustomizedSLA", "mnuSLA", "&Application SLA", ""},
    {"mnuSystemSLA", "mnuSLA", "All &transaction SLA", ""},
    {"mnuSchedule", "mnuOptions", "Sc&hedule", ""},
    {"mnuSchStatistics", "mnuSchedule", "Schedule &statistics", ""},
    {"mnuSnap", "mnuSchedule", "Schedule &indicator", ""},
    {"mnuSpecRun", "mnuOptions", "S&pecial run", ""},
    {"mnuDebug", "mnuOptions", "&Debug", ""},
    {"mnuDebugLogFiles", "mnuDebug", "&Generate debug trace files", ""},
    {"mnuLoaderHalt", "mnuDebug", "&Halt execution of loader", ""},
    {"mnuHelpMain", "", "&Help", ""},
    {"mnuAbout", "mnuHelpMain", "A&bout", ""},
};

TEST_F(MainWindowTest, CaptionAndEveryMenuAfterLocalisation) {
  EXPECT_EQ(main_->windowTitle(), "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite");
  // The bar and each submenu hold exactly the table's items, in its order.
  std::map<std::string, std::vector<std::string>> children;
  for (const MenuCase& c : kMenuCases) children[c.parent].push_back(c.name);
  for (const MenuCase& c : kMenuCases) {
    SCOPED_TRACE(c.name);
    QAction* action = nullptr;
    if (auto* menu = main_->findChild<QMenu*>(c.name)) {
      action = menu->menuAction();
    } else {
      action = main_->findChild<QAction*>(c.name);
    }
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text().toStdString(), c.caption);
    EXPECT_EQ(action->shortcut().toString().toStdString(), c.shortcut);
    EXPECT_FALSE(action->isChecked()) << "no check mark at design time";
  }
  for (const auto& [parent, names] : children) {
    const QList<QAction*> actions = parent.empty()
                                        ? main_->menuBar->actions()
                                        : main_->findChild<QMenu*>(parent.c_str())->actions();
    std::vector<std::string> seen;
    for (QAction* a : actions) {
      QMenu* sub = a->menu();
      seen.push_back((sub ? sub->objectName() : a->objectName()).toStdString());
    }
    EXPECT_EQ(seen, names) << "items of " << parent;
  }
  EXPECT_TRUE(main_->mnuDebugLogFiles->isCheckable());
  EXPECT_TRUE(main_->mnuLoaderHalt->isCheckable());
}

TEST_F(MainWindowTest, LoadShowsTheTreeAndTheOverviewPageBesideIt) {
  ASSERT_NE(main_->Tree(), nullptr);
  FormBase* page = main_->Page<frmCurrentConfig>();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(main_->Tree()->IsLoaded());
  EXPECT_TRUE(page->IsLoaded());
  EXPECT_TRUE(page->IsActive());
  EXPECT_EQ(page->parentWidget()->geometry().left(),
            main_->Tree()->parentWidget()->geometry().right() + 1);
  EXPECT_EQ(main_->lblStatusText->text(), "KQZ7051I Status: Ready");
  EXPECT_EQ(ui_.ends, 0);
}

TEST_F(MainWindowTest, ShortcutsOpenTheSummaryLogsAndEndTheProgram) {
  WriteLog("trace_zmostatisum.log");
  WriteLog("trace_zmosnapsum.log");
  QTest::keyClick(main_, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(main_, Qt::Key_I, Qt::ControlModifier);
  ASSERT_EQ(ui_.started.size(), 2u);
  EXPECT_EQ(ui_.started[0][1], bin_dir_ + "/trace_zmostatisum.log");
  EXPECT_EQ(ui_.started[1][1], bin_dir_ + "/trace_zmosnapsum.log");
  EXPECT_EQ(ui_.ends, 0);
  QTest::keyClick(main_, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ui_.ends, 1);
  EXPECT_TRUE(main_->Ending());
}

TEST_F(MainWindowTest, ExitShortcutWorksWithTheFocusOnAPage) {
  FormBase* page = main_->Page<frmCurrentConfig>();
  page->setFocus();
  QTest::keyClick(page, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ui_.ends, 1);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgram) {
  main_->close();
  EXPECT_EQ(ui_.ends, 1);
}

// Each log item, its handler and its file.
struct LogCase {
  const char* item;
  const char* handler;
  const char* file;
};

const LogCase kLogCases[] = {
    {"mnuKLVstatiLog", "mnuKLVstatiLog_Click", "trace_zmostatisum.log"},
    {"mnuKLVsnapLog", "mnuKLVsnapLog_Click", "trace_zmosnapsum.log"},
    {"mnustatiLog", "mnuStatiLog_Click", "trace_zmostati.log"},
    {"mnusnapLog", "mnuSnapLog_Click", "trace_zmosnap.log"},
    {"mnuLoadStatiLog", "mnuLoadStatiLog_Click", "trace_zmo_load_stati.log"},
    {"mnuLoadSnapLog", "mnuLoadSnapLog_Click", "trace_zmo_load_snap.log"},
    {"mnuAggStatiLog", "mnuAggStatiLog_Click", "trace_zmo_agg_stati.log"},
    {"mnuAggSnapLog", "mnuAggSnapLog_Click", "trace_zmo_agg_snap.log"},
    {"mnuLoaderLog", "mnuLoaderLog_Click", "trace_zmoldr.log"},
};

TEST_F(MainWindowTest, EachLogItemStartsTheViewerOnItsFile) {
  zmo_test::ScopedEnv viewer(kViewerVariable, std::nullopt);
  for (const LogCase& c : kLogCases) WriteLog(c.file);
  for (const LogCase& c : kLogCases) {
    main_->findChild<QAction*>(c.item)->trigger();                          // the menu item
    ASSERT_TRUE(QMetaObject::invokeMethod(main_, c.handler)) << c.handler;  // the tree's call
  }
  ASSERT_EQ(ui_.started.size(), 2 * std::size(kLogCases));
  for (size_t i = 0; i < std::size(kLogCases); ++i) {
    const std::vector<std::string> expected{"xdg-open", bin_dir_ + "/" + kLogCases[i].file};
    EXPECT_EQ(ui_.started[2 * i], expected);
    EXPECT_EQ(ui_.started[2 * i + 1], expected);
  }
  EXPECT_TRUE(ui_.events.empty()) << "no message, no status text";
}

TEST_F(MainWindowTest, MissingLogShowsItsMessageThenTheFailureInTheStatusLine) {
  for (const LogCase& c : kLogCases) {
    ui_.events.clear();
    main_->findChild<QAction*>(c.item)->trigger();
    EXPECT_EQ(ui_.events,
              (std::vector<std::string>{BoxOf(kTextLogMissing), StatusOf(kTextActionFailed)}))
        << c.item;
    EXPECT_EQ(ui_.box_buttons.back(), MsgButtons::Ok);
  }
  EXPECT_EQ(main_->lblStatusText->text(), "KQZ7050E Status: Action failed");
  EXPECT_TRUE(ui_.started.empty());
}

TEST_F(MainWindowTest, WithoutBinDirNoLogIsLookedForAtTheRoot) {
  gBinDir.clear();
  main_->mnuKLVstatiLog_Click();
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{BoxOf(kTextLogMissing), StatusOf(kTextActionFailed)}));
  EXPECT_TRUE(ui_.started.empty());
}

TEST_F(MainWindowTest, ViewerFromTheEnvironmentGetsThePathAsOneArgument) {
  const std::string odd = "trace_zmoldr.log";
  const std::string dir_with_blanks = bin_dir_ + "/dir with blanks; $(x) 'q'";
  std::filesystem::create_directories(dir_with_blanks);
  gBinDir = dir_with_blanks;
  WriteLog("dir with blanks; $(x) 'q'/" + odd);
  zmo_test::ScopedEnv viewer(kViewerVariable, std::string("/opt/bin/myviewer"));
  main_->mnuLoaderLog_Click();
  ASSERT_EQ(ui_.started.size(), 1u);
  EXPECT_EQ(ui_.started[0],
            (std::vector<std::string>{"/opt/bin/myviewer", dir_with_blanks + "/" + odd}));
}

TEST_F(MainWindowTest, ViewerThatCannotStartShowsTheFailureInTheStatusLine) {
  WriteLog("trace_zmostati.log");
  ui_.start_result = -1;
  main_->mnuStatiLog_Click();
  EXPECT_EQ(ui_.events, (std::vector<std::string>{StatusOf(kTextActionFailed)}));
}

TEST(Viewer, RealStartOfAMissingProgramFails) {
  UiServices real;
  EXPECT_EQ(real.StartProcess({"/nonexistent/zmo-viewer", "/tmp/x.log"}), -1);
  EXPECT_EQ(real.StartProcess({}), -1);
}

TEST_F(PagesTest, RealStartRunsTheViewerWithThePathAsOneArgument) {
  const std::string script = bin_dir_ + "/viewer.sh";
  const std::string out = bin_dir_ + "/seen.txt";
  std::ofstream(script) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$1\" > '" << out << ".tmp'\nmv '"
                        << out << ".tmp' '" << out << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  UiServices real;
  ASSERT_EQ(real.StartProcess({script, "/tmp/a b;c.log"}), 0);
  // The detached viewer writes its file once; wait a bounded time for it.
  std::string seen;
  for (int i = 0; i < 500 && seen.empty(); ++i) {
    QTest::qWait(10);
    std::ifstream in(out);
    std::getline(in, seen);
  }
  EXPECT_EQ(seen, "1|/tmp/a b;c.log|");
}

// Debug switches: the registry before, the mark shown when the Options menu
// opens, and the values after choosing the item.
TEST_F(MainWindowTest, DebugTraceSwitchFollowsSnapDebugAndWritesBoth) {
  const struct {
    const char* snap;  // nullptr: value missing
    const char* stati;
    bool mark;
    const char* written;
  } cases[] = {
      {"True", "False", true, "False"},  {"true", "True", false, "True"},
      {nullptr, nullptr, false, "True"}, {"False", "True", false, "True"},
      {"True ", "True", false, "True"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.snap ? c.snap : "<missing>");
    zmo_test::DeleteConfigValue(zmo::cfg::kSnapDebug);
    zmo_test::DeleteConfigValue(zmo::cfg::kStatiDebug);
    if (c.snap) PutConfigText(zmo::cfg::kSnapDebug, c.snap);
    if (c.stati) PutConfigText(zmo::cfg::kStatiDebug, c.stati);
    emit main_->mnuOptions->aboutToShow();
    EXPECT_EQ(main_->mnuDebugLogFiles->isChecked(), c.mark);
    main_->mnuDebugLogFiles->trigger();
    EXPECT_EQ(main_->mnuDebugLogFiles->isChecked(), !c.mark);
    EXPECT_EQ(ConfigText(zmo::cfg::kSnapDebug), c.written);
    EXPECT_EQ(ConfigText(zmo::cfg::kStatiDebug), c.written);
  }
}

TEST_F(MainWindowTest, LoaderHaltSwitchTogglesLoadDebugOnly) {
  PutConfigText(zmo::cfg::kLoadDebug, "True");
  PutConfigText(zmo::cfg::kSnapDebug, "True");
  emit main_->mnuOptions->aboutToShow();
  EXPECT_TRUE(main_->mnuLoaderHalt->isChecked());
  EXPECT_TRUE(main_->mnuDebugLogFiles->isChecked());
  main_->mnuLoaderHalt->trigger();
  EXPECT_FALSE(main_->mnuLoaderHalt->isChecked());
  EXPECT_EQ(ConfigText(zmo::cfg::kLoadDebug), "False");
  main_->mnuLoaderHalt_Click();  // called by code: the same toggle
  EXPECT_TRUE(main_->mnuLoaderHalt->isChecked());
  EXPECT_EQ(ConfigText(zmo::cfg::kLoadDebug), "True");
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapDebug), "True");
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiDebug), "<missing>");
  // The store changed by another program: the next opening shows it.
  PutConfigText(zmo::cfg::kLoadDebug, "False");
  emit main_->mnuOptions->aboutToShow();
  EXPECT_FALSE(main_->mnuLoaderHalt->isChecked());
}

TEST_F(MainWindowTest, FailedDebugWriteShowsTheRegistryErrorAndTheMarkStaysToggled) {
  // A store that cannot be created: its directory would lie under a file.
  std::ofstream(dir_ / "plain") << "x";
  zmo_test::ScopedEnv broken("ZMO_REGISTRY", dir_ / "plain/registry");
  main_->mnuDebugLogFiles->trigger();
  EXPECT_TRUE(main_->mnuDebugLogFiles->isChecked());
  // One message for each of the two values: the second is still written.
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1458), BoxOf(1458)}));
}

TEST_F(MainWindowTest, AboutBoxLocalisesOnActivationAndClosesWithOkOrEnter) {
  main_->mnuAbout->trigger();
  QPointer<frmAbout> about = main_->About();
  ASSERT_FALSE(about.isNull());
  EXPECT_TRUE(about->isVisible());
  EXPECT_FALSE(about->isModal());
  EXPECT_EQ(about->windowTitle(), CatalogText(kTextMainTitle));
  EXPECT_EQ(about->cmdOK->text(), "OK");
  EXPECT_EQ(about->picAbout->pixmap().size(), QSize(145, 202));
  QApplication::setActiveWindow(about);
  about->cmdOK->setFocus();
  QTest::keyClick(about->cmdOK, Qt::Key_Escape);  // Escape does nothing
  EXPECT_TRUE(about->IsLoaded());
  QTest::keyClick(about->cmdOK, Qt::Key_Return);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
  // Shown again, it is a new About box; OK closes it.
  main_->mnuAbout_Click();
  about = main_->About();
  ASSERT_FALSE(about.isNull());
  EXPECT_EQ(about->cmdOK->text(), "OK");
  QTest::mouseClick(about->cmdOK, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
}

TEST_F(MainWindowTest, PageItemsShowTheirPages) {
  main_->mnuCurrentConfig->trigger();
  EXPECT_TRUE(main_->Page<frmCurrentConfig>()->IsActive());
  main_->mnuServers->trigger();
  EXPECT_TRUE(main_->Page<frmServers>()->IsActive());
  const std::pair<QAction*, PageCase> items[] = {
      {main_->mnuSchStatistics, PageCaseOf<frmSchStati>()},
      {main_->mnuSnap, PageCaseOf<frmSnapConfig>()},
      {main_->mnuSpecRun, PageCaseOf<frmSpecRun>()},
      {main_->mnuDataRetensionPeriod, PageCaseOf<frmKeepDays>()},
  };
  for (const auto& [item, page] : items) {
    item->trigger();
    EXPECT_TRUE(page.page(*main_)->IsActive()) << page.name;
  }
  main_->mnuCurrentConfig->trigger();
  // No page to show leaves the window as it is.
  main_->ShowPage(nullptr);
  EXPECT_TRUE(main_->Page<frmCurrentConfig>()->parentWidget()->isVisible());
}

TEST_F(PagesTest, SecondInstanceOpensItsWindowThenEndsSilently) {
  InstanceLock first;
  ASSERT_TRUE(first.Acquire());
  QPointer<MDIMainForm> second = new MDIMainForm;
  second->Show();
  EXPECT_EQ(ui_.ends, 1);
  EXPECT_TRUE(second->Ending());
  // No message; the overview page loaded as usual, reading its files.
  for (const std::string& e : ui_.events) EXPECT_NE(e.rfind("box ", 0), 0u) << e;
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextReady));
  EXPECT_TRUE(second->Page<frmCurrentConfig>()->IsLoaded());
  delete second.data();
}

TEST_F(PagesTest, FirstInstanceKeepsTheLockUntilItEnds) {
  {
    InstanceLock first;
    EXPECT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire()) << "holding it already";
    InstanceLock second;
    EXPECT_FALSE(second.Acquire());
  }
  InstanceLock after;
  EXPECT_TRUE(after.Acquire()) << "the first one ended";
  InstanceLock unwritable(dir_ / "no/such/dir/zmoconfig.lock");
  EXPECT_TRUE(unwritable.Acquire()) << "a lock that cannot be made tells nothing";
}

}  // namespace
