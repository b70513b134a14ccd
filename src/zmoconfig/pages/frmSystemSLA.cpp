#include "frmSystemSLA.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "frmCurrentConfig.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/groups.h"

namespace zmo::config {

frmSystemSLA::frmSystemSLA(QWidget* parent) : PageForm("frmSystemSLA", parent) {
  SetTag(this, "1120");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1361);
  MakeTitle(lblTitle);
  lblSLAInstructions = NamedControl<QLabel>(this, "lblSLAInstructions", 1362);
  lblSLAInstructions->setWordWrap(true);
  lblSeconds = NamedControl<QLabel>(this, "lblSeconds", 1363);
  txtSeconds = NamedControl<QLineEdit>(this, "txtSeconds");
  SetMaxLength(txtSeconds, 5);
  SetTag(txtSeconds, "CLEAR");
  lblSeconds->setBuddy(txtSeconds);
  imgLogo = MakeLogo(this);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* seconds = new QHBoxLayout;
  seconds->addWidget(lblSeconds);
  seconds->addWidget(txtSeconds);
  seconds->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle, lblSLAInstructions}, imgLogo));
  layout->addLayout(seconds);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

void frmSystemSLA::ShowStored() {
  ClearTaggedControls(this);
  txtSeconds->setText(FromAnsi(SystemLevelShown()));
}

void frmSystemSLA::Form_Activate() {
  LocalizeForm(this);
  ShowStored();
  HideOtherForms(this);
  PlaceChildForm(this);
  Status(kTextReady);
}

void frmSystemSLA::cmdOK_Click() {
  const int result = SaveSystemLevel(ToAnsi(txtSeconds->text()));
  if (result == kTextNoValueToAdd) {
    Refuse(result);
    return;
  }
  if (result == kTextSlaSeconds) {
    Refuse(result, txtSeconds);
    return;
  }
  if (result != 0) return;  // a registry failure, already shown
  Hide();
  ShowPage<frmCurrentConfig>();
  Status(kTextActionSuccessful);
}

void frmSystemSLA::cmdCancel_Click() {
  ShowStored();
  HideOtherForms(this);
  PlaceChildForm(this);
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
