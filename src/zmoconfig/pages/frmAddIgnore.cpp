#include "frmAddIgnore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "code_question.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/exclusions.h"
#include "zmoconfig/text_rules.h"

namespace zmo::config {

using zmo::IgnoreList;

namespace {

const IgnoreDialogMember kMembers[] = {
    {IgnoreList::kIds, "frmAddID", 1305, 1305, "lblUserID", 1306, 0},
    {IgnoreList::kProgs, "frmAddProg", 1307, 1307, "lblProgramToExlude", 1308, 0},
    {IgnoreList::kTrans, "frmAddTrans", 1319, 0, "lblTransToExclude", 1320, 20},
};

const IgnoreDialogMember& MemberOf(IgnoreList list) {
  for (const IgnoreDialogMember& m : kMembers) {
    if (m.list == list) return m;
  }
  return kMembers[0];
}

}  // namespace

IgnoreEntryDialog::IgnoreEntryDialog(IgnoreList list, QWidget* parent)
    : PageForm(MemberOf(list).dialog, parent), member_(MemberOf(list)) {
  SetTag(this, QString::number(member_.dialog_caption));
  // A dialog without a title of its own shows its caption there: beside the
  // tree it has no title bar.
  lblTitle = NamedControl<QLabel>(
      this, "lblTitle", member_.dialog_title ? member_.dialog_title : member_.dialog_caption);
  MakeTitle(lblTitle);
  imgLogo = MakeLogo(this);
  entry_label_ = NamedControl<QLabel>(this, member_.entry_label, member_.entry_label_id);
  txtIgnore = NamedControl<QLineEdit>(this, "txtIgnore");
  if (member_.max_length > 0) SetMaxLength(txtIgnore, member_.max_length);
  entry_label_->setBuddy(txtIgnore);
  txtIndex = NamedControl<QLineEdit>(this, "txtIndex");
  txtIndex->setVisible(false);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle, entry_label_, txtIgnore}, imgLogo));
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

void IgnoreEntryDialog::Form_Activate() {
  ActivateDialog();
  txtIgnore->setFocus();
}

void IgnoreEntryDialog::cmdOK_Click() {
  auto* page = OwnerAs<EditedList>();
  if (!page) return;
  txtIgnore->setText(FromAnsi(UpperText(ToAnsi(txtIgnore->text()))));
  std::string row;
  const int checked =
      CheckIgnoreEntry(member_.list, ToAnsi(txtIgnore->text()), page->Entries(), &row);
  if (checked == kIgnoreEmptyEntry) return;
  if (checked != 0) {
    Refuse(checked, txtIgnore);
    return;
  }
  if (IgnoreEntryNeedsQuestion(member_.list, row) && !AskAddNonStandardCode(row)) {
    SelectText(txtIgnore);
    return;
  }
  PutEntry(page, txtIndex, row);
  Close();
}

void IgnoreEntryDialog::cmdCancel_Click() {
  Close();
  Status(kTextActionCancelled);
}

void IgnoreEntryDialog::Close() {
  ReturnToOwner();
  if (auto* page = OwnerAs<EditedList>()) page->List()->setFocus();
}

frmAddID::frmAddID(QWidget* parent)
    : IgnoreEntryDialog(IgnoreList::kIds, parent), lblUserID(entry_label_) {}

frmAddProg::frmAddProg(QWidget* parent)
    : IgnoreEntryDialog(IgnoreList::kProgs, parent), lblProgramToExlude(entry_label_) {}

frmAddTrans::frmAddTrans(QWidget* parent)
    : IgnoreEntryDialog(IgnoreList::kTrans, parent), lblTransToExclude(entry_label_) {}

}  // namespace zmo::config
