// The snapshot collection page: the weekdays zmosnap collects on
// (SnapRunDays, a mask Monday 1 to Sunday 64) and its polling interval in
// seconds (SnapSleepTime). Every showing reads both again; OK writes both.
#pragma once

#include <array>

#include "page.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class frmSnapConfig : public PageForm {
  Q_OBJECT
 public:
  explicit frmSnapConfig(QWidget* parent = nullptr);

  QLabel* imgLogo;
  QLabel* lblSnapHeader;
  QLabel* lblSnapDays;
  QCheckBox* chkMonday;
  QCheckBox* chkTuesday;
  QCheckBox* chkWednesday;
  QCheckBox* chkThursday;
  QCheckBox* chkFriday;
  QCheckBox* chkSaturday;
  QCheckBox* chkSunday;
  QLabel* lblSnapSleep;
  QLineEdit* txtSnapSleep;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // The day boxes, Monday first (the mask's bit order).
  std::array<QCheckBox*, 7> DayBoxes() const;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;
};

}  // namespace zmo::config
