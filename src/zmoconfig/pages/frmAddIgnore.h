// The add/edit dialogs of the three exclusion lists: one dialog class with
// the member's row of differences (frmIgnoreLists.h). Its hidden txtIndex
// holds "" when adding, else the 0-based row of the page's list being
// edited. OK checks the entry by the data layer's rules, asks about a
// transaction code that is not a standard one, changes the page's list and
// goes back to the page; the file is written by the page's OK.
#pragma once

#include "common/data_files.h"
#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

class IgnoreListPage;
struct IgnoreMember;

class IgnoreEntryDialog : public PageForm {
  Q_OBJECT
 public:
  explicit IgnoreEntryDialog(zmo::IgnoreList list, QWidget* parent = nullptr);

  QLabel* lblTitle;  // the dialog title, else the caption
  QLabel* imgLogo;
  QLineEdit* txtIgnore;
  QLineEdit* txtIndex;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 public slots:
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 protected:
  const IgnoreMember& member_;
  QLabel* entry_label_;

 private:
  IgnoreListPage* Owner() const;
  // Unloads the dialog and shows the page with the focus on its list.
  void Close();
};

class frmAddID : public IgnoreEntryDialog {
  Q_OBJECT
 public:
  explicit frmAddID(QWidget* parent = nullptr);
  QLabel* lblUserID;
};

class frmAddProg : public IgnoreEntryDialog {
  Q_OBJECT
 public:
  explicit frmAddProg(QWidget* parent = nullptr);
  QLabel* lblProgramToExlude;
};

class frmAddTrans : public IgnoreEntryDialog {
  Q_OBJECT
 public:
  explicit frmAddTrans(QWidget* parent = nullptr);
  QLabel* lblTransToExclude;
};

}  // namespace zmo::config
