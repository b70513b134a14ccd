#include "frmAddServers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/servers.h"

namespace zmo::config {

namespace {

QLineEdit* Box(QWidget* parent, const char* name, int max_length, bool tagged) {
  auto* box = NamedControl<QLineEdit>(parent, name);
  SetMaxLength(box, max_length);
  if (tagged) SetTag(box, "CLEAR");
  // Entering a box selects its whole text.
  QObject::connect(GotFocus(box), &ClickRelay::Click, box, &QLineEdit::selectAll,
                   Qt::QueuedConnection);
  return box;
}

}  // namespace

frmAddServers::frmAddServers(QWidget* parent) : PageForm("frmAddServers", parent) {
  SetTag(this, "1309");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1309);
  MakeTitle(lblTitle);
  lblServer = NamedControl<QLabel>(this, "lblServer", 1114);
  txtServer = Box(this, "txtServer", 100, false);
  lblID = NamedControl<QLabel>(this, "lblID", 1310);
  txtID = Box(this, "txtID", 30, true);
  lblPW = NamedControl<QLabel>(this, "lblPW", 1311);
  txtPW = Box(this, "txtPW", 30, true);
  txtPW->setEchoMode(QLineEdit::Password);
  lblSID = NamedControl<QLabel>(this, "lblSID", 1313);
  txtSID = Box(this, "txtSID", 3, true);
  lblClient = NamedControl<QLabel>(this, "lblClient", 1315);
  txtClient = Box(this, "txtClient", 3, true);
  lblInstanceNo = NamedControl<QLabel>(this, "lblInstanceNo", 1314);
  txtInstanceNo = Box(this, "txtInstanceNo", 2, true);
  lblLanguage = NamedControl<QLabel>(this, "lblLanguage", 1312);
  cmbLanguage = NamedControl<QComboBox>(this, "cmbLanguage");
  txtIndex = NamedControl<QLineEdit>(this, "txtIndex");
  txtIndex->setVisible(false);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* grid = new QGridLayout;
  const std::pair<QLabel*, QWidget*> rows[] = {
      {lblServer, txtServer},     {lblID, txtID},         {lblPW, txtPW},
      {lblSID, txtSID},           {lblClient, txtClient}, {lblInstanceNo, txtInstanceNo},
      {lblLanguage, cmbLanguage},
  };
  int r = 0;
  for (const auto& [label, box] : rows) {
    label->setBuddy(box);
    grid->addWidget(label, r, 0);
    grid->addWidget(box, r, 1);
    ++r;
  }
  grid->setColumnStretch(1, 1);
  QHBoxLayout* buttons = OkCancelRow(cmdOK, cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addLayout(buttons);
}

ServerEntry frmAddServers::Entry() const {
  ServerEntry e;
  e.host = ToAnsi(txtServer->text());
  e.user = ToAnsi(txtID->text());
  e.password = ToAnsi(txtPW->text());
  e.sid = ToAnsi(txtSID->text());
  e.client = ToAnsi(txtClient->text());
  e.sysnr = ToAnsi(txtInstanceNo->text());
  e.language = cmbLanguage->currentIndex();
  return e;
}

int frmAddServers::Row() const {
  bool ok = false;
  const int row = txtIndex->text().trimmed().toInt(&ok);
  return ok && row >= 1 && row <= gServerCount ? row : 0;
}

bool frmAddServers::CheckFields() {
  ServerEntry e = Entry();
  EntryRefusal refusal;
  const int result = zmo::config::CheckFields(&e, &refusal);
  // The boxes the checks passed stay normalised, also after a refusal.
  txtSID->setText(FromAnsi(e.sid));
  txtInstanceNo->setText(FromAnsi(e.sysnr));
  txtClient->setText(FromAnsi(e.client));
  if (result == 0) return true;
  QLineEdit* box = nullptr;
  switch (refusal.box) {
    case ServerBox::kNone:
      break;
    case ServerBox::kServer:
      box = txtServer;
      break;
    case ServerBox::kId:
      box = txtID;
      break;
    case ServerBox::kPassword:
      box = txtPW;
      break;
    case ServerBox::kSid:
      box = txtSID;
      break;
    case ServerBox::kClient:
      box = txtClient;
      break;
    case ServerBox::kInstanceNo:
      box = txtInstanceNo;
      break;
  }
  Ui().MsgBox(FromAnsi(refusal.text), MsgButtons::Ok);
  if (box) SelectText(box);
  return false;
}

bool frmAddServers::CheckForDups(int RecordToSkip) {
  return zmo::config::CheckForDups(RecordToSkip, Entry());
}

void frmAddServers::Form_Activate() {
  ActivateDialog();
  cmbLanguage->clear();
  for (int i = 0; i < kServerLanguageCount; ++i)
    cmbLanguage->addItem(CatalogText(kTextFirstLanguage + i));
  cmbLanguage->setCurrentIndex(-1);
  const int row = Row();
  if (row == 0) return;  // adding: the boxes keep what they hold
  const ServerEntry e = ServerEntryFromRow(gServers[row]);
  txtServer->setText(FromAnsi(e.host));
  txtID->setText(FromAnsi(e.user));
  txtPW->setText(FromAnsi(e.password));
  txtSID->setText(FromAnsi(e.sid));
  txtClient->setText(FromAnsi(e.client));
  txtInstanceNo->setText(FromAnsi(e.sysnr));
  cmbLanguage->setCurrentIndex(e.language);
}

void frmAddServers::cmdOK_Click() {
  Status(kTextActionSuccessful);
  if (!CheckFields()) {
    Status(kTextActionFailed);
    return;
  }
  const bool editing = !txtIndex->text().trimmed().isEmpty();
  const int row = Row();
  if (editing && row == 0) {  // the row went away meanwhile
    Status(kTextActionFailed);
    return;
  }
  if (!CheckForDups(row)) {
    Refuse(kTextDuplicateServer);
    return;
  }
  if (StoreServerEntry(row, Entry()) != kStoreOk) {
    Status(kTextActionFailed);
    return;
  }
  txtIndex->clear();
  ReturnToOwner();
  if (auto* owner = OwnerAs<ServerEntryOwner>()) owner->ServerEntryStored();
}

void frmAddServers::cmdCancel_Click() {
  txtIndex->clear();
  ReturnToOwner();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
