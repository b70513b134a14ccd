// The whole road from the servers page to a collection: servers added
// through frmAddServers and saved by frmServers' OK are collected by a
// zmostati -nr run from the simulated landscape, which decrypts the stored
// password with the collector's own key; a wrong password gives the
// server's failed availability line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "MDIMainForm.h"
#include "collect_test_env.h"
#include "frmAddServers.h"
#include "frmServers.h"
#include "pages_support.h"
#include "zmostati/entry.h"

using namespace zmo::stati;

using namespace zmo::config;

namespace {

class ConfiguredCollect : public CollectWorld {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CollectWorld::SetUp());
    ResetConfigState();
    gBinDir = bin_;
    ConnectDataLayerUi();
    StatiTestEnv::Set("StatiSchedule", "00:00");  // at 13:00 the day before is due
    main_ = new MDIMainForm;
    main_->Show();
    QApplication::setActiveWindow(main_);
    main_->ShowPage<frmServers>();
  }
  void TearDown() override {
    delete main_.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResetConfigState();
    CollectWorld::TearDown();
  }
  frmServers* page() const { return main_->Page<frmServers>(); }
  // Adds a server through the dialog as the user types it.
  void Add(const TestServer& s, const std::string& password) {
    page()->cmdCreate->click();
    auto* d = main_->Page<frmAddServers>();
    d->txtServer->setText(QString::fromStdString(s.host));
    d->txtID->setText(QString::fromStdString(s.user));
    d->txtPW->setText(QString::fromStdString(password));
    d->txtSID->setText(QString::fromStdString(s.sid));
    d->txtClient->setText(QString::fromStdString(s.client));
    d->txtInstanceNo->setText(QString::fromStdString(s.sysnr));
    d->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static void RunNr() {
    std::vector<std::string> args{"zmostati", "-nr"};
    std::vector<char*> argv{args[0].data(), args[1].data(), nullptr};
    statiRunOnce(2, argv.data());
  }

  ScriptedUi ui_;
  QPointer<MDIMainForm> main_;
};

TEST_F(ConfiguredCollect, SavedServerIsCollectedAndAWrongPasswordFailsItsServer) {
  Add(kT46, kT46.password);
  Add(kT31, "NotTheirs1");
  ASSERT_EQ(gServerCount, 2);
  ui_.events.clear();
  page()->cmdOK->click();
  ASSERT_EQ(ui_.events.back(), StatusOf(kTextActionSuccessful));
  ASSERT_EQ(StatiTestEnv::Get("StatiInput"), ServerFile());
  ASSERT_EQ(Read(ServerFile()).size(), 2u * 183u);

  RunNr();

  const std::vector<std::string> records = Lines(HandOverFile());
  EXPECT_EQ(CountDestination(records, "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(CountDestination(records, "sapt31_T31_00"), 0);
  EXPECT_GT(RecordsOf("T46"), 0);
  const std::vector<std::string> avail = Lines(AvailFile());
  ASSERT_EQ(avail.size(), 2u);
  EXPECT_EQ(avail[0].substr(0, 20), Pad("sapt46_T46_00", 20));
  EXPECT_EQ(avail[0].substr(50, 34), Pad("T46_dbt46", 34));
  EXPECT_EQ(avail[0].back(), '1');
  EXPECT_EQ(avail[1].substr(0, 20), Pad("sapt31_T31_00", 20));
  EXPECT_EQ(avail[1].substr(20, 30), Pad("sapt31.example.net", 30));
  EXPECT_EQ(avail[1].substr(50, 9), "NOT_KNOWN");
  EXPECT_EQ(avail[1].back(), '0');
}

}  // namespace
