// The configurator's exclusion list and application groups on the whole
// road: an excluded user, a group with its codes and service level and the
// all-transaction level are saved through the configurator's pages, driven
// headless as the user does; a zmostati -nr collection on the simulated
// system and the loader it starts then fill the PostgreSQL warehouse, which
// must leave the user out of every sum and hold the group's service-level
// rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <string>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmIgnoreLists.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "loader_world.h"
#include "pages_support.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "zmo_test/landscape.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmogdlib/config_key.h"

namespace {

using dbtools_test::Read;
using dbtools_test::Write;

const zmo_test::TestServer kW47{"sapw47.example.net", "W47", "00", "Secret47"};
// 2024-03-05 13:00:00 UTC: with the schedule "00:00" the day before is due.
constexpr std::int64_t kRun = 1709643600000LL;
constexpr std::int64_t kDay = 86400000LL;

// The first day's dialog steps: the excluded user on a group code and on
// another, a group code within and one beyond the group's 1.5 seconds; the
// second day's step on a group code.
struct Step {
  const char* date;
  const char* time;
  const char* tcode;
  const char* user;
  int response_ms;
};
const Step kSteps[] = {
    {"20240304", "101500", "VA01", "SALES01", 1200},
    {"20240304", "102000", "VA02", "SALES02", 3000},
    {"20240304", "103000", "VA01", "DDIC", 800},
    {"20240304", "104500", "SE38", "DDIC", 2500},
    {"20240304", "110500", "ME21N", "BUYER1", 500},
    {"20240305", "091000", "VA02", "SALES01", 1000},
};

std::string SystemFile() {
  std::string text =
      "[logon]\nhost = sapw47.example.net\nsysnr = 00\nclient = 100\nuser = ZMOMON\n"
      "password = " +
      kW47.password +
      "\nlanguage = E\n\n"
      "[system_info]\nsysid = W47\ndbhost = dbw47\nrelease = 46C\n";
  int wp = 1;
  for (const Step& s : kSteps) {
    const std::string date = s.date;
    text += "\n[record normal]\nDATE = " + date + "\nSTARTDATE = " + date +
            "\nSTARTTIME = " + s.time + "\nENDDATE = " + date + "\nENDTIME = " + s.time +
            "\nRESPTI = " + std::to_string(s.response_ms) +
            "\nCPUTI = 100\nREADDIRTI = 100\nWPID = 000" + std::to_string(wp++) +
            "\nTASKTYPE = 01\nTCODE = " + s.tcode + "\nDYNPRONR = 0100\nREPORT = SAPM" + s.tcode +
            "\nCUA_PROG = SAPM" + s.tcode + "\nACCOUNT = " + s.user +
            "\nMANDT = 100\nGUITIME = 120\nGUICNT = 2\nGUINETTIME = 40\n";
  }
  return text;
}

// The one application object of this executable, made on first use.
void EnsureApplication() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "warehouse_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives until the process ends
}

class ConfiguratorRoadTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::filesystem::create_directories(tmp_.File("sap"));
    Write(tmp_.File("sap") + "/W47.sys", SystemFile());
    Write(bin_ + "zmoserver.dat", zmo_test::ServerRecord(kW47));
    SetLoaderRegistry({});
    namespace cfg = zmo::cfg;
    Set(cfg::kStatiInput, bin_ + "zmoserver.dat");
    Set(cfg::kStatiSchedule, "00:00 ");
    Set(cfg::kStatiDebug, "True");
    Set(cfg::kCustomGroupDate, "never");
    EnsureApplication();
    ResetConfigState();
    gBinDir = bin_.substr(0, bin_.size() - 1);
    ConnectDataLayerUi();
  }
  void TearDown() override {
    delete main_.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResetConfigState();
    warehouse_test::ResetCollector();
    LoaderWorld::TearDown();
  }

  template <class Form>
  Form* Page() {
    return main_->Page<Form>();
  }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  // The configurator's visit: DDIC excluded, the group Sales with VA01 and
  // VA02 at 1.5 seconds, all transactions at 2 seconds.
  void Configure() {
    main_ = new MDIMainForm;
    main_->Show();
    QApplication::setActiveWindow(main_);

    main_->ShowPage<frmIDsToIgnore>();
    auto* ids = Page<frmIDsToIgnore>();
    ids->cmdAdd->click();
    Page<frmAddID>()->txtIgnore->setText("ddic");
    Page<frmAddID>()->cmdOK->click();
    Settle();
    ids->cmdOK->click();

    main_->ShowPage<frmTransGroup>();
    auto* groups = Page<frmTransGroup>();
    groups->cmdAppAdd->click();
    auto* group = Page<frmAddApplication>();
    group->txtTransGroup->setText("Sales");
    group->txtSeconds->setText("1.5");
    group->cmdOK->click();
    Settle();
    groups->cmdTxAdd->click();
    Page<frmAddAppTrans>()->txtTransaction->setText("va01, va02");
    Page<frmAddAppTrans>()->cmdOK->click();
    Settle();
    groups->cmdOK->click();

    main_->ShowPage<frmSystemSLA>();
    auto* sla = Page<frmSystemSLA>();
    sla->txtSeconds->setText("2");
    sla->cmdOK->click();
  }

  ScriptedUi ui_;
  QPointer<MDIMainForm> main_;
  zmo_test::ScopedEnv sap_{zmo::rfc::kSystemsEnv, tmp_.File("sap")};
};

TEST_F(ConfiguratorRoadTest, SavedEntriesAndGroupsReachTheWarehouse) {
  Configure();
  ASSERT_EQ(Read(bin_ + "zmoIDsToIgnore.dat"), "DDIC        \r\n");
  ASSERT_EQ(Read(bin_ + "zmoAppGroup.dat"), "Sales" + std::string(30, ' ') + "1500");
  ASSERT_EQ(Read(bin_ + "zmoTransGroup.dat"),
            "Sales" + std::string(30, ' ') + "VA01" + std::string(16, ' ') + "Sales" +
                std::string(30, ' ') + "VA02" + std::string(16, ' '));
  ASSERT_EQ(zmo_test::ConfigText(zmo::cfg::kSystemSLA), "2000");

  warehouse_test::RunStatiCollection(bin_, kRun);
  if (HasFatalFailure()) return;
  const std::string log = Read(bin_ + "trace_zmo_load_stati.log");
  ASSERT_NE(
      log.find("sqlldr: " + std::to_string(warehouse_test::LoadedRows(5)) + " rows loaded into s"),
      std::string::npos)
      << log << Read(bin_ + "trace_zmostati.log");

  // The excluded user's steps are in no sum.
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp where rtrim(user_name) = 'DDIC'"), "0");
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_progresp"), "3");
  EXPECT_EQ(db_->Query("select distinct rtrim(user_name) from r3_progresp order by 1"),
            (warehouse_test::Rows{{"BUYER1"}, {"SALES01"}, {"SALES02"}}));
  EXPECT_EQ(db_->Value("select sum(user_count) from r3_user_sum"), "3");

  // The group and its level, and the service-level rows of its codes and
  // of all transactions; the excluded user's VA01 step is not counted.
  EXPECT_EQ(
      warehouse_test::Sorted(
          db_->Query("select group_area, group_name, t_code, sla from r3_tcode_group")),
      (warehouse_test::Rows{{"ZZ", "Sales", "VA01", "1500"}, {"ZZ", "Sales", "VA02", "1500"}}));
  EXPECT_EQ(warehouse_test::Sorted(db_->Query(
                "select group_name, t_code, record_hour, sla_yes_count, sla_no_count, tot_count "
                "from r3_tx_sla where group_name = 'Sales'")),
            (warehouse_test::Rows{{"Sales", "VA01", "10", "1", "-9", "1"},
                                  {"Sales", "VA02", "10", "-9", "1", "1"}}));
  EXPECT_EQ(
      db_->Value("select sum(tot_count) from r3_tx_sla where group_name = 'All Transactions'"),
      "3");
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_application where group_name = 'Sales'"),
            "2");
}

// A group renamed through the page: the rename file the save adds to is
// read by the next load, which renames the group in the warehouse, and is
// gone afterwards.
TEST_F(ConfiguratorRoadTest, AGroupRenamedThroughThePageIsRenamedInTheWarehouse) {
  Configure();
  // The first save an hour back: the loader tells a changed group file by
  // its time, which the second save, moments later here, must change.
  for (const char* file : {"zmoAppGroup.dat", "zmoTransGroup.dat"}) {
    const std::filesystem::path path = bin_ + file;
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
  }
  warehouse_test::RunStatiCollection(bin_, kRun);
  if (HasFatalFailure()) return;
  ASSERT_EQ(db_->Value("select count(*) from r3_tcode_group where group_name = 'Sales'"), "2");

  main_->ShowPage<frmTransGroup>();
  auto* groups = Page<frmTransGroup>();
  SetListIndex(groups->cmbTransGroup, 0);
  groups->cmdAppEdit->click();
  Page<frmAddApplication>()->txtTransGroup->setText("Orders");
  Page<frmAddApplication>()->cmdOK->click();
  Settle();
  groups->cmdOK->click();
  ASSERT_EQ(Read(bin_ + "zmogrpupdt.dat"),
            "Orders" + std::string(29, ' ') + "Sales" + std::string(30, ' '));

  warehouse_test::RunStatiCollection(bin_, kRun + kDay);
  if (HasFatalFailure()) return;
  EXPECT_EQ(
      warehouse_test::Sorted(
          db_->Query("select group_area, group_name, t_code, sla from r3_tcode_group")),
      (warehouse_test::Rows{{"ZZ", "Orders", "VA01", "1500"}, {"ZZ", "Orders", "VA02", "1500"}}));
  EXPECT_EQ(db_->Query("select group_name, t_code, record_date, tot_count from r3_tx_sla "
                       "where record_date = '2024-03-05' and group_name <> 'All Transactions'"),
            (warehouse_test::Rows{{"Orders", "VA02", "2024-03-05", "1"}}));
  EXPECT_FALSE(std::filesystem::exists(bin_ + "zmogrpupdt.dat")) << "read by the load";
}

}  // namespace
