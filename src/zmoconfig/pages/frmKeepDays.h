// The retention page: the days the warehouse keeps its detail data
// (DetailKeepDays, stored with a minus sign in front). Every showing reads
// the value again; OK writes it.
#pragma once

#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class frmKeepDays : public PageForm {
  Q_OBJECT
 public:
  explicit frmKeepDays(QWidget* parent = nullptr);

  QLabel* imgLogo;
  QLabel* lblTitle;
  QLabel* lblInstructions;
  QLabel* lblInstruction;
  QLineEdit* txtDetailKeepDays;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;
};

}  // namespace zmo::config
