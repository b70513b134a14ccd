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
#include "mdi.h"
#include "navigation.h"
#include "zmoconfig/exclusions.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

using zmo::IgnoreList;

const IgnoreMember kMembers[] = {
    {IgnoreList::kIds, "frmIDsToIgnore", "lstIDsToIgnore", 1326, 1327, "frmAddID", 1305, 1305,
     "lblUserID", 1306, 0},
    {IgnoreList::kProgs, "frmProgsToIgnore", "lstProgsToIgnore", 1307, 1333, "frmAddProg", 1307,
     1307, "lblProgramToExlude", 1308, 0},
    {IgnoreList::kTrans, "frmTransToIgnore", "lstTransToIgnore", 1367, 1368, "frmAddTrans", 1319, 0,
     "lblTransToExclude", 1320, 20},
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

  auto* side = new QVBoxLayout;
  side->addWidget(cmdAdd);
  side->addWidget(cmdEdit);
  side->addWidget(cmdDelete);
  side->addStretch(1);
  auto* body = new QHBoxLayout;
  body->addWidget(list_, 1);
  body->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle, lblText}, imgLogo));
  layout->addLayout(body, 1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
  resize(Twips(5884), Twips(4995));
}

std::vector<std::string> IgnoreListPage::Rows() const {
  std::vector<std::string> rows;
  for (int i = 0; i < list_->count(); ++i) rows.push_back(ToAnsi(list_->item(i)->text()));
  return rows;
}

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
  auto* dialog = qobject_cast<IgnoreEntryDialog*>(PageByName(QLatin1String(member_.dialog)));
  if (!dialog) return;
  dialog->txtIndex->clear();
  ShowPageNamed(member_.dialog);
}

void IgnoreListPage::cmdEdit_Click() {
  const int position = ListIndex(list_);
  if (position < 0) return;
  auto* dialog = qobject_cast<IgnoreEntryDialog*>(PageByName(QLatin1String(member_.dialog)));
  if (!dialog) return;
  dialog->txtIgnore->setText(list_->item(position)->text());
  dialog->txtIndex->setText(QString::number(position));
  ShowPageNamed(member_.dialog);
}

void IgnoreListPage::cmdDelete_Click() {
  const int position = ListIndex(list_);
  if (position < 0) return;
  RemoveListItem(list_, position);
}

void IgnoreListPage::cmdOK_Click() {
  const std::vector<std::string> rows = Rows();
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
