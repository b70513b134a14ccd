#include "frmAddApplication.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/groups.h"
#include "zmoconfig/text_rules.h"

namespace zmo::config {

frmAddApplication::frmAddApplication(QWidget* parent) : PageForm("frmAddApplication", parent) {
  SetTag(this, "1300");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1300);
  MakeTitle(lblTitle);
  lblTransGroup = NamedControl<QLabel>(this, "lblTransGroup", 1301);
  txtTransGroup = NamedControl<QLineEdit>(this, "txtTransGroup");
  lblSeconds = NamedControl<QLabel>(this, "lblSeconds", 1302);
  txtSeconds = NamedControl<QLineEdit>(this, "txtSeconds");
  SetMaxLength(txtSeconds, 6);
  txtIndex = NamedControl<QLineEdit>(this, "txtIndex");
  txtIndex->setVisible(false);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);
  lblTransGroup->setBuddy(txtTransGroup);
  lblSeconds->setBuddy(txtSeconds);

  auto* grid = new QGridLayout;
  grid->addWidget(lblTransGroup, 0, 0);
  grid->addWidget(txtTransGroup, 0, 1);
  grid->addWidget(lblSeconds, 1, 0);
  grid->addWidget(txtSeconds, 1, 1);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

bool frmAddApplication::CheckForDups(int RecordToSkip) const {
  return GroupNameFree(ToAnsi(txtTransGroup->text()), RecordToSkip);
}

bool frmAddApplication::CheckForSpecialCharacters(const QString& InputData) {
  return InputData.contains(QLatin1Char('\''));
}

int frmAddApplication::Position() const {
  bool ok = false;
  const int position = txtIndex->text().trimmed().toInt(&ok);
  return ok && position >= 0 ? position : -1;
}

void frmAddApplication::Form_Activate() {
  ActivateDialog();
  txtTransGroup->setFocus();
}

void frmAddApplication::cmdOK_Click() {
  int row = 0;
  const int result =
      ApplyGroupDialog(ToAnsi(txtTransGroup->text()), ToAnsi(txtSeconds->text()), Position(), &row);
  switch (result) {
    case 0:
      break;
    case kTextNoValueToUpdate:
      Refuse(result);
      return;
    case kTextSlaSeconds:
      Refuse(result, txtSeconds);
      return;
    case kTextDuplicateGroup:
    case kTextSingleQuote:
    case kTextGroupNameTooLong:
      ShowMessage(result);
      return;
    default:  // nothing to do, or a registry failure already shown
      return;
  }
  if (auto* page = OwnerAs<AppGroupOwner>())
    page->AppGroupStored(row, FromAnsi(Trimmed(ToAnsi(txtTransGroup->text()))));
  txtTransGroup->clear();
  txtSeconds->clear();
  txtIndex->clear();
  ReturnToOwner();
}

void frmAddApplication::cmdCancel_Click() {
  if (auto* page = OwnerAs<AppGroupOwner>()) page->AppGroupEditCancelled(Position());
  ReturnToOwner();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
