// The add/edit dialog of an application group: its name and service level
// in seconds. Its hidden txtIndex holds "" when adding, else the 0-based
// list position of the edited group in frmTransGroup's combo box. OK checks
// and changes gAppGroups through the data layer (a rename carries the
// group's codes) and goes back to the page.
#pragma once

#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class frmAddApplication : public PageForm {
  Q_OBJECT
 public:
  explicit frmAddApplication(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblTransGroup;
  QLineEdit* txtTransGroup;
  QLabel* lblSeconds;
  QLineEdit* txtSeconds;
  QLineEdit* txtIndex;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // True when no group but row RecordToSkip (0: none) has the name typed.
  bool CheckForDups(int RecordToSkip) const;
  // True when InputData holds a single quote.
  static bool CheckForSpecialCharacters(const QString& InputData);

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // txtIndex as a list position; -1 when adding.
  int Position() const;
  void Close();
};

}  // namespace zmo::config
