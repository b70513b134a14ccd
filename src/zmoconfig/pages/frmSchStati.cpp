#include "frmSchStati.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "frmAddStatSch.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/schedule.h"
#include "zmoconfig/text_ids.h"

namespace zmo::config {

frmSchStati::frmSchStati(QWidget* parent) : PageForm("frmSchStati", parent) {
  SetTag(this, "1121");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1121);
  MakeTitle(lblTitle);
  imgLogo = MakeLogo(this);
  lblStatSch = NamedControl<QLabel>(this, "lblStatSch", 1340);
  lstStatSch = NamedControl<QListWidget>(this, "lstStatSch");
  lstStatSch->setSortingEnabled(true);  // rows stay in time order
  lblStatSch->setBuddy(lstStatSch);
  cmdAdd = NamedControl<QPushButton>(this, "cmdAdd", 1202);
  cmdEdit = NamedControl<QPushButton>(this, "cmdEdit", 1203);
  cmdDelete = NamedControl<QPushButton>(this, "cmdDelete", 1204);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  connect(cmdAdd, &QPushButton::clicked, this, &frmSchStati::cmdAdd_Click);
  connect(cmdEdit, &QPushButton::clicked, this, &frmSchStati::cmdEdit_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmSchStati::cmdDelete_Click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle, lblStatSch}, imgLogo));
  layout->addLayout(ListWithButtons(lstStatSch, {cmdAdd, cmdEdit, cmdDelete}), 1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

std::vector<std::string> frmSchStati::Entries() const {
  std::vector<std::string> entries;
  for (int i = 0; i < lstStatSch->count(); ++i)
    entries.push_back(ToAnsi(lstStatSch->item(i)->text().left(5)));
  return entries;
}

void frmSchStati::AddEntry(const std::string& entry) {
  lstStatSch->addItem(FromAnsi(ScheduleRowText(entry)));
}

void frmSchStati::LoadList() {
  lstStatSch->clear();
  std::vector<std::string> entries;
  // A stored text the collector's grammar stops in shows the entries read
  // before the fault; they are all the collector would use.
  LoadScheduleEntries(&entries);
  for (const std::string& entry : entries) AddEntry(entry);
}

void frmSchStati::Form_Activate() {
  ActivateSkeleton();
  // Rows added or edited and not yet saved stay while the list holds rows.
  if (lstStatSch->count() == 0) LoadList();
  SetListExtent(lstStatSch);
  Status(kTextReady);
}

void frmSchStati::SaveSchedule() {
  const int result = zmo::config::SaveSchedule(Entries());
  if (result == kTextActionFailed) return;  // the failed write is shown
  if (result != 0) {
    Refuse(result);
    return;
  }
  Status(kTextActionSuccessful);
}

void frmSchStati::cmdOK_Click() {
  // Reading the rows in turn leaves the last one selected.
  if (lstStatSch->count() > 0) lstStatSch->setCurrentRow(lstStatSch->count() - 1);
  SaveSchedule();
}

void frmSchStati::cmdDelete_Click() {
  const int row = ListIndex(lstStatSch);
  if (row < 0) return;
  if (Ui().MsgBox(CatalogText(kTextDataLossQuestion), MsgButtons::YesNoCritical) != MsgAnswer::Yes)
    return;
  RemoveListItem(lstStatSch, row);
  SaveSchedule();
}

void frmSchStati::cmdEdit_Click() {
  const int row = ListIndex(lstStatSch);
  if (row < 0) return;
  auto* dialog = DialogOf<frmAddStatSch>();
  if (!dialog) return;
  dialog->txtSchTime->setText(lstStatSch->item(row)->text().left(5));
  dialog->txtIndex->setText(QString::number(row));
  ShowPage(dialog);
}

void frmSchStati::cmdAdd_Click() {
  // Each opening is a fresh dialog: both boxes empty, add mode.
  auto* dialog = DialogOf<frmAddStatSch>();
  if (dialog) {
    dialog->txtSchTime->clear();
    dialog->txtIndex->clear();
  }
  ShowPage(dialog);
}

void frmSchStati::cmdCancel_Click() {
  HideOtherForms(this);
  PlaceChildForm(this);
  LoadList();
  SetListExtent(lstStatSch);
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
