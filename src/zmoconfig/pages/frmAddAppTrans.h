// The dialog that adds transaction codes to the group selected on its
// owner (frmTransGroup), one or several separated by commas, or replaces
// the code being edited. Its hidden txtIndex holds "" when adding, else the list
// position of the edited code. Codes already in the group are skipped; a
// code that is not a standard one is asked about.
#pragma once

#include <string>

#include "page.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zmo::config {

// What the dialog needs of the page that opens it (frmTransGroup).
class GroupCodesOwner {
 public:
  virtual ~GroupCodesOwner() = default;
  // The trimmed name of the group whose codes change; "" when none is.
  virtual std::string SelectedGroup() const = 0;
  // The list of that group's codes.
  virtual QListWidget* CodeList() const = 0;
};

class frmAddAppTrans : public PageForm {
  Q_OBJECT
 public:
  explicit frmAddAppTrans(QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblInstructions;
  QLineEdit* txtTransaction;
  QLineEdit* txtIndex;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // True when AppGroup already holds AppTrans (trimmed, any case).
  static bool DuplicateFound(const std::string& AppGroup, const std::string& AppTrans);

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;
};

}  // namespace zmo::config
