#include "frmIgnoreLists.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "frmAddIgnore.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/exclusions.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

using zmo::IgnoreList;

template <class Dialog>
IgnoreEntryDialog* MemberDialog(IgnoreListPage* page) {
  return page->DialogOf<Dialog>();
}

const IgnoreMember kMembers[] = {
    {IgnoreList::kIds, "frmIDsToIgnore", "lstIDsToIgnore", 1326, 1327, &MemberDialog<frmAddID>},
    {IgnoreList::kProgs, "frmProgsToIgnore", "lstProgsToIgnore", 1307, 1333,
     &MemberDialog<frmAddProg>},
    {IgnoreList::kTrans, "frmTransToIgnore", "lstTransToIgnore", 1367, 1368,
     &MemberDialog<frmAddTrans>},
};

}  // namespace

const IgnoreMember& IgnoreMemberOf(IgnoreList list) {
  for (const IgnoreMember& m : kMembers) {
    if (m.list == list) return m;
  }
  return kMembers[0];
}

IgnoreListPage::IgnoreListPage(IgnoreList list, QWidget* parent)
    : PageForm(IgnoreMemberOf(list).page, parent), member_(IgnoreMemberOf(list)) {
  SetTag(this, QString::number(member_.page_title));
  lblTitle = NamedControl<QLabel>(this, "lblTitle", member_.page_title);
  MakeTitle(lblTitle);
  lblText = NamedControl<QLabel>(this, "lblText", member_.page_text);
  lblText->setWordWrap(true);
  imgLogo = MakeLogo(this);
  list_ = NamedControl<QListWidget>(this, member_.list_box);
  list_->setSortingEnabled(true);
  lblTitle->setBuddy(list_);  // the list's name for an accessibility client
  cmdAdd = NamedControl<QPushButton>(this, "cmdAdd", 1202);
  cmdEdit = NamedControl<QPushButton>(this, "cmdEdit", 1203);
  cmdDelete = NamedControl<QPushButton>(this, "cmdDelete", 1204);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  connect(cmdAdd, &QPushButton::clicked, this, &IgnoreListPage::cmdAdd_Click);
  connect(cmdEdit, &QPushButton::clicked, this, &IgnoreListPage::cmdEdit_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &IgnoreListPage::cmdDelete_Click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle, lblText}, imgLogo));
  layout->addLayout(ListWithButtons(list_, {cmdAdd, cmdEdit, cmdDelete}), 1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

std::vector<std::string> IgnoreListPage::Entries() const {
  std::vector<std::string> rows;
  for (int i = 0; i < list_->count(); ++i) rows.push_back(ToAnsi(list_->item(i)->text()));
  return rows;
}

void IgnoreListPage::AddEntry(const std::string& entry) { list_->addItem(FromAnsi(entry)); }

void IgnoreListPage::Form_Activate() {
  ActivateSkeleton();
  // A list that holds rows keeps the visit's unsaved changes.
  if (list_->count() == 0) {
    list_->clear();
    std::vector<std::string> entries;
    LoadIgnoreList(member_.list, &entries);
    for (const std::string& e : entries) list_->addItem(FromAnsi(e));
  }
  SetListExtent(list_);
  Status(kTextReady);
}

void IgnoreListPage::cmdAdd_Click() {
  IgnoreEntryDialog* dialog = member_.dialog(this);
  if (!dialog) return;
  dialog->txtIndex->clear();
  ShowPage(dialog);
}

void IgnoreListPage::cmdEdit_Click() {
  const int position = ListIndex(list_);
  if (position < 0) return;
  IgnoreEntryDialog* dialog = member_.dialog(this);
  if (!dialog) return;
  dialog->txtIgnore->setText(list_->item(position)->text());
  dialog->txtIndex->setText(QString::number(position));
  ShowPage(dialog);
}

void IgnoreListPage::cmdDelete_Click() {
  const int position = ListIndex(list_);
  if (position < 0) return;
  RemoveListItem(list_, position);
}

void IgnoreListPage::cmdOK_Click() {
  const std::vector<std::string> rows = Entries();
  // A failure is shown by the writer; the list stays for another OK.
  if (SaveIgnoreList(member_.list, rows) != kSaveOk) return;
  if (rows.empty()) return;  // the file is gone; nothing to report
  SetListIndex(list_, list_->count() - 1);
  Status(kTextActionSuccessful);
}

void IgnoreListPage::cmdCancel_Click() {
  list_->clear();
  Form_Activate();
  Status(kTextActionCancelled);
}

frmIDsToIgnore::frmIDsToIgnore(QWidget* parent)
    : IgnoreListPage(IgnoreList::kIds, parent), lstIDsToIgnore(list_) {}

frmProgsToIgnore::frmProgsToIgnore(QWidget* parent)
    : IgnoreListPage(IgnoreList::kProgs, parent), lstProgsToIgnore(list_) {}

frmTransToIgnore::frmTransToIgnore(QWidget* parent)
    : IgnoreListPage(IgnoreList::kTrans, parent), lstTransToIgnore(list_) {}

}  // namespace zmo::config
