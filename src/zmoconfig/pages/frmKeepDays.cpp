#include "frmKeepDays.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/snap_keep.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

frmKeepDays::frmKeepDays(QWidget* parent) : PageForm("frmKeepDays", parent) {
  SetTag(this, "1115");
  imgLogo = MakeLogo(this);
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1115);
  MakeTitle(lblTitle);
  lblInstructions = NamedControl<QLabel>(this, "lblInstructions", 1331);
  lblInstructions->setWordWrap(true);
  lblInstruction = NamedControl<QLabel>(this, "lblInstruction", 1332);
  txtDetailKeepDays = NamedControl<QLineEdit>(this, "txtDetailKeepDays");
  SetMaxLength(txtDetailKeepDays, 4);
  FitDigits(txtDetailKeepDays, 4);
  lblInstruction->setBuddy(txtDetailKeepDays);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* days = new QHBoxLayout;
  days->addWidget(lblInstruction);
  days->addWidget(txtDetailKeepDays);
  days->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TitleRow(lblTitle, imgLogo));
  layout->addWidget(lblInstructions);
  layout->addLayout(days);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

void frmKeepDays::Form_Activate() {
  LocalizeForm(this);
  const std::string stored = GetRegValue(zmo::cfg::kDetailKeepDays);
  HideOtherForms(this);
  PlaceChildForm(this);
  std::string days;
  if (RetentionShown(stored, &days) == kRetentionMissing) {
    Status(kTextNoValueSet);  // the box keeps its text
    return;
  }
  txtDetailKeepDays->setText(FromAnsi(days));
  Status(kTextReady);
}

void frmKeepDays::cmdOK_Click() {
  const int result = SaveRetention(ToAnsi(txtDetailKeepDays->text()));
  if (result == kTextActionFailed) return;  // the failed write is shown
  if (result != 0) {
    // Only a character other than a digit selects the text to retype.
    Refuse(result, result == kTextWholeNumbers ? txtDetailKeepDays : nullptr);
    return;
  }
  Status(kTextActionSuccessful);
}

void frmKeepDays::cmdCancel_Click() {
  Form_Activate();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
