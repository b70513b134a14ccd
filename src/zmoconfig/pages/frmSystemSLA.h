// The all-transaction service level: registry value System_SLA shown in
// seconds by the registry's Notation; OK writes both and goes to the
// overview page.
#pragma once

#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class frmSystemSLA : public PageForm {
  Q_OBJECT
 public:
  explicit frmSystemSLA(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblSLAInstructions;
  QLabel* lblSeconds;
  QLineEdit* txtSeconds;
  QLabel* imgLogo;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // Empties the tagged box and shows the stored level in it.
  void ShowStored();
};

}  // namespace zmo::config
