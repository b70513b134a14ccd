// The special-run page driven as the user does: the servers offered and
// selected, the four boxes that advance by themselves, CheckSpecRun's
// refusals with the box they select, the guard against a collector or the
// loader at work, and OK, which writes the server list and starts zmostati
// with its exact argument vector, reporting "Submitted" only for a started
// run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "controls.h"
#include "frmSpecRun.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "page_window.h"
#include "platform/clock.h"
#include "platform/window_titles.h"
#include "special_run_fakes.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmo_test/service.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/special_run.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::PutConfigText;

using zmoconfig_test::SpecRunRecord;

std::vector<std::string> Items(const QListWidget* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

// The clock stands at 2026-03-10 12:00:00 UTC.
class SpecRunPageTest : public PageWindowTest {
 protected:
  SpecRunPageTest() : tz_("UTC0"), clock_(1'773'144'000'000) {
    server_file_ = bin_dir_ + "/zmoserver.dat";
    zmo_test::WriteFile(server_file_, first_ + second_ + third_);
    PutConfigText(zmo::cfg::kStatiInput, server_file_);
    PutConfigText(zmo::cfg::kDB, "Oracle");
  }
  void Open() { PageWindowTest::Open<frmSpecRun>(); }
  frmSpecRun* page() const { return Page<frmSpecRun>(); }
  void Type(const char* sd, const char* st, const char* ed, const char* et) {
    page()->txtStartDate->setText(sd);
    page()->txtStartTime->setText(st);
    page()->txtEndDate->setText(ed);
    page()->txtEndTime->setText(et);
  }
  void Select(const char* item) {
    const QList<QListWidgetItem*> found = page()->lstServers->findItems(item, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << item;
    page()->lstServers->setCurrentItem(found[0]);
    page()->cmdAddSvr->click();
  }
  std::string ListFile() const { return bin_dir_ + "/zmoSpecRunServList.dat"; }

  zmo_test::ScopedTz tz_;
  zmo::ScopedFakeClock clock_;
  zmoconfig_test::FakeSpecRunServices machine_;
  std::string server_file_;
  const std::string first_ = SpecRunRecord("sap01.example.com", "00");
  const std::string second_ = SpecRunRecord("/H/gw.example.com/S/3299/H/sap02.example.com", "10");
  const std::string third_ = SpecRunRecord("sap03.example.com", "01");
};

TEST_F(SpecRunPageTest, ActivationOffersTheServersNotSelected) {
  Open();
  const std::vector<std::string> all = {"sap01.example.com 00",
                                        "/H/gw.example.com/S/3299/H/sap02.example.com 10",
                                        "sap03.example.com 01"};
  EXPECT_EQ(Items(page()->lstServers), all);
  EXPECT_TRUE(page()->lstSvrsToAgg->count() == 0);
  EXPECT_EQ(page()->lblTitle->text(), "Special run");
  EXPECT_EQ(page()->lblStartDate->text(), "S&tart date (yyyymmdd)");
  EXPECT_EQ(page()->cmdAddSvr->text(), "&>");
  EXPECT_TRUE(page()->lblStatus->text().isEmpty());
  EXPECT_EQ(CurrentFormName(), "frmSpecRun");
  EXPECT_EQ(ui_.StatusLine(), CatalogText(kTextReady));
  EXPECT_GT(page()->lstServers->property("HorizontalExtent").toInt(), 0);

  Select("sap03.example.com 01");
  page()->txtStartDate->setText("20260301");
  ShowNodeForm(QStringLiteral("ndCurrentConfig"));
  ShowNodeForm(QStringLiteral("ndSpecRun"));
  EXPECT_EQ(Items(page()->lstSvrsToAgg), std::vector<std::string>{"sap03.example.com 01"});
  EXPECT_EQ(Items(page()->lstServers), std::vector<std::string>(all.begin(), all.begin() + 2));
  EXPECT_EQ(page()->txtStartDate->text(), "20260301") << "the boxes keep what they hold";
}

TEST_F(SpecRunPageTest, ServersMoveBetweenTheLists) {
  Open();
  page()->cmdAddSvr->click();  // no current item: nothing moves
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 0);
  Select("sap03.example.com 01");
  QListWidget* offered = page()->lstServers;
  Settle();
  QListWidgetItem* item = offered->item(0);
  QTest::mouseClick(offered->viewport(), Qt::LeftButton, {},
                    offered->visualItemRect(item).center());
  QTest::mouseDClick(offered->viewport(), Qt::LeftButton, {},
                     offered->visualItemRect(item).center());
  EXPECT_EQ(Items(page()->lstSvrsToAgg),
            (std::vector<std::string>{"sap03.example.com 01", "sap01.example.com 00"}));
  EXPECT_EQ(offered->count(), 1);
  page()->lstSvrsToAgg->setCurrentRow(0);
  page()->cmdRemoveSvr->click();
  EXPECT_EQ(Items(offered),
            (std::vector<std::string>{"/H/gw.example.com/S/3299/H/sap02.example.com 10",
                                      "sap03.example.com 01"}));
  page()->cmdAddAllSvrs->click();
  EXPECT_EQ(offered->count(), 0);
  EXPECT_EQ(Items(page()->lstSvrsToAgg),
            (std::vector<std::string>{"sap01.example.com 00",
                                      "/H/gw.example.com/S/3299/H/sap02.example.com 10",
                                      "sap03.example.com 01"}));
  page()->cmdRemoveAllSvrs->click();
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 0);
  EXPECT_EQ(offered->count(), 3);
}

TEST_F(SpecRunPageTest, OnlyAPickedServerMovesAndOnlyOnce) {
  Open();
  // The last box full: the focus goes on into the offered servers, which
  // picks none of them.
  page()->txtEndTime->setFocus();
  QTest::keyClicks(page()->txtEndTime, "235959");
  Settle();
  ASSERT_EQ(QApplication::focusWidget(), page()->lstServers);
  EXPECT_EQ(ListIndex(page()->lstServers), -1);
  QTest::mouseClick(page()->cmdAddSvr, Qt::LeftButton);
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 0) << "> without a pick moves nothing";
  EXPECT_EQ(page()->lstServers->count(), 3);
  // A picked server moves; the next one is not picked by the move.
  ClickRow(page()->lstServers, 1);
  QTest::mouseClick(page()->cmdAddSvr, Qt::LeftButton);
  EXPECT_EQ(ListIndex(page()->lstServers), -1);
  QTest::mouseClick(page()->cmdAddSvr, Qt::LeftButton);
  EXPECT_EQ(Items(page()->lstSvrsToAgg),
            std::vector<std::string>{"/H/gw.example.com/S/3299/H/sap02.example.com 10"});
  EXPECT_EQ(Items(page()->lstServers),
            (std::vector<std::string>{"sap01.example.com 00", "sap03.example.com 01"}));
  // The other way alike.
  QTest::mouseClick(page()->cmdRemoveSvr, Qt::LeftButton);
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 1) << "< without a pick moves nothing";
  ClickRow(page()->lstSvrsToAgg, 0);
  QTest::mouseClick(page()->cmdRemoveSvr, Qt::LeftButton);
  QTest::mouseClick(page()->cmdRemoveSvr, Qt::LeftButton);
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 0);
  EXPECT_EQ(page()->lstServers->count(), 3);
}

TEST_F(SpecRunPageTest, FullBoxesHandTheFocusOn) {
  Open();
  page()->txtStartDate->setFocus();
  QTest::keyClicks(page()->txtStartDate, "20031201");
  Settle();
  EXPECT_EQ(page()->txtStartDate->text(), "20031201") << "the last digit stays in its box";
  EXPECT_EQ(QApplication::focusWidget(), page()->txtStartTime);
  QTest::keyClicks(page()->txtStartTime, "120000");
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), page()->txtEndDate);
  QTest::keyClicks(page()->txtEndDate, "20031202");
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), page()->txtEndTime);
  QTest::keyClicks(page()->txtEndTime, "130000");
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), page()->lstServers);
  EXPECT_EQ(page()->txtEndTime->text(), "130000");
  // An editing key at one character short moves the focus too.
  page()->txtStartTime->setText("12000");
  page()->txtStartTime->setFocus();
  Settle();
  page()->txtStartTime->end(false);  // entering selected the whole text
  QTest::keyClick(page()->txtStartTime, Qt::Key_Backspace);
  Settle();
  EXPECT_EQ(page()->txtStartTime->text(), "1200");
  EXPECT_EQ(QApplication::focusWidget(), page()->txtEndDate);
  // Shorter texts keep the focus.
  page()->txtEndDate->clear();
  QTest::keyClicks(page()->txtEndDate, "2003");
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), page()->txtEndDate);
}

// CheckSpecRun on the page: the message, the box selected, and the status.
TEST_F(SpecRunPageTest, RefusalsSelectTheirBox) {
  struct Case {
    const char* name;
    const char* sd;
    const char* st;
    const char* ed;
    const char* et;
    bool servers;
    int message;
    const char* selected;  // object name, or "" for none
  };
  const Case cases[] = {
      {"StartTimeInTheFuture", "20260310", "120001", "20260310", "120001", true, 1409,
       "txtStartTime"},
      {"BadStartDate", "2026030", "000000", "20260309", "000000", true, 1408, "txtStartDate"},
      {"BadEndDate", "20260301", "000000", "20260230", "000000", true, 1410, "txtEndDate"},
      {"EndBeforeStart", "20031201", "120000", "20031130", "120000", true, 1441, "txtEndDate"},
      {"BadEndTime", "20260301", "000000", "20260302", "126000", true, 1411, "txtEndTime"},
      {"NoServers", "20260301", "000000", "20260302", "000000", false, 1442, ""},
      {"StartAfterEndSameDay", "20260309", "130000", "20260309", "120000", true, 1443,
       "txtEndTime"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    if (c.servers) Select("sap01.example.com 00");
    Type(c.sd, c.st, c.ed, c.et);
    page()->cmdOK->setFocus();
    ui_.events.clear();
    page()->cmdOK->click();
    EXPECT_EQ(ui_.events, (std::vector<std::string>{StatusOf(kTextReady), BoxOf(c.message),
                                                    StatusOf(kTextActionFailed)}));
    EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunError));
    QWidget* focus = QApplication::focusWidget();
    if (*c.selected) {
      ASSERT_NE(focus, nullptr);
      EXPECT_EQ(focus->objectName(), c.selected);
      auto* box = qobject_cast<QLineEdit*>(focus);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->selectedText(), box->text());
    } else {
      EXPECT_EQ(focus, page()->cmdOK) << "no box is selected";
    }
    EXPECT_EQ(page()->txtStartDate->text(), c.sd) << "fields stay as typed";
    EXPECT_TRUE(machine_.started.empty());
    delete main_.data();
    Settle();
  }
}

TEST_F(SpecRunPageTest, OkWritesTheListAndStartsTheCollector) {
  PutConfigText(zmo::cfg::kStatiDebug, "True");
  Open();
  Select("sap03.example.com 01");
  Select("sap01.example.com 00");
  Type("20260309", "120000", "20260309", "120000");  // the same moment passes
  page()->cmdOK->click();
  EXPECT_EQ(page()->lblStatus->text(), "KQZ7049I Status: Submitted");
  EXPECT_EQ(zmo_test::FileText(ListFile()), first_ + third_) << "in file order";
  ASSERT_EQ(machine_.started.size(), 1u);
  const std::vector<std::string> want = {bin_dir_ + "/zmostati",
                                         "-np",
                                         "-d",
                                         "-if",
                                         ListFile(),
                                         "-of",
                                         bin_dir_ + "/zmostati.dat",
                                         "-st",
                                         "120000",
                                         "-sd",
                                         "20260309",
                                         "-et",
                                         "120000",
                                         "-ed",
                                         "20260309",
                                         "-bindir",
                                         bin_dir_,
                                         "-dbtype",
                                         "ORACLE"};
  EXPECT_EQ(machine_.started[0], want);
  EXPECT_TRUE(main_->isEnabled()) << "the main window is enabled again";
  EXPECT_EQ(ui_.StatusLine(), CatalogText(kTextReady));
  for (const std::string& e : ui_.events) EXPECT_EQ(e.rfind("box ", 0), std::string::npos) << e;
}

TEST_F(SpecRunPageTest, ANameWithBlanksStaysOneArgument) {
  const std::string spaced = bin_dir_ + "/my zmo";
  std::filesystem::create_directories(spaced);
  gBinDir = spaced;
  Open();
  Select("sap01.example.com 00");
  Type("20260301", "000000", "20260309", "235959");
  page()->cmdOK->click();
  ASSERT_EQ(machine_.started.size(), 1u);
  const std::vector<std::string>& argv = machine_.started[0];
  EXPECT_EQ(argv[0], spaced + "/zmostati");
  EXPECT_EQ(argv[3], spaced + "/zmoSpecRunServList.dat");
  EXPECT_EQ(argv[argv.size() - 3], spaced);
  EXPECT_EQ(zmo_test::FileText(spaced + "/zmoSpecRunServList.dat"), first_);
}

TEST_F(SpecRunPageTest, ARunNotStartedIsNoSubmission) {
  Open();
  Select("sap01.example.com 00");
  Type("20260301", "000000", "20260309", "235959");
  machine_.start_error = ENOENT;
  page()->cmdOK->click();
  EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunError));
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionFailed));
  EXPECT_TRUE(main_->isEnabled());

  // The server file lost the selected server after it was listed: 1438.
  machine_.start_error = 0;
  zmo_test::WriteFile(server_file_, second_);
  ui_.events.clear();
  page()->cmdOK->click();
  EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunError));
  EXPECT_NE(std::find(ui_.events.begin(), ui_.events.end(), BoxOf(kTextSpecialRunError)),
            ui_.events.end());
  EXPECT_EQ(machine_.started.size(), 1u) << "only the failed start was tried";
}

TEST_F(SpecRunPageTest, TheOfferedAndTheCopiedServersComeFromOneFile) {
  // A server file chosen on the servers page and not yet saved to the
  // registry: the page lists it and the run copies from it.
  const std::string chosen = bin_dir_ + "/chosen.dat";
  zmo_test::WriteFile(chosen, third_ + first_);
  gServerFile = chosen;
  Open();
  EXPECT_EQ(Items(page()->lstServers),
            (std::vector<std::string>{"sap03.example.com 01", "sap01.example.com 00"}));
  page()->cmdAddAllSvrs->click();
  Type("20260301", "000000", "20260309", "235959");
  page()->cmdOK->click();
  EXPECT_EQ(zmo_test::FileText(ListFile()), third_ + first_);
  EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunSubmitted));
}

TEST_F(SpecRunPageTest, ACollectorOrTheLoaderAtWorkRefusesTheRun) {
  struct Case {
    const char* name;
    std::vector<std::string> titles;
    bool refused;
  };
  const Case cases[] = {
      {"CollectorWindow", {"/opt/zmo/zmostati"}, true},
      {"LoaderWindow", {"other", "/opt/zmo/zmoloader"}, true},
      {"LoaderBatchWindow", {"Monitoring for Orvane Load/Aggregate zmostati data"}, true},
      {"SnapshotLoaderBatch", {"Monitoring for Orvane Load/Aggregate zmosnap data"}, false},
      {"Capitals", {"/opt/zmo/ZMOSTATI"}, false},
      {"NoWindow", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    machine_.titles = c.titles;
    machine_.started.clear();
    Open();
    Select("sap01.example.com 00");
    Type("20260301", "000000", "20260309", "235959");
    ui_.events.clear();
    page()->cmdOK->click();
    if (c.refused) {
      EXPECT_EQ(ui_.events,
                (std::vector<std::string>{StatusOf(kTextReady), BoxOf(kTextSpecialRunRunning)}));
      EXPECT_TRUE(machine_.started.empty());
      EXPECT_TRUE(page()->lblStatus->text().isEmpty());
      EXPECT_EQ(page()->lstSvrsToAgg->count(), 1);
      EXPECT_EQ(page()->txtEndTime->text(), "235959");
    } else {
      EXPECT_EQ(machine_.started.size(), 1u);
      EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunSubmitted));
    }
    delete main_.data();
    Settle();
  }
}

// The zmostati service installed and started, waiting between its schedule
// times: a special run starts. The collector in a run has a window titled by
// its program path (the collector's own tests show it): the run is refused.
TEST_F(SpecRunPageTest, AWaitingServiceRefusesNothingACollectingOneDoes) {
  const std::string stati = std::string(ZMO_TEST_BIN_DIR) + "/zmostati";
  ASSERT_TRUE(std::filesystem::exists(stati)) << stati;
  // Schedule times, and an interval collected beyond every one of them: the
  // service finds nothing due and sleeps.
  PutConfigText(zmo::cfg::kStatiSchedule, "08:00 20:00 ");
  PutConfigText(zmo::cfg::kStatiSleepTime, "60");
  PutConfigText(zmo::cfg::kStatiLastQueryIntervalEnd, "99999999");
  struct Service {
    explicit Service(const std::string& exe) : exe_(exe) {}
    ~Service() {
      zmo_test::RunProgram(exe_, {"-sstop"});
      zmo_test::RunProgram(exe_, {"-sremove"});
    }
    std::string exe_;
  } service(stati);
  ASSERT_EQ(zmo_test::RunProgram(stati, {"-sinstall"}), 0);
  ASSERT_EQ(zmo_test::RunProgram(stati, {"-sstart"}), 0);
  ASSERT_EQ(zmo_test::ServiceState("zmostati"), static_cast<DWORD>(SERVICE_RUNNING));
  machine_.desktop = true;

  Open();
  Select("sap01.example.com 00");
  Type("20260301", "000000", "20260309", "235959");
  page()->cmdOK->click();
  EXPECT_EQ(machine_.started.size(), 1u) << "the waiting service refuses nothing";
  EXPECT_EQ(page()->lblStatus->text(), CatalogText(kTextRunSubmitted));

  ASSERT_EQ(zmo::SetWindowTitle(getpid(), stati), 0);
  ui_.events.clear();
  page()->cmdOK->click();
  zmo::RemoveWindow(getpid());
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{StatusOf(kTextReady), BoxOf(kTextSpecialRunRunning)}));
  EXPECT_EQ(machine_.started.size(), 1u) << "the collector in a run refuses it";
  EXPECT_EQ(zmo_test::ServiceState("zmostati"), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(SpecRunPageTest, CancelAndEscapeClearThePage) {
  Open();
  Select("sap01.example.com 00");
  Type("20260301", "000000", "20260309", "235959");
  page()->txtEndTime->setFocus();
  ui_.events.clear();
  QTest::keyClick(page()->txtEndTime, Qt::Key_Escape);
  EXPECT_EQ(page()->lstSvrsToAgg->count(), 0);
  EXPECT_EQ(page()->lstServers->count(), 3);
  for (QLineEdit* box :
       {page()->txtStartDate, page()->txtStartTime, page()->txtEndDate, page()->txtEndTime})
    EXPECT_TRUE(box->text().isEmpty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(SpecRunPageTest, RendersThePage) {
  Open();
  main_->Tree()->treConfigurator->setCurrentItem(main_->Tree()->Node(QStringLiteral("ndSpecRun")));
  Select("/H/gw.example.com/S/3299/H/sap02.example.com 10");
  Type("20260309", "000000", "20260309", "235959");
  page()->cmdOK->click();
  Render("zmoconfig_special_run.png");
}

}  // namespace
