// The overview page: the first page beside the tree. It reports the program
// ready in the status line when it loads.
#pragma once

#include "forms.h"

class QLabel;

class frmCurrentConfig : public FormBase {
  Q_OBJECT
 public:
  explicit frmCurrentConfig(QWidget* parent = nullptr);

  QLabel* lblTitle;

 protected slots:
  void Form_Load() override;
  void Form_Activate() override;
};
