// The three exclusion-list pages (user IDs, programs, transaction codes):
// one page class with a row of differences per member. A page edits its
// sorted list; its OK writes the list's file through the data layer and
// its Cancel reads the file again. Create and Edit go through the member's
// dialog (frmAddIgnore.h).
#pragma once

#include <string>
#include <vector>

#include "common/data_files.h"
#include "page.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zmo::config {

// How the members differ on the page layer; the entry rules and the file
// layout are the data layer's (exclusions.h).
struct IgnoreMember {
  zmo::IgnoreList list;
  const char* page;  // page form and its list box
  const char* list_box;
  int page_title;  // lblTitle and lblText of the page
  int page_text;
  const char* dialog;  // the add/edit dialog, its caption and title (0: none)
  int dialog_caption;
  int dialog_title;
  const char* entry_label;  // the label of txtIgnore
  int entry_label_id;
  int max_length;  // typing limit of txtIgnore (0: none)
};
const IgnoreMember& IgnoreMemberOf(zmo::IgnoreList list);

class IgnoreListPage : public PageForm {
  Q_OBJECT
 public:
  explicit IgnoreListPage(zmo::IgnoreList list, QWidget* parent = nullptr);

  const IgnoreMember& Member() const { return member_; }
  // The list box's rows in list order, as bytes.
  std::vector<std::string> Rows() const;
  QListWidget* List() const { return list_; }

  QLabel* lblTitle;
  QLabel* lblText;
  QLabel* imgLogo;
  QPushButton* cmdAdd;
  QPushButton* cmdEdit;
  QPushButton* cmdDelete;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;

 public slots:
  void cmdAdd_Click();
  void cmdEdit_Click();
  void cmdDelete_Click();
  void cmdOK_Click() override;
  void cmdCancel_Click() override;

 protected slots:
  void Form_Activate() override;

 protected:
  const IgnoreMember& member_;
  QListWidget* list_;
};

class frmIDsToIgnore : public IgnoreListPage {
  Q_OBJECT
 public:
  explicit frmIDsToIgnore(QWidget* parent = nullptr);
  QListWidget* lstIDsToIgnore;
};

class frmProgsToIgnore : public IgnoreListPage {
  Q_OBJECT
 public:
  explicit frmProgsToIgnore(QWidget* parent = nullptr);
  QListWidget* lstProgsToIgnore;
};

class frmTransToIgnore : public IgnoreListPage {
  Q_OBJECT
 public:
  explicit frmTransToIgnore(QWidget* parent = nullptr);
  QListWidget* lstTransToIgnore;
};

}  // namespace zmo::config
