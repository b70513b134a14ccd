#include "frmServers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "MDIMainForm.h"
#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/servers.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

frmServers::frmServers(QWidget* parent) : PageForm("frmServers", parent) {
  SetTag(this, "1341");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1341);
  MakeTitle(lblTitle);
  lblInstructions = NamedControl<QLabel>(this, "lblInstructions", 1342);
  lblInstructions->setWordWrap(true);
  lblListlabel = NamedControl<QLabel>(this, "lblListlabel", 1343);
  lstServer = new QListWidget(this);
  lstServer->setObjectName("lstServer");
  lblListlabel->setBuddy(lstServer);
  frmSelectFile = NamedControl<QGroupBox>(this, "frmSelectFile", 1507);
  chkNetwork = NamedControl<QCheckBox>(frmSelectFile, "chkNetwork", 1507);
  lblFilePath = new QLabel(frmSelectFile);
  lblFilePath->setObjectName("lblFilePath");
  lblFilePath->setWordWrap(true);
  lblFilePath->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cmdCreate = NamedControl<QPushButton>(this, "cmdCreate", 1202);
  cmdEdit = NamedControl<QPushButton>(this, "cmdEdit", 1203);
  cmdDelete = NamedControl<QPushButton>(this, "cmdDelete", 1204);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);

  connect(Click(chkNetwork), &ClickRelay::Click, this, &frmServers::chkNetwork_Click);
  connect(Click(lstServer), &ClickRelay::Click, this, &frmServers::lstServer_Click);
  connect(cmdCreate, &QPushButton::clicked, this, &frmServers::cmdCreate_Click);
  connect(cmdEdit, &QPushButton::clicked, this, &frmServers::cmdEdit_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmServers::cmdDelete_Click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* file = new QVBoxLayout(frmSelectFile);
  file->addWidget(chkNetwork);
  file->addWidget(lblFilePath);
  QHBoxLayout* buttons = OkCancelRow(cmdOK, cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblInstructions);
  layout->addWidget(lblListlabel);
  layout->addLayout(ListWithButtons(lstServer, {cmdCreate, cmdEdit, cmdDelete}), 1);
  layout->addWidget(frmSelectFile);
  layout->addLayout(buttons);
}

void frmServers::ShowItems(const std::vector<std::string>& items, bool enabled) {
  lstServer->clear();
  for (const std::string& item : items) lstServer->addItem(FromAnsi(item));
  lstServer->setEnabled(enabled);
}

int frmServers::ReloadList() {
  lstServer->clear();
  ServerLists lists;
  const int result = LoadServerFile(FormName(), {}, &lists);
  ShowItems(lists.lstServer, lists.lstServerEnabled);
  return result;
}

void frmServers::ShowFilePath() {
  lblFilePath->setText(
      FromAnsi(gServerFile.empty() ? GetRegValue(zmo::cfg::kStatiInput) : gServerFile));
}

void frmServers::Form_Load() {
  if (lstServer->count() == 0) ReloadList();
}

void frmServers::Form_Activate() {
  LocalizeForm(this);
  PlaceChildForm(this);
  ServerLists lists;
  FillServerLists(FormName(), &lists);
  ShowItems(lists.lstServer, lstServer->isEnabled());
  HideOtherForms(this);
  SetValue(chkNetwork, false);  // ticked: reloads from the file
  ShowFilePath();
  SetListExtent(lstServer);
  Status(kTextReady);
}

void frmServers::chkNetwork_Click() {
  if (chkNetwork->isChecked()) {
    ShowPage(DialogOf<frmGetServerFile>());
    return;
  }
  if (ReloadList() == kServerLoadOk) Status(kTextActionSuccessful);
}

void frmServers::lstServer_Click() {
  const int position = ListIndex(lstServer);
  if (position < 0) return;
  if (auto* dialog = DialogOf<frmAddServers>())
    dialog->txtIndex->setText(QString::number(position + 1));
}

void frmServers::cmdCreate_Click() {
  auto* dialog = DialogOf<frmAddServers>();
  if (!dialog) return;
  dialog->txtIndex->clear();
  ShowPage(dialog);
}

void frmServers::cmdEdit_Click() {
  const int position = ListIndex(lstServer);
  auto* dialog = DialogOf<frmAddServers>();
  if (position < 0 || !dialog) return;
  dialog->txtIndex->setText(QString::number(position + 1));
  ShowPage(dialog);
}

void frmServers::ServerEntryStored() { cmdOK->setFocus(); }

void frmServers::ServerFileChosen() {
  ReloadList();
  lblFilePath->setText(FromAnsi(gServerFile));
}

void frmServers::ServerFileChoiceCancelled() {
  SetValue(chkNetwork, false);
  gServerFile = ToAnsi(lblFilePath->text());
}

void frmServers::cmdDelete_Click() {
  const int position = ListIndex(lstServer);
  if (position < 0) return;
  Ui().SetHourglass(true);
  RemoveListItem(lstServer, position);
  DeleteServerRow(position + 1);
  Ui().SetHourglass(false);
}

void frmServers::cmdOK_Click() {
  // SaveServerFile shows every refusal and failure itself; the table stays.
  if (SaveServerFile() != 0) return;
  // Pages that list the servers read the new file.
  if (MDIMainForm* main = MainForm()) {
    for (QMdiSubWindow* sub : main->mdiArea->subWindowList()) {
      auto* page = qobject_cast<PageForm*>(sub->widget());
      if (page && page != this && !page->IsUnloaded()) page->ServerFileWritten();
    }
  }
  if (ReloadList() == kServerLoadOk) Status(kTextActionSuccessful);
}

void frmServers::cmdCancel_Click() {
  gServerFile.clear();
  ClearTaggedControls(this);
  ReloadList();
  SetValue(chkNetwork, false);
  lblFilePath->setText(FromAnsi(GetRegValue(zmo::cfg::kStatiInput)));
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
