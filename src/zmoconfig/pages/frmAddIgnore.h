// The add/edit dialogs of the three exclusion lists: one dialog class with
// the member's row of differences. Its hidden txtIndex holds "" when adding,
// else the 0-based row of its owner's list being edited (the member's page,
// an EditedList). OK checks the entry by the data layer's rules, asks about
// a transaction code that is not a standard one, changes the page's list
// and goes back to the page; the file is written by the page's OK.
#pragma once

#include "common/data_files.h"
#include "page.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zmo::config {

// How the members' dialogs differ: the form's name, its caption and title
// (0: none, the caption shows as the title), the label of txtIgnore and the
// typing limit of txtIgnore (0: none).
struct IgnoreDialogMember {
  zmo::IgnoreList list;
  const char* dialog;
  int dialog_caption;
  int dialog_title;
  const char* entry_label;
  int entry_label_id;
  int max_length;
};

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
  const IgnoreDialogMember& member_;
  QLabel* entry_label_;

 private:
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
