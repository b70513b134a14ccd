// The application-servers page and its two dialogs driven as the user does:
// the add/edit protocol with the hidden row index, the checks' messages and
// the box they select, the duplicate check, delete, OK writing zmoserver.dat
// byte for byte with its backup and the registry values, Cancel, the
// server-file chooser over the mounted file systems, Enter and Escape.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MDIMainForm.h"
#include "controls.h"
#include "frmAddServers.h"
#include "frmGetServerFile.h"
#include "frmServers.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "page_window.h"
#include "zmoconfig/record_codec.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::ConfigText;
using zmo_test::PutConfigText;

std::string Pad(const std::string& s, size_t width) {
  return s + std::string(width - s.size(), ' ');
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ServersPageTest : public PageWindowTest {
 protected:
  void SetUp() override {
    server_file_ = bin_dir_ + "/zmoserver.dat";
    PutConfigText(zmo::cfg::kStatiInput, server_file_);
    PutConfigText(zmo::cfg::kSnapInput, server_file_);
  }
  // The main window with the servers page shown.
  void Open() { PageWindowTest::Open<frmServers>(); }
  frmServers* page() const { return Page<frmServers>(); }
  frmAddServers* dialog() const { return Page<frmAddServers>(); }
  void WriteServerFile(const std::string& data) {
    std::ofstream(server_file_, std::ios::binary) << data;
  }
  static ServerRow Row(const char* host, const char* sid, const char* client, const char* sysnr,
                       const char* language = "E") {
    ServerRow r;
    r[kSrvHost] = host;
    r[kSrvUser] = "ZMOMON";
    r[kSrvPassword] = EncryptText("secret");
    r[kSrvSid] = sid;
    r[kSrvClient] = client;
    r[kSrvSysnr] = sysnr;
    r[kSrvWindowStart] = "000000";
    r[kSrvWindowEnd] = "240000";
    r[kSrvLanguage] = language;
    return r;
  }
  // Fills the dialog's boxes (language -1: none chosen).
  void Type(const char* host, const char* user, const char* pw, const char* sid, const char* client,
            const char* sysnr, int language = -1) {
    frmAddServers* d = dialog();
    d->txtServer->setText(host);
    d->txtID->setText(user);
    d->txtPW->setText(pw);
    d->txtSID->setText(sid);
    d->txtClient->setText(client);
    d->txtInstanceNo->setText(sysnr);
    d->cmbLanguage->setCurrentIndex(language);
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < page()->lstServer->count(); ++i)
      items.push_back(page()->lstServer->item(i)->text().toStdString());
    return items;
  }
  void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  std::string server_file_;
};

TEST_F(ServersPageTest, ActivationListsTheFileAndShowsItsPath) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")) +
                  EncodeServerRecord(Row("/H/gw/H/sapb.example.com", "QAS", "200", "05")));
  Open();
  const std::vector<std::string> want = {"sapa.example.com 00", "/H/gw/H/sapb.example.com 05"};
  EXPECT_EQ(Items(), want);
  EXPECT_EQ(page()->lblFilePath->text().toStdString(), server_file_);
  EXPECT_FALSE(page()->chkNetwork->isChecked());
  EXPECT_EQ(page()->lblTitle->text(), "Target server selection");
  EXPECT_EQ(page()->cmdCreate->text(), "&Create");
  EXPECT_EQ(CurrentFormName(), "frmServers");
}

TEST_F(ServersPageTest, AddStoresANewRowAndGoesBackToThePage) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")));
  Open();
  page()->cmdCreate->click();
  // Watched: the next dialog() builds a new form, maybe at the same address.
  QPointer<frmAddServers> d = dialog();
  ASSERT_TRUE(d->IsActive());
  EXPECT_EQ(CurrentFormName(), "frmAddServers");
  EXPECT_TRUE(d->txtIndex->text().isEmpty());
  EXPECT_TRUE(d->txtServer->text().isEmpty());
  EXPECT_EQ(d->cmbLanguage->count(), 10);
  EXPECT_EQ(d->cmbLanguage->itemText(1), "German");
  EXPECT_EQ(d->cmbLanguage->currentIndex(), -1);
  EXPECT_EQ(d->txtPW->echoMode(), QLineEdit::Password);
  Type("sapc.example.com", "ZMOMON", " pw1 ", "ab", "1", "5", 1);
  d->cmdOK->click();
  Settle();
  EXPECT_TRUE(d.isNull()) << "the dialog was unloaded";
  ASSERT_EQ(gServerCount, 2);
  const ServerRow& r = gServers[2];
  EXPECT_EQ(r[kSrvHost], "sapc.example.com");
  EXPECT_EQ(r[kSrvSid], "AB");
  EXPECT_EQ(r[kSrvClient], "001");
  EXPECT_EQ(r[kSrvSysnr], "05");
  EXPECT_EQ(r[kSrvWindowStart], "000000");
  EXPECT_EQ(r[kSrvWindowEnd], "240000");
  EXPECT_EQ(r[kSrvLanguage], "D");
  EXPECT_EQ(DecryptText(r[kSrvPassword]), "pw1");
  const std::vector<std::string> want = {"sapa.example.com 00", "sapc.example.com 05"};
  EXPECT_EQ(Items(), want);
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(QApplication::focusWidget(), page()->cmdOK);
  EXPECT_EQ(ReadAll(server_file_).size(), 183u) << "the file waits for OK";
}

TEST_F(ServersPageTest, FocusPicksNoEntryAClickNamesItsRow) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")) +
                  EncodeServerRecord(Row("sapb.example.com", "QAS", "200", "05")));
  Open();
  page()->lstServer->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(ListIndex(page()->lstServer), -1);
  page()->cmdDelete->click();
  EXPECT_EQ(gServerCount, 2) << "the focus alone picks nothing to delete";
  QListWidget* list = page()->lstServer;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(1)).center());
  EXPECT_EQ(dialog()->txtIndex->text(), "2");
  EXPECT_FALSE(dialog()->isVisible()) << "the click does not show the dialog";
}

TEST_F(ServersPageTest, EditFillsTheDialogAndReplacesItsRow) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")) +
                  EncodeServerRecord(Row("sapb.example.com", "QAS", "200", "05", "J")));
  Open();
  page()->cmdEdit->click();  // nothing selected: nothing happens
  EXPECT_TRUE(page()->IsActive());
  SetListIndex(page()->lstServer, 1);
  EXPECT_EQ(dialog()->txtIndex->text(), "2") << "a click on the list names the row";
  page()->cmdEdit->click();
  frmAddServers* d = dialog();
  ASSERT_TRUE(d->IsActive());
  EXPECT_EQ(d->txtServer->text(), "sapb.example.com");
  EXPECT_EQ(d->txtID->text(), "ZMOMON");
  EXPECT_EQ(d->txtPW->text(), "secret");
  EXPECT_EQ(d->txtSID->text(), "QAS");
  EXPECT_EQ(d->txtClient->text(), "200");
  EXPECT_EQ(d->txtInstanceNo->text(), "05");
  EXPECT_EQ(d->cmbLanguage->currentIndex(), 2);
  d->cmdOK->click();  // unchanged: its own row is no duplicate
  Settle();
  ASSERT_EQ(gServerCount, 2);
  EXPECT_EQ(gServers[2][kSrvHost], "sapb.example.com");
  SetListIndex(page()->lstServer, 0);
  page()->cmdEdit->click();
  Type("sapz.example.com", "OTHER", "pw2", "prd", "100", "0");
  dialog()->cmdOK->click();
  Settle();
  EXPECT_EQ(gServers[1][kSrvHost], "sapz.example.com");
  EXPECT_EQ(gServers[1][kSrvUser], "OTHER");
  EXPECT_EQ(gServers[1][kSrvLanguage], "E") << "no language chosen: the stored one stays";
  const std::vector<std::string> want = {"sapz.example.com 00", "sapb.example.com 05"};
  EXPECT_EQ(Items(), want);
}

// A refused entry: what is typed, the message, the box selected (none: the
// focus stays) and the boxes as normalised before the refusal.
struct RefusalCase {
  const char* name;
  const char* host;
  const char* user;
  const char* pw;
  const char* sid;
  const char* client;
  const char* sysnr;
  int id;
  const char* box;
  const char* sid_after;
  const char* sysnr_after;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

const RefusalCase kRefusals[] = {
    {"BlankServer", "   ", "U", "p", "PRD", "100", "00", 1428, "", "PRD", "00"},
    {"NoDot", "sapa", "U", "p", "PRD", "100", "00", 1503, "", "PRD", "00"},
    {"DottedNumber", "10.1.4.40", "U", "p", "PRD", "100", "00", 1503, "", "PRD", "00"},
    {"InnerBlankHost", "sap a.example.com", "U", "p", "PRD", "100", "00", 1516, "txtServer", "PRD",
     "00"},
    {"NoUser", "sapa.example.com", " ", "p", "PRD", "100", "00", 1429, "txtID", "PRD", "00"},
    {"NoPassword", "sapa.example.com", "U", "  ", "PRD", "100", "00", 1430, "txtPW", "PRD", "00"},
    {"NoSid", "sapa.example.com", "U", "p", "", "100", "00", 1431, "txtSID", "", "00"},
    {"SysnrNegative", "sapa.example.com", "U", "p", "prd", "100", "-1", 1434, "txtInstanceNo",
     "PRD", "-1"},
    {"SysnrExponent", "sapa.example.com", "U", "p", "prd", "100", "1e", 1433, "txtInstanceNo",
     "PRD", "1e"},
    {"ClientNegative", "sapa.example.com", "U", "p", "prd", "-1", "5", 1436, "txtClient", "PRD",
     "05"},
};

class ServerRefusalTest : public ServersPageTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ServerRefusalTest, ShowsTheMessageSelectsTheBoxAndStoresNothing) {
  const RefusalCase& c = GetParam();
  Open();
  page()->cmdCreate->click();
  frmAddServers* d = dialog();
  Type(c.host, c.user, c.pw, c.sid, c.client, c.sysnr);
  d->txtServer->setFocus();
  ui_.events.clear();
  d->cmdOK->click();
  Settle();
  ASSERT_EQ(dialog(), d) << "the dialog stays open";
  EXPECT_TRUE(d->IsActive());
  ASSERT_EQ(ui_.events.size(), 3u);
  EXPECT_EQ(ui_.events[0], StatusOf(1455));
  EXPECT_EQ(ui_.events[1].rfind(BoxOf(c.id), 0), 0u) << ui_.events[1];
  EXPECT_EQ(ui_.events[2], StatusOf(kTextActionFailed));
  QWidget* focus = QApplication::focusWidget();
  if (*c.box) {
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->objectName().toStdString(), c.box);
    auto* box = static_cast<QLineEdit*>(focus);
    EXPECT_EQ(box->selectedText(), box->text());
  } else {
    EXPECT_EQ(focus, d->txtServer) << "the focus stays";
  }
  EXPECT_EQ(d->txtSID->text().toStdString(), c.sid_after);
  EXPECT_EQ(d->txtInstanceNo->text().toStdString(), c.sysnr_after);
  EXPECT_EQ(gServerCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Entries, ServerRefusalTest, ::testing::ValuesIn(kRefusals));

TEST_F(ServersPageTest, PasswordLongerThanTheFieldHoldsIsRefusedWithItsLimit) {
  Open();
  page()->cmdCreate->click();
  Type("sapa.example.com", "U", std::string(30, 'p').c_str(), "PRD", "100", "00");
  dialog()->cmdOK->click();
  ASSERT_GE(ui_.events.size(), 2u);
  const std::string box = ui_.events[1];
  EXPECT_EQ(box.rfind(BoxOf(1515) + " ", 0), 0u) << box;
  EXPECT_GT(box.size(), BoxOf(1515).size() + 1) << "the limit follows the text";
  EXPECT_EQ(QApplication::focusWidget(), dialog()->txtPW);
  EXPECT_EQ(gServerCount, 0);
}

TEST_F(ServersPageTest, SameServerInOtherCaseIsADuplicateAnotherClientIsNot) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")));
  Open();
  page()->cmdCreate->click();
  Type("SAPA.Example.com", "U", "p", "prd", "100", "0");
  dialog()->cmdOK->click();
  const std::vector<std::string> refused = {StatusOf(1455), BoxOf(1427),
                                            StatusOf(kTextActionFailed)};
  EXPECT_EQ(ui_.events, refused);
  EXPECT_TRUE(dialog()->IsActive());
  dialog()->txtClient->setText("101");
  dialog()->cmdOK->click();
  Settle();
  EXPECT_EQ(gServerCount, 2);
}

TEST_F(ServersPageTest, CancelOfTheDialogChangesNothing) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")));
  Open();
  SetListIndex(page()->lstServer, 0);
  page()->cmdEdit->click();
  dialog()->txtServer->setText("changed.example.com");
  dialog()->cmdCancel->click();
  Settle();
  EXPECT_EQ(gServers[1][kSrvHost], Pad("sapa.example.com", 100));
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
  page()->cmdCreate->click();
  EXPECT_TRUE(dialog()->txtIndex->text().isEmpty());
  EXPECT_TRUE(dialog()->txtServer->text().isEmpty()) << "a new dialog starts empty";
}

TEST_F(ServersPageTest, EnteringABoxSelectsItsWholeText) {
  Open();
  page()->cmdCreate->click();
  frmAddServers* d = dialog();
  for (QLineEdit* box :
       {d->txtServer, d->txtID, d->txtPW, d->txtSID, d->txtClient, d->txtInstanceNo}) {
    box->setText("42");
    box->deselect();
    box->setFocus(Qt::OtherFocusReason);  // not by Tab, which selects by itself
    QCoreApplication::processEvents();
    EXPECT_EQ(box->selectedText(), "42") << box->objectName().toStdString();
  }
}

TEST_F(ServersPageTest, EnterIsOkAndEscapeIsCancelInTheDialog) {
  Open();
  page()->cmdCreate->click();
  frmAddServers* d = dialog();
  Type("sapc.example.com", "U", "p", "C11", "100", "00");
  d->txtSID->setFocus();
  QTest::keyClick(d->txtSID, Qt::Key_Return);
  Settle();
  EXPECT_EQ(gServerCount, 1);
  EXPECT_TRUE(page()->IsActive());
  page()->cmdCreate->click();
  dialog()->txtServer->setFocus();
  QTest::keyClick(dialog()->txtServer, Qt::Key_Escape);
  Settle();
  EXPECT_EQ(gServerCount, 1);
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(ServersPageTest, DeleteChangesOnlyTheTableUntilOk) {
  const std::string a = EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00"));
  const std::string b = EncodeServerRecord(Row("sapb.example.com", "PRD", "100", "01"));
  WriteServerFile(a + b);
  Open();
  page()->cmdDelete->click();  // nothing selected
  EXPECT_EQ(gServerCount, 2);
  SetListIndex(page()->lstServer, 0);
  ui_.events.clear();
  page()->cmdDelete->click();
  const std::vector<std::string> hourglass = {"hourglass on", "hourglass off"};
  EXPECT_EQ(ui_.events, hourglass) << "no question, no status";
  EXPECT_EQ(gServerCount, 1);
  EXPECT_EQ(Items(), std::vector<std::string>{"sapb.example.com 01"});
  EXPECT_EQ(ReadAll(server_file_), a + b);
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(server_file_), b);
  EXPECT_EQ(ReadAll(bin_dir_ + "/zmoserver.bak"), a + b);
}

TEST_F(ServersPageTest, ASecondDeleteRemovesNothing) {
  const std::string a = EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00"));
  const std::string b = EncodeServerRecord(Row("sapb.example.com", "PRD", "100", "01"));
  const std::string c = EncodeServerRecord(Row("sapc.example.com", "PRD", "100", "02"));
  WriteServerFile(a + b + c);
  Open();
  ClickRow(page()->lstServer, 0);
  ASSERT_EQ(ListIndex(page()->lstServer), 0);
  page()->cmdDelete->click();
  EXPECT_EQ(ListIndex(page()->lstServer), -1) << "no row is selected after a removal";
  ui_.events.clear();
  page()->cmdDelete->click();
  EXPECT_TRUE(ui_.events.empty());
  EXPECT_EQ(gServerCount, 2);
  EXPECT_EQ(Items(), (std::vector<std::string>{"sapb.example.com 01", "sapc.example.com 02"}));
  // Edit finds nothing to edit either.
  page()->cmdEdit->click();
  EXPECT_TRUE(page()->IsActive());
  page()->cmdOK->click();
  EXPECT_EQ(ReadAll(server_file_), b + c);
}

TEST_F(ServersPageTest, OkWritesTheFileByteForByteWithItsBackupAndTheRegistry) {
  const std::string before = EncodeServerRecord(Row("old.example.com", "OLD", "100", "00"));
  WriteServerFile(before);
  Open();
  SetListIndex(page()->lstServer, 0);
  page()->cmdDelete->click();
  page()->cmdCreate->click();
  Type("/H/gw.example.net/S/3299/H/sapt62.example.net", "ZMOMON", "Secret62!", "t62", "7", "3", 9);
  dialog()->cmdOK->click();
  Settle();
  page()->cmdCreate->click();
  Type("sapx.example.com", "USER2", "pw", "X01", "800", "10");
  dialog()->cmdOK->click();
  Settle();
  ui_.events.clear();
  page()->cmdOK->click();
  const std::string scrambled1 = gServers[1][kSrvPassword];
  const std::string scrambled2 = gServers[2][kSrvPassword];
  ASSERT_FALSE(scrambled1.empty());
  EXPECT_EQ(DecryptText(scrambled1), "Secret62!");
  const std::string want = Pad("/H/gw.example.net/S/3299/H/sapt62.example.net", 100) +
                           Pad("ZMOMON", 30) + Pad(scrambled1, 30) + "T62" + "007" + "03" +
                           "000000" + "240000" + "C" + "\r\n" + Pad("sapx.example.com", 100) +
                           Pad("USER2", 30) + Pad(scrambled2, 30) + "X01" + "800" + "10" +
                           "000000" + "240000" + " " + "\r\n";
  EXPECT_EQ(ReadAll(server_file_), want);
  EXPECT_EQ(ReadAll(bin_dir_ + "/zmoserver.bak"), before);
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiInput), server_file_);
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapInput), server_file_);
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionSuccessful));
  EXPECT_EQ(gServerCount, 2) << "the file written was read again";
}

TEST_F(ServersPageTest, OkWithAnEmptyListWritesAnEmptyFile) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")));
  Open();
  SetListIndex(page()->lstServer, 0);
  page()->cmdDelete->click();
  page()->cmdOK->click();
  EXPECT_EQ(std::filesystem::file_size(server_file_), 0u);
  EXPECT_EQ(std::filesystem::file_size(bin_dir_ + "/zmoserver.bak"), 183u);
}

TEST_F(ServersPageTest, OkKeepsTheFileTheRegistryNames) {
  const std::string elsewhere = dir_ / "share";
  std::filesystem::create_directories(elsewhere);
  PutConfigText(zmo::cfg::kStatiInput, elsewhere + "/zmoserver.dat");
  Open();
  page()->cmdCreate->click();
  Type("sapa.example.com", "U", "p", "PRD", "100", "00");
  dialog()->cmdOK->click();
  Settle();
  page()->cmdOK->click();
  EXPECT_EQ(std::filesystem::file_size(elsewhere + "/zmoserver.dat"), 183u);
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiInput), elsewhere + "/zmoserver.dat");
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapInput), elsewhere + "/zmoserver.dat");
  EXPECT_FALSE(std::filesystem::exists(server_file_));
}

TEST_F(ServersPageTest, OkAfterAFailedLoadIsRefusedAndTheFileStays) {
  std::filesystem::create_directories(server_file_);  // no regular file: the load fails
  Open();
  ui_.events.clear();
  page()->cmdOK->click();
  ASSERT_EQ(ui_.events.size(), 2u);
  EXPECT_EQ(ui_.events[0], BoxOf(1520));
  EXPECT_EQ(ui_.events[1], StatusOf(kTextActionFailed));
  EXPECT_TRUE(std::filesystem::is_directory(server_file_));
}

TEST_F(ServersPageTest, CancelDropsTheVisitsChangesAndReadsTheFileAgain) {
  WriteServerFile(EncodeServerRecord(Row("sapa.example.com", "PRD", "100", "00")));
  Open();
  SetListIndex(page()->lstServer, 0);
  page()->cmdDelete->click();
  EXPECT_EQ(gServerCount, 0);
  gServerFile = "/elsewhere/zmoserver.dat";
  page()->cmdCancel->click();
  EXPECT_EQ(gServerCount, 1);
  EXPECT_TRUE(gServerFile.empty());
  EXPECT_EQ(Items(), std::vector<std::string>{"sapa.example.com 00"});
  EXPECT_EQ(page()->lblFilePath->text().toStdString(), server_file_);
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(ServersPageTest, LeavingCancelWithTabLandsInTheTree) {
  Open();
  page()->cmdCancel->setFocus();
  QTest::keyClick(page()->cmdCancel, Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), main_->Tree()->treConfigurator);
}

// ---- The server-file chooser ----

TEST_F(ServersPageTest, ChooserListsTheMountedFileSystemsAndBinDir) {
  Open();
  SetValue(page()->chkNetwork, true);
  auto* chooser = main_->Page<frmGetServerFile>();
  ASSERT_TRUE(chooser->IsActive());
  EXPECT_EQ(CurrentFormName(), "frmGetServerFile");
  QStringList drives;
  for (int i = 0; i < chooser->drvDriveList->count(); ++i)
    drives << chooser->drvDriveList->itemText(i);
  EXPECT_TRUE(drives.contains("/"));
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (v.isValid() && v.isReady()) {
      EXPECT_TRUE(drives.contains(v.rootPath())) << v.rootPath().toStdString();
    }
  }
  const QString drive = chooser->drvDriveList->currentText();
  EXPECT_TRUE(QString::fromStdString(bin_dir_).startsWith(drive)) << drive.toStdString();
  EXPECT_EQ(chooser->DirPath().toStdString(), bin_dir_);
  EXPECT_EQ(chooser->FilePath().toStdString(), bin_dir_);
}

TEST_F(ServersPageTest, ChooserListsOnlyServerFilesInAnyCaseAndLoadsTheOneChosen) {
  const std::filesystem::path share(dir_ / "share");
  std::filesystem::create_directories(share / "sub");
  std::ofstream(share / "ZMOSERVER.DAT", std::ios::binary)
      << EncodeServerRecord(Row("sapn.example.com", "NET", "100", "02"));
  std::ofstream(share / "zmoserver.bak") << "";
  std::ofstream(share / "other.dat") << "";
  Open();
  SetValue(page()->chkNetwork, true);
  auto* chooser = main_->Page<frmGetServerFile>();
  chooser->SetDirPath(QString::fromStdString(share.string()));
  ASSERT_EQ(chooser->fileFileList->count(), 1);
  EXPECT_EQ(chooser->fileFileList->item(0)->text(), "ZMOSERVER.DAT");
  EXPECT_TRUE(chooser->dirDirList->findItems("sub", Qt::MatchExactly).size() == 1);
  ui_.events.clear();
  chooser->cmdOK->click();  // no file chosen
  const std::vector<std::string> refused = {BoxOf(1504), StatusOf(kTextActionFailed)};
  EXPECT_EQ(ui_.events, refused);
  EXPECT_TRUE(gServerFile.empty());
  EXPECT_TRUE(chooser->IsActive());
  chooser->fileFileList->setCurrentRow(0);
  chooser->cmdOK->click();
  Settle();
  EXPECT_EQ(gServerFile, (share / "ZMOSERVER.DAT").string());
  EXPECT_TRUE(page()->IsActive());
  EXPECT_FALSE(page()->chkNetwork->isChecked());
  EXPECT_EQ(page()->lblFilePath->text().toStdString(), gServerFile);
  EXPECT_EQ(Items(), std::vector<std::string>{"sapn.example.com 02"});
}

// The chooser shows the folder its lists are of, also after a folder was
// opened or left; a path wider than the page keeps its end in view.
TEST_F(ServersPageTest, ChooserShowsTheFolderItIsIn) {
  const std::filesystem::path share(dir_ / "share");
  const std::filesystem::path deep =
      share / "first_level_of_a_deep_tree" / "second_level_of_a_deep_tree" / "third_level";
  std::filesystem::create_directories(deep / "servers");
  Open();
  SetValue(page()->chkNetwork, true);
  auto* chooser = main_->Page<frmGetServerFile>();
  Settle();
  EXPECT_EQ(chooser->lblDirPath->text().toStdString(), bin_dir_);
  chooser->SetDirPath(QString::fromStdString(share.string()));
  EXPECT_EQ(chooser->lblDirPath->text().toStdString(), share.string());
  chooser->SetDirPath(QString::fromStdString(deep.string()));
  // Opening a folder by its entry, then going up by "..".
  emit chooser->dirDirList->itemActivated(
      chooser->dirDirList->findItems("servers", Qt::MatchExactly).value(0));
  Settle();
  const std::string opened = (deep / "servers").string();
  EXPECT_EQ(chooser->lblDirPath->toolTip().toStdString(), opened);
  const QString shown = chooser->lblDirPath->text();
  EXPECT_TRUE(shown.endsWith("third_level/servers")) << shown.toStdString();
  EXPECT_LE(chooser->lblDirPath->fontMetrics().horizontalAdvance(shown),
            chooser->lblDirPath->width());
  emit chooser->dirDirList->itemActivated(chooser->dirDirList->item(0));  // ".."
  EXPECT_EQ(chooser->lblDirPath->toolTip().toStdString(), deep.string());
}

TEST_F(ServersPageTest, ChooserCancelKeepsTheFileShownAndUnticks) {
  Open();
  SetValue(page()->chkNetwork, true);
  auto* chooser = main_->Page<frmGetServerFile>();
  chooser->dirDirList->setFocus();
  QTest::keyClick(chooser->dirDirList, Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(page()->IsActive());
  EXPECT_FALSE(page()->chkNetwork->isChecked());
  EXPECT_EQ(gServerFile, server_file_);
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(ServersPageTest, TabInTheTreeLeavesTheFocusThereWhileTheChooserIsCurrent) {
  Open();
  SetValue(page()->chkNetwork, true);
  QTreeWidget* t = main_->Tree()->treConfigurator;
  t->setFocus();
  QTest::keyClick(t, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), t);
}

}  // namespace
