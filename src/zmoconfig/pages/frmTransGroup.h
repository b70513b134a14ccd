// The application-groups page: the groups of gAppGroups in an editable
// combo box, the selected group's service level and its transaction codes.
// Groups are added, copied (a new name typed over a clicked group), edited
// and deleted; codes are added, edited and deleted through frmAddAppTrans.
// All of it changes the module tables only; OK writes both group files,
// Cancel reads them again.
#pragma once

#include <string>

#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zmo::config {

class frmTransGroup : public PageForm, public AppGroupOwner, public GroupCodesOwner {
  Q_OBJECT
 public:
  explicit frmTransGroup(QWidget* parent = nullptr);

  // The heading: the pages beside the tree have no title bar to show the
  // form's caption.
  QLabel* lblTitle;
  QGroupBox* frameApplication;
  QComboBox* cmbTransGroup;
  QLabel* lblSeconds;
  QLineEdit* txtSeconds;
  QPushButton* cmdAppAdd;
  QPushButton* cmdAppEdit;
  QPushButton* cmdAppDelete;
  QGroupBox* frameTransactions;
  QListWidget* lstGroupMembers;
  QPushButton* cmdTxAdd;
  QPushButton* cmdTxEdit;
  QPushButton* cmdTxDelete;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

  // True when no group has the name (trimmed, any case).
  bool CheckForDups(const QString& NewAppName) const;
  // The trimmed name of the group last clicked; "" when none is.
  std::string SelectedGroup() const override;
  // lstGroupMembers.
  QListWidget* CodeList() const override { return lstGroupMembers; }
  // frmAddApplication stored a group: the combo lists it under its name
  // (a rename shows at once) and chooses it. Cancelled: the combo chooses
  // the edited group again.
  void AppGroupStored(int row, const QString& name) override;
  void AppGroupEditCancelled(int position) override;
  // The combo's list position: its current entry while the box shows that
  // entry's text, else -1 (a name typed over it is no entry).
  int ListPosition() const;

 public slots:
  void cmbTransGroup_Change();
  void cmbTransGroup_Click();
  void cmdAppAdd_Click();
  void cmdAppEdit_Click();
  void cmdAppDelete_Click();
  void cmdTxAdd_Click();
  void cmdTxEdit_Click();
  void cmdTxDelete_Click();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 private:
  // The member controls, enabled only while the combo names the group
  // last clicked.
  void EnableMembers(bool on);
  // Empties the combo, the codes and the seconds, reads both group files
  // and activates the page again with no group selected.
  void Reload();

  int selected_row_ = 0;  // row of gAppGroups last clicked (0: none)
};

}  // namespace zmo::config
