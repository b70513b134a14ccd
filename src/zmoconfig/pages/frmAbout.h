// The About box: the About picture and an OK button, shown modeless.
#pragma once

#include "forms.h"

class QLabel;
class QPushButton;

namespace zmo::config {

class frmAbout : public FormBase {
  Q_OBJECT
 public:
  explicit frmAbout(QWidget* parent = nullptr);

  QLabel* picAbout;
  QPushButton* cmdOK;

 public slots:
  void cmdOK_Click();

 protected slots:
  void Form_Activate() override;
  void Form_KeyDown(int& KeyCode, int Shift) override;
};

}  // namespace zmo::config
