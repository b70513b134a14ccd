#include "frmAddStatSch.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "zmoconfig/schedule.h"
#include "zmoconfig/text_ids.h"

namespace zmo::config {

frmAddStatSch::frmAddStatSch(QWidget* parent) : PageForm("frmAddStatSch", parent) {
  SetTag(this, "1316");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1316);
  MakeTitle(lblTitle);
  lblInstructions = NamedControl<QLabel>(this, "lblInstructions", 1317);
  lblInstructions->setWordWrap(true);
  lblSchTime = NamedControl<QLabel>(this, "lblSchTime", 1318);
  txtSchTime = NamedControl<QLineEdit>(this, "txtSchTime");
  lblSchTime->setBuddy(txtSchTime);
  txtIndex = NamedControl<QLineEdit>(this, "txtIndex");
  txtIndex->setVisible(false);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* time = new QHBoxLayout;
  time->addWidget(lblSchTime);
  time->addWidget(txtSchTime);
  time->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblInstructions);
  layout->addLayout(time);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

void frmAddStatSch::Form_Activate() {
  ActivateDialog();
  txtSchTime->setFocus();
}

void frmAddStatSch::cmdOK_Click() {
  auto* page = OwnerAs<EditedList>();
  if (!page) return;
  std::string entry;
  const int result = CheckScheduleEntry(ToAnsi(txtSchTime->text()), page->Entries(), &entry);
  if (result != 0) {
    Refuse(result, txtSchTime);
    return;
  }
  txtSchTime->setText(FromAnsi(entry));
  PutEntry(page, txtIndex, entry);
  txtSchTime->clear();
  Close();
}

void frmAddStatSch::cmdCancel_Click() {
  txtIndex->clear();
  Close();
  Status(kTextActionCancelled);
}

void frmAddStatSch::Close() {
  ReturnToOwner();
  if (auto* page = OwnerAs<EditedList>()) page->List()->setFocus();
}

}  // namespace zmo::config
