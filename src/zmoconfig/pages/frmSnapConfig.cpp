#include "frmSnapConfig.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/snap_keep.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

frmSnapConfig::frmSnapConfig(QWidget* parent) : PageForm("frmSnapConfig", parent) {
  SetTag(this, "1122");
  imgLogo = MakeLogo(this);
  lblSnapHeader = NamedControl<QLabel>(this, "lblSnapHeader", 1345);
  MakeTitle(lblSnapHeader);
  lblSnapDays = NamedControl<QLabel>(this, "lblSnapDays", 1346);
  lblSnapDays->setWordWrap(true);
  chkMonday = NamedControl<QCheckBox>(this, "chkMonday", 1347);
  chkTuesday = NamedControl<QCheckBox>(this, "chkTuesday", 1348);
  chkWednesday = NamedControl<QCheckBox>(this, "chkWednesday", 1349);
  chkThursday = NamedControl<QCheckBox>(this, "chkThursday", 1350);
  chkFriday = NamedControl<QCheckBox>(this, "chkFriday", 1351);
  chkSaturday = NamedControl<QCheckBox>(this, "chkSaturday", 1352);
  chkSunday = NamedControl<QCheckBox>(this, "chkSunday", 1353);
  lblSnapSleep = NamedControl<QLabel>(this, "lblSnapSleep", 1354);
  txtSnapSleep = NamedControl<QLineEdit>(this, "txtSnapSleep");
  SetMaxLength(txtSnapSleep, 4);
  lblSnapSleep->setBuddy(txtSnapSleep);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* days = new QGridLayout;
  const std::array<QCheckBox*, 7> boxes = DayBoxes();
  for (int d = 0; d < kWeekDays; ++d) days->addWidget(boxes[d], d % 4, d / 4);
  days->setColumnStretch(2, 1);
  auto* sleep = new QHBoxLayout;
  sleep->addWidget(lblSnapSleep);
  sleep->addWidget(txtSnapSleep);
  sleep->addStretch(1);
  FitDigits(txtSnapSleep, 4);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TitleRow(lblSnapHeader, imgLogo));
  layout->addWidget(lblSnapDays);
  layout->addLayout(days);
  layout->addSpacing(8);
  layout->addLayout(sleep);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

std::array<QCheckBox*, 7> frmSnapConfig::DayBoxes() const {
  return {chkMonday, chkTuesday, chkWednesday, chkThursday, chkFriday, chkSaturday, chkSunday};
}

void frmSnapConfig::Form_Activate() {
  ActivateSkeleton();
  WeekDays days{};
  // A missing or unreadable mask ticks no box, so none stays ticked from an
  // earlier showing.
  SnapDaysShown(GetRegValue(zmo::cfg::kSnapRunDays), &days);
  const std::array<QCheckBox*, 7> boxes = DayBoxes();
  for (int d = 0; d < kWeekDays; ++d) SetValue(boxes[d], days[d]);
  txtSnapSleep->setText(FromAnsi(GetRegValue(zmo::cfg::kSnapSleepTime)));
  Status(kTextReady);
}

void frmSnapConfig::cmdOK_Click() {
  const std::string typed = ToAnsi(txtSnapSleep->text());
  std::string seconds;
  if (CheckSnapInterval(typed, &seconds) == 0) txtSnapSleep->setText(FromAnsi(seconds));
  WeekDays days{};
  const std::array<QCheckBox*, 7> boxes = DayBoxes();
  for (int d = 0; d < kWeekDays; ++d) days[d] = boxes[d]->isChecked();
  const int result = SaveSnapConfig(typed, days);
  if (result == kTextActionFailed) return;  // the failed write is shown
  if (result != 0) {
    txtSnapSleep->setFocus();
    Refuse(result);
    return;
  }
  Status(kTextActionSuccessful);
}

void frmSnapConfig::cmdCancel_Click() {
  Form_Activate();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
