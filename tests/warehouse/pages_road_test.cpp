// The configurator's whole road: a fresh registry store and BinDir set up
// only through the pages (data source, servers, schedule, snapshot days,
// retention, excluded users, application groups), a special run started
// from frmSpecRun as a real zmostati process that collects from the
// simulated system into its output file, a zmostati -nr run on that
// configuration whose records the loader takes into the warehouse, and a
// zmosnap -nr cycle whose files reach the warehouse the same way.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "MDIMainForm.h"
#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "controls.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmAddServers.h"
#include "frmAddStatSch.h"
#include "frmDataSource.h"
#include "frmIgnoreLists.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmTransGroup.h"
#include "loader_world.h"
#include "pages_support.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "rfc/simulator.h"
#include "stati_run.h"
#include "zmo_test/landscape.h"
#include "zmoconfig/special_run.h"
#include "zmoconfig/text_ids.h"
#include "zmostati/entry.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

using namespace zmo::stati;

extern char** environ;

namespace {

using dbtools_test::Read;
using dbtools_test::Write;
using warehouse_test::Pad;
using zmo_test::ConfigText;

const zmo_test::TestServer kW47{"sapw47.example.net", "W47", "00", "Secret47"};

// A dialog step of the simulated system on the day before the run.
struct Step {
  const char* time;
  const char* tcode;
  const char* user;
  int response_ms;
};
const Step kSteps[] = {
    {"101500", "VA01", "SALES01", 1200}, {"102000", "VA02", "SALES02", 3000},
    {"110500", "ME21N", "BUYER1", 500},  {"113000", "VA01", "DDIC", 700},
    {"114500", "SE38", "SALES01", 2500},
};
constexpr int kExcludedSteps = 1;  // DDIC's

constexpr std::int64_t kDayMs = 86400000LL;

// Today 13:00 UTC by the real clock: the loader keeps and deletes rows by
// the database's own date, so the records are of yesterday.
std::int64_t RunMoment() {
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr)) * 1000;
  return now - now % kDayMs + 13 * 3600000LL;
}

std::string Yyyymmdd(std::int64_t ms) {
  const std::time_t t = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y%m%d", &tm);
  return text;
}

std::string SystemFile(const std::string& date) {
  std::string text =
      "[logon]\nhost = " + kW47.host + "\nsysnr = 00\nclient = 100\nuser = ZMOMON\n" +
      "password = " + kW47.password + "\nlanguage = E\n\n" +
      "[system_info]\nsysid = W47\ndbhost = dbw47\nrelease = 46C\n\n" +
      "[xmi]\nusers = 3\nsessions = 5\n\n[cpu app]\nNBR_CPU = 2\n\n" +
      "[mem app]\nFREE_MEM = 100\n\n[disk app]\nDISKNAME = sda\n\n" + "[lan app]\nLANNAME = eth0\n";
  int wp = 1;
  for (const Step& s : kSteps) {
    text += "\n[record normal]\nDATE = " + date + "\nSTARTDATE = " + date +
            "\nSTARTTIME = " + s.time + "\nENDDATE = " + date + "\nENDTIME = " + s.time +
            "\nRESPTI = " + std::to_string(s.response_ms) + "\nCPUTI = 100\nREADDIRTI = 100" +
            "\nWPID = 000" + std::to_string(wp++) + "\nTASKTYPE = 01\nTCODE = " + s.tcode +
            "\nDYNPRONR = 0100\nREPORT = SAPM" + s.tcode + "\nCUA_PROG = SAPM" + s.tcode +
            "\nACCOUNT = " + s.user + "\nMANDT = 100\n";
  }
  return text;
}

// Starts the launcher's program as a real process and keeps its id, so the
// test can wait for the collection to end; no window or service is active.
class SpawningServices : public SpecRunServices {
 public:
  SpawningServices() { SetSpecRunServices(this); }
  ~SpawningServices() override { SetSpecRunServices(nullptr); }
  int StartProgram(const std::string& program, const std::vector<std::string>& argv) override {
    argvs.push_back(argv);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), environ);
  }
  int WindowTitles(std::vector<std::string>* titles) override {
    titles->clear();
    return 0;
  }
  // The exit status of the started process, or -1 when none was started.
  int Wait() {
    if (pid <= 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid = 0;
  std::vector<std::vector<std::string>> argvs;
};

class PagesRoadTest : public warehouse_test::LoaderWorld {
 protected:
  void SetUp() override {
    LoaderWorld::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Copies, not links: a program finds its directory by its own path.
    for (const char* program : {"zmostati", "zmosnap"}) {
      std::filesystem::copy_file(std::string(ZMO_TEST_BIN_DIR) + "/" + program, bin_ + program);
    }
    std::filesystem::create_directories(tmp_.File("sap"));
    Write(tmp_.File("sap") + "/W47.sys", SystemFile(yesterday_));
    // What no page sets: where the programs live, the metric switches and
    // the loader's other values, the all-transaction level.
    SetLoaderRegistry({zmo::kSwStatiGUI, zmo::kSwApplGUI});
    Set(zmo::cfg::kStatiDebug, "True");
    Set(zmo::cfg::kSystemSLA, "2000");
    Set(zmo::cfg::kCustomGroupDate, "never");
    // What the pages set is not there before them.
    namespace cfg = zmo::cfg;
    for (const char* name : {cfg::kDB, cfg::kOracle, cfg::kUser, cfg::kAccess, cfg::kDSN,
                             cfg::kDetailKeepDays, cfg::kStatiInput, cfg::kSnapInput,
                             cfg::kSnapRunDays, cfg::kSnapSleepTime, cfg::kStatiSchedule}) {
      zmo_test::DeleteConfigValue(name);
    }
    ResetConfigState();
    gBinDir = bin_.substr(0, bin_.size() - 1);
    ConnectDataLayerUi();
    main_ = new MDIMainForm;
    main_->Show();
    QApplication::setActiveWindow(main_);
  }
  void TearDown() override {
    delete main_.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResetConfigState();
    zmo::rfc::SimReset();
    statiResetRfcSession();
    statiResetState();
    zmo::ResetConsoleRuntime();
    LoaderWorld::TearDown();
  }

  template <class Form>
  Form* Show() {
    main_->ShowPage<Form>();
    return main_->Page<Form>();
  }
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
  // The page's OK ended in success.
  void ExpectSaved(const char* what) {
    ASSERT_FALSE(ui_.events.empty()) << what;
    EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionSuccessful)) << what;
    for (const std::string& e : ui_.events) EXPECT_NE(e.rfind("box ", 0), 0u) << what << ": " << e;
    ui_.events.clear();
  }

  void ConfigureDataSource() {
    auto* page = Show<frmDataSource>();
    SetValue(page->optORA, true);
    SetValue(page->optORA81, true);
    page->txtDSN->setText(QString::fromStdString(db_->Dsn()));
    page->txtUserID->setText(QString::fromStdString(warehouse_test::kUser));
    page->txtPassword->setText("secret");
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("data source");
  }
  void ConfigureServers() {
    auto* page = Show<frmServers>();
    page->cmdCreate->click();
    auto* d = main_->Page<frmAddServers>();
    d->txtServer->setText(QString::fromStdString(kW47.host));
    d->txtID->setText(QString::fromStdString(kW47.user));
    d->txtPW->setText(QString::fromStdString(kW47.password));
    d->txtSID->setText(QString::fromStdString(kW47.sid));
    d->txtClient->setText(QString::fromStdString(kW47.client));
    d->txtInstanceNo->setText(QString::fromStdString(kW47.sysnr));
    d->cmbLanguage->setCurrentIndex(0);
    d->cmdOK->click();
    Settle();
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("servers");
  }
  void ConfigureSchedule() {
    auto* page = Show<frmSchStati>();
    page->cmdAdd->click();
    auto* d = main_->Page<frmAddStatSch>();
    d->txtSchTime->setText("0:00");
    d->cmdOK->click();
    Settle();
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("schedule");
  }
  void ConfigureSnapshotDays() {
    auto* page = Show<frmSnapConfig>();
    for (QCheckBox* day : page->DayBoxes()) day->setChecked(true);
    page->txtSnapSleep->setText("300");
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("snapshot days");
  }
  void ConfigureRetention() {
    auto* page = Show<frmKeepDays>();
    page->txtDetailKeepDays->setText("365");
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("retention");
  }
  void ConfigureExcludedUser() {
    auto* page = Show<frmIDsToIgnore>();
    page->cmdAdd->click();
    auto* d = main_->Page<frmAddID>();
    d->txtIgnore->setText("DDIC");
    d->cmdOK->click();
    Settle();
    ui_.events.clear();
    page->cmdOK->click();
    ExpectSaved("excluded users");
  }
  void ConfigureGroups() {
    auto* page = Show<frmTransGroup>();
    const std::pair<const char*, const char*> groups[] = {{"Sales", "1.5"}, {"Tools", "2"}};
    const char* codes[] = {"VA01,VA02", "SE38"};
    for (int g = 0; g < 2; ++g) {
      page->cmbTransGroup->setCurrentIndex(-1);
      page->cmbTransGroup->clearEditText();
      page->cmdAppAdd->click();
      auto* group = main_->Page<frmAddApplication>();
      group->txtTransGroup->setText(groups[g].first);
      group->txtSeconds->setText(groups[g].second);
      group->cmdOK->click();
      Settle();
      page->cmdTxAdd->click();
      auto* code = main_->Page<frmAddAppTrans>();
      code->txtTransaction->setText(codes[g]);
      ui_.answers.assign(4, MsgAnswer::Yes);  // a code not in the standard list is kept
      code->cmdOK->click();
      ui_.answers.clear();
      Settle();
    }
    ui_.events.clear();
    page->cmdOK->click();
    // The page shows its groups again after the save, ending Ready.
    for (const std::string& e : ui_.events) {
      EXPECT_NE(e, StatusOf(kTextActionFailed));
      EXPECT_NE(e.rfind("box ", 0), 0u) << e;
    }
    EXPECT_TRUE(std::filesystem::exists(bin_ + "zmoAppGroup.dat"));
    EXPECT_TRUE(std::filesystem::exists(bin_ + "zmoTransGroup.dat"));
    ui_.events.clear();
  }

  // A zmosnap -nr cycle as its own process, on the real clock: it hands the
  // previous cycle's files to the loader, then collects. Its exit status.
  int SnapCycle() {
    const std::string program = bin_ + "zmosnap";
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>("-nr"),
                               nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  const std::int64_t run_at_ = RunMoment();
  const std::string yesterday_ = Yyyymmdd(run_at_ - kDayMs);
  zmo_test::ScopedEnv sap_{zmo::rfc::kSystemsEnv, tmp_.File("sap")};
  ScriptedUi ui_;
  SpawningServices machine_;
  QPointer<MDIMainForm> main_;
};

TEST_F(PagesRoadTest, PagesConfigureASpecialRunAndTheWarehouseRoad) {
  ASSERT_NO_FATAL_FAILURE(ConfigureDataSource());
  ASSERT_NO_FATAL_FAILURE(ConfigureServers());
  ASSERT_NO_FATAL_FAILURE(ConfigureSchedule());
  ASSERT_NO_FATAL_FAILURE(ConfigureSnapshotDays());
  ASSERT_NO_FATAL_FAILURE(ConfigureRetention());
  ASSERT_NO_FATAL_FAILURE(ConfigureExcludedUser());
  ASSERT_NO_FATAL_FAILURE(ConfigureGroups());

  // What the pages stored.
  namespace cfg = zmo::cfg;
  EXPECT_EQ(ConfigText(cfg::kDB), "Oracle");
  EXPECT_EQ(ConfigText(cfg::kDSN), db_->Dsn());
  EXPECT_EQ(ConfigText(cfg::kStatiInput), bin_ + "zmoserver.dat");
  EXPECT_EQ(ConfigText(cfg::kStatiSchedule), "00:00 ");
  EXPECT_EQ(ConfigText(cfg::kStatiSchedule6), "");
  EXPECT_EQ(ConfigText(cfg::kSnapRunDays), "127");
  EXPECT_EQ(ConfigText(cfg::kSnapSleepTime), "300");
  EXPECT_EQ(ConfigText(cfg::kDetailKeepDays), "-365");
  EXPECT_EQ(Read(bin_ + "zmoIDsToIgnore.dat"), Pad("DDIC", 12) + "\r\n");

  // The special run: the window of yesterday for the one server.
  {
    zmo::ScopedFakeClock clock(run_at_);
    auto* page = Show<frmSpecRun>();
    ASSERT_EQ(page->lstServers->count(), 1);
    page->lstServers->setCurrentRow(0);
    page->cmdAddSvr->click();
    page->txtStartDate->setText(QString::fromStdString(yesterday_));
    page->txtStartTime->setText("000000");
    page->txtEndDate->setText(QString::fromStdString(yesterday_));
    page->txtEndTime->setText("235959");
    page->cmdOK->click();
    EXPECT_EQ(page->lblStatus->text(), CatalogText(kTextRunSubmitted));
  }
  ASSERT_EQ(machine_.argvs.size(), 1u);
  EXPECT_EQ(machine_.argvs[0],
            (std::vector<std::string>{
                bin_ + "zmostati", "-np", "-d", "-if", bin_ + "zmoSpecRunServList.dat", "-of",
                bin_ + "zmostati.dat", "-st", "000000", "-sd", yesterday_, "-et", "235959", "-ed",
                yesterday_, "-bindir", bin_.substr(0, bin_.size() - 1), "-dbtype", "ORACLE"}));
  EXPECT_EQ(Read(bin_ + "zmoSpecRunServList.dat"), Read(bin_ + "zmoserver.dat"));
  ASSERT_EQ(machine_.Wait(), 0) << Read(bin_ + "trace_zmostati.log");
  const std::vector<std::string> special =
      warehouse_test::StatRecordLines(Read(bin_ + "zmostati.dat"));
  int collected = 0;
  for (const std::string& line : special) {
    if (line.substr(1, 20) == Pad(kW47.Destination(), 20)) ++collected;
  }
  EXPECT_EQ(collected, static_cast<int>(std::size(kSteps))) << Read(bin_ + "zmostati.dat");
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp"), "0") << "a special run loads nothing";
  std::filesystem::remove(bin_ + "zmostati.dat");

  // The collector's own run on that configuration reaches the warehouse.
  warehouse_test::RunStatiCollection(bin_, run_at_);
  const std::string steps = std::to_string(std::size(kSteps) - kExcludedSteps);
  EXPECT_EQ(db_->Value("select sum(diag_count) from r3_progresp"), steps)
      << Read(bin_ + "trace_zmo_load_stati.log") << Read(bin_ + "trace_zmostati.log");
  EXPECT_EQ(db_->Value("select count(*) from r3_progresp where rtrim(user_name) = 'DDIC'"), "0");
  EXPECT_EQ(db_->Value("select distinct rtrim(rfc_dest_str) from r3_progresp"), kW47.Destination());
  EXPECT_EQ(warehouse_test::Sorted(
                db_->Query("select group_area, group_name, t_code, sla from r3_tcode_group")),
            (warehouse_test::Rows{{"ZZ", "Sales", "VA01", "1500"},
                                  {"ZZ", "Sales", "VA02", "1500"},
                                  {"ZZ", "Tools", "SE38", "2000"}}));
}

// The snapshot collector on the configuration the pages made: a -nr run
// collects one cycle into its collecting files; a process hands its files
// to the loader only at its next cycle, so the test hands them over as
// that cycle does (the collecting files renamed to the hand-over names, the
// loader started with zmosnap's arguments), and the loader takes them into
// the warehouse.
TEST_F(PagesRoadTest, ASnapshotCycleOnThePagesConfigurationReachesTheWarehouse) {
  ASSERT_NO_FATAL_FAILURE(ConfigureDataSource());
  ASSERT_NO_FATAL_FAILURE(ConfigureServers());
  ASSERT_NO_FATAL_FAILURE(ConfigureSnapshotDays());
  ASSERT_NO_FATAL_FAILURE(ConfigureRetention());
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapInput), bin_ + "zmoserver.dat");

  ASSERT_EQ(SnapCycle(), 0) << Read(bin_ + "trace_zmosnap.log");
  const std::pair<const char*, const char*> files[] = {{"zmosnipsnap.cpu", "zmosnap.cpu"},
                                                       {"zmosnipsnap.dsk", "zmosnap.dsk"},
                                                       {"zmosnipsnap.lan", "zmosnap.lan"},
                                                       {"zmosnapavai.dat", "zmoavai.dat"}};
  for (const auto& [collecting, hand_over] : files) {
    ASSERT_TRUE(std::filesystem::exists(bin_ + collecting)) << collecting;
    std::filesystem::rename(bin_ + collecting, bin_ + hand_over);
  }
  const std::string avail = Read(bin_ + "zmoavai.dat");
  ASSERT_EQ(avail.substr(0, 20), Pad(kW47.Destination(), 20));
  EXPECT_EQ(avail.substr(avail.size() - 3), "1\r\n") << "the server was available";

  const std::string loader = bin_ + "zmoloader";
  const char* argv[] = {loader.c_str(), " -a", "-p SNAP", " -h 10.9.8.7", " -i 4711", nullptr};
  ASSERT_EQ(_spawnv(_P_WAIT, loader.c_str(), argv), 0);
  const std::string log = Read(bin_ + "trace_zmo_load_snap.log");
  const std::string where = " where rtrim(rfc_dest_str) = '" + kW47.Destination() + "'";
  EXPECT_EQ(db_->Value("select string_agg(distinct num_of_cpu::text, ',') from r3_cpu" + where),
            "2")
      << log;
  EXPECT_EQ(db_->Value("select count(*) > 0 from r3_avail_sum" + where), "t") << log;
  EXPECT_EQ(db_->Value("select count(*) > 0 from r3_disk" + where), "t") << log;
  EXPECT_EQ(db_->Value("select count(*) > 0 from r3_lan" + where), "t") << log;
}

}  // namespace
