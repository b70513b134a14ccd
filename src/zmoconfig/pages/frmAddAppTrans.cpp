#include "frmAddAppTrans.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "catalog_text.h"
#include "code_question.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/groups.h"

namespace zmo::config {

frmAddAppTrans::frmAddAppTrans(QWidget* parent) : PageForm("frmAddAppTrans", parent) {
  SetTag(this, "1303");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1303);
  MakeTitle(lblTitle);
  lblInstructions = NamedControl<QLabel>(this, "lblInstructions", 1304);
  lblInstructions->setWordWrap(true);
  txtTransaction = NamedControl<QLineEdit>(this, "txtTransaction");
  lblTitle->setBuddy(txtTransaction);  // the box's name for an accessibility client
  txtIndex = NamedControl<QLineEdit>(this, "txtIndex");
  txtIndex->setVisible(false);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  WireOkCancel(cmdOK, cmdCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblInstructions);
  layout->addWidget(txtTransaction);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

bool frmAddAppTrans::DuplicateFound(const std::string& AppGroup, const std::string& AppTrans) {
  return zmo::config::DuplicateFound(AppGroup, AppTrans);
}

void frmAddAppTrans::Form_Activate() {
  ActivateDialog();
  txtTransaction->setFocus();
}

void frmAddAppTrans::cmdOK_Click() {
  auto* page = OwnerAs<GroupCodesOwner>();
  const std::string group = page ? page->SelectedGroup() : std::string();
  const bool editing = !txtIndex->text().isEmpty();
  std::vector<std::string> codes;
  const int result = SplitGroupCodes(ToAnsi(txtTransaction->text()), editing, &codes);
  if (result != 0) {
    Refuse(result, txtTransaction);
    return;
  }
  if (!group.empty() && editing) {
    bool ok = false;
    const int position = txtIndex->text().toInt(&ok);
    QListWidget* list = page->CodeList();
    if (ok && position >= 0 && position < list->count() && codes.size() == 1) {
      const std::string old_code = ToAnsi(list->item(position)->text());
      const std::vector<std::string> held = GroupCodes(group);
      const bool found = std::find(held.begin(), held.end(), old_code) != held.end();
      if (found && !DuplicateFound(group, codes[0]) && AcceptCode(codes[0]))
        ReplaceGroupCode(group, old_code, codes[0]);
    }
  } else if (!group.empty()) {
    // Codes the group holds, also earlier ones of this text, are skipped.
    for (const std::string& code : codes) {
      if (!DuplicateFound(group, code) && AcceptCode(code)) AddGroupCode(group, code);
    }
  }
  txtTransaction->clear();
  txtIndex->clear();
  ReturnToOwner();  // the page's activation shows the group's codes again
}

void frmAddAppTrans::cmdCancel_Click() {
  ReturnToOwner();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
