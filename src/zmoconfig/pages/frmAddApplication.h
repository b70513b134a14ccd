// The add/edit dialog of an application group: its name and service level
// in seconds. Its hidden txtIndex holds "" when adding, else the 0-based
// list position of the edited group in its owner's combo box (frmTransGroup).
// OK checks and changes gAppGroups through the data layer (a rename carries
// the group's codes) and goes back to the page.
#pragma once

#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

// What the dialog needs of the page that opens it (frmTransGroup).
class AppGroupOwner {
 public:
  virtual ~AppGroupOwner() = default;
  // OK stored the group of row (1-based in gAppGroups) under name: the page
  // lists it under that name, chosen.
  virtual void AppGroupStored(int row, const QString& name) = 0;
  // Cancel of the group at list position (-1: adding): the page chooses it
  // again while it lists it.
  virtual void AppGroupEditCancelled(int position) = 0;
};

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
};

}  // namespace zmo::config
