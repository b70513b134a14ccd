// The three exclusion-list pages (user IDs, programs, transaction codes):
// one page class with a row of differences per member. A page edits its
// sorted list; its OK writes the list's file through the data layer and
// its Cancel reads the file again. Create and Edit go through the member's
// dialog (frmAddIgnore.h), whose owner the page is.
#pragma once

#include <string>
#include <vector>

#include "common/data_files.h"
#include "page.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zmo::config {

class IgnoreEntryDialog;
class IgnoreListPage;

// How the pages of the members differ; the dialogs' differences are theirs
// (frmAddIgnore.h), the entry rules and the file layout the data layer's
// (exclusions.h).
struct IgnoreMember {
  zmo::IgnoreList list;
  const char* page;  // page form and its list box
  const char* list_box;
  int page_title;  // lblTitle and lblText of the page
  int page_text;
  // The member's add/edit dialog, by its class, with page as its owner.
  IgnoreEntryDialog* (*dialog)(IgnoreListPage* page);
};
const IgnoreMember& IgnoreMemberOf(zmo::IgnoreList list);

class IgnoreListPage : public PageForm, public EditedList {
  Q_OBJECT
 public:
  explicit IgnoreListPage(zmo::IgnoreList list, QWidget* parent = nullptr);

  const IgnoreMember& Member() const { return member_; }
  // The list box's rows in list order, as bytes.
  std::vector<std::string> Entries() const override;
  QListWidget* List() const override { return list_; }
  // Adds the row of entry; the sorted list places it.
  void AddEntry(const std::string& entry) override;

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
