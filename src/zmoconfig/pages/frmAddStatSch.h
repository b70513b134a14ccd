// The add/edit dialog of one schedule time. Its hidden txtIndex holds ""
// when adding, else the 0-based row of its owner's list being edited (the
// schedule page, frmSchStati, an EditedList). OK checks the time against the
// page's rows and puts it in the list; the registry is written by the page's
// OK or Delete only.
#pragma once

#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class frmAddStatSch : public PageForm {
  Q_OBJECT
 public:
  explicit frmAddStatSch(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblInstructions;
  QLabel* lblSchTime;
  QLineEdit* txtSchTime;
  QLineEdit* txtIndex;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // Unloads the dialog and shows the schedule page with its list focused.
  void Close();
};

}  // namespace zmo::config
