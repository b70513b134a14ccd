#include "frmTransGroup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/file_save.h"
#include "zmoconfig/groups.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_rules.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

// The hourglass for the length of a handler.
class Hourglass {
 public:
  Hourglass() { Ui().SetHourglass(true); }
  ~Hourglass() { Ui().SetHourglass(false); }
  Hourglass(const Hourglass&) = delete;
  Hourglass& operator=(const Hourglass&) = delete;
};

}  // namespace

frmTransGroup::frmTransGroup(QWidget* parent) : PageForm("frmTransGroup", parent) {
  SetTag(this, "1119");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1119);
  MakeTitle(lblTitle);
  frameApplication = NamedControl<QGroupBox>(this, "frameApplication", 1364);
  cmbTransGroup = NamedControl<QComboBox>(frameApplication, "cmbTransGroup");
  cmbTransGroup->setEditable(true);
  cmbTransGroup->setInsertPolicy(QComboBox::NoInsert);
  cmbTransGroup->setCompleter(nullptr);
  lblSeconds = NamedControl<QLabel>(frameApplication, "lblSeconds", 1365);
  txtSeconds = NamedControl<QLineEdit>(frameApplication, "txtSeconds");
  SetMaxLength(txtSeconds, 5);
  SetTag(txtSeconds, "CLEAR");
  lblSeconds->setBuddy(txtSeconds);
  cmdAppAdd = NamedControl<QPushButton>(frameApplication, "cmdAppAdd", 1205);
  cmdAppEdit = NamedControl<QPushButton>(frameApplication, "cmdAppEdit", 1206);
  cmdAppDelete = NamedControl<QPushButton>(frameApplication, "cmdAppDelete", 1207);
  frameTransactions = NamedControl<QGroupBox>(this, "frameTransactions", 1366);
  lstGroupMembers = NamedControl<QListWidget>(frameTransactions, "lstGroupMembers");
  cmdTxAdd = NamedControl<QPushButton>(frameTransactions, "cmdTxAdd", 1208);
  cmdTxEdit = NamedControl<QPushButton>(frameTransactions, "cmdTxEdit", 1203);
  cmdTxDelete = NamedControl<QPushButton>(frameTransactions, "cmdTxDelete", 1204);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);

  connect(cmbTransGroup, &QComboBox::editTextChanged, this, &frmTransGroup::cmbTransGroup_Change);
  connect(Click(cmbTransGroup), &ClickRelay::Click, this, &frmTransGroup::cmbTransGroup_Click);
  connect(cmdAppAdd, &QPushButton::clicked, this, &frmTransGroup::cmdAppAdd_Click);
  connect(cmdAppEdit, &QPushButton::clicked, this, &frmTransGroup::cmdAppEdit_Click);
  connect(cmdAppDelete, &QPushButton::clicked, this, &frmTransGroup::cmdAppDelete_Click);
  connect(cmdTxAdd, &QPushButton::clicked, this, &frmTransGroup::cmdTxAdd_Click);
  connect(cmdTxEdit, &QPushButton::clicked, this, &frmTransGroup::cmdTxEdit_Click);
  connect(cmdTxDelete, &QPushButton::clicked, this, &frmTransGroup::cmdTxDelete_Click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* app = new QGridLayout(frameApplication);
  app->addWidget(cmbTransGroup, 0, 0, 1, 2);
  app->addWidget(lblSeconds, 1, 0);
  app->addWidget(txtSeconds, 1, 1);
  app->setColumnStretch(1, 1);
  auto* app_buttons = new QVBoxLayout;
  app_buttons->addWidget(cmdAppAdd);
  app_buttons->addWidget(cmdAppEdit);
  app_buttons->addWidget(cmdAppDelete);
  app->addLayout(app_buttons, 0, 2, 3, 1);
  frameTransactions->setLayout(
      ListWithButtons(lstGroupMembers, {cmdTxAdd, cmdTxEdit, cmdTxDelete}));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(frameApplication);
  layout->addWidget(frameTransactions, 1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
}

bool frmTransGroup::CheckForDups(const QString& NewAppName) const {
  return GroupNameFree(ToAnsi(NewAppName), 0);
}

std::string frmTransGroup::SelectedGroup() const {
  if (selected_row_ < 1 || selected_row_ > gAppGroupCount ||
      selected_row_ >= static_cast<int>(gAppGroups.size())) {
    return std::string();
  }
  return Trimmed(gAppGroups[selected_row_][1]);
}

int frmTransGroup::ListPosition() const {
  const int index = cmbTransGroup->currentIndex();
  if (index < 0 || cmbTransGroup->itemText(index) != cmbTransGroup->currentText()) return -1;
  return index;
}

void frmTransGroup::EnableMembers(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{frameTransactions, lstGroupMembers, cmdTxAdd,
                                                    cmdTxEdit, cmdTxDelete}) {
    w->setEnabled(on);
  }
}

void frmTransGroup::Form_Activate() {
  ActivateSkeleton();
  if (cmbTransGroup->count() == 0) {
    const QSignalBlocker quiet(cmbTransGroup);
    for (int row = 1; row <= gAppGroupCount && row < static_cast<int>(gAppGroups.size()); ++row)
      cmbTransGroup->addItem(FromAnsi(Trimmed(gAppGroups[row][1])));
    cmbTransGroup->setCurrentIndex(-1);
  }
  // The tables hold the visit's changes: they are read again only by OK and
  // Cancel, never behind a combo that lists unsaved groups.
  if (selected_row_ >= 1 && selected_row_ <= cmbTransGroup->count()) {
    SetListIndex(cmbTransGroup, selected_row_ - 1);
  } else {
    selected_row_ = 0;
    lstGroupMembers->clear();
    txtSeconds->clear();
    EnableMembers(false);
  }
  Status(kTextReady);
}

void frmTransGroup::cmbTransGroup_Click() {
  const int row = cmbTransGroup->currentIndex() + 1;
  if (row < 1 || row > gAppGroupCount) return;
  Hourglass busy;
  // Each level is shown from its own milliseconds.
  txtSeconds->setText(FromAnsi(LevelShown(gAppGroups[row][2], GetRegValue(zmo::cfg::kNotation))));
  lstGroupMembers->clear();
  for (const std::string& code : GroupCodes(gAppGroups[row][1]))
    lstGroupMembers->addItem(FromAnsi(code));
  SetListExtent(lstGroupMembers);
  selected_row_ = row;
  EnableMembers(true);
}

void frmTransGroup::cmbTransGroup_Change() {
  if (selected_row_ == 0 || cmbTransGroup->count() == 0) return;
  // The codes shown belong to the group last clicked, not to a name typed.
  EnableMembers(Trimmed(ToAnsi(cmbTransGroup->currentText())) == SelectedGroup());
}

void frmTransGroup::cmdAppAdd_Click() {
  const std::string typed = Trimmed(ToAnsi(cmbTransGroup->currentText()));
  const std::string old = cmbTransGroup->count() > 0 ? SelectedGroup() : std::string();
  if (typed.empty() || typed == old) {
    auto* dialog = DialogOf<frmAddApplication>();
    if (!dialog) return;
    dialog->txtIndex->clear();
    ShowPage(dialog);
    return;
  }
  // A new name typed over a clicked group: a new group with the seconds
  // shown, starting with a copy of the clicked group's codes.
  int result = 0;
  {
    Hourglass busy;
    result = AddGroupDirect(typed, ToAnsi(txtSeconds->text()), old);
  }
  if (result == kGroupNothing) return;
  if (result == kTextSlaSeconds) {
    Refuse(result, txtSeconds);
    return;
  }
  if (result != 0) {
    Refuse(result);
    return;
  }
  {
    const QSignalBlocker quiet(cmbTransGroup);
    cmbTransGroup->addItem(FromAnsi(typed));
  }
  SetListIndex(cmbTransGroup, cmbTransGroup->count() - 1);
}

void frmTransGroup::cmdAppEdit_Click() {
  if (cmbTransGroup->currentText().isEmpty()) return;
  auto* dialog = DialogOf<frmAddApplication>();
  if (!dialog) return;
  const int position = ListPosition();
  dialog->txtTransGroup->setText(cmbTransGroup->currentText());
  dialog->txtSeconds->setText(txtSeconds->text());
  dialog->txtIndex->setText(position >= 0 ? QString::number(position) : QString());
  ShowPage(dialog);
}

void frmTransGroup::AppGroupStored(int row, const QString& name) {
  {
    const QSignalBlocker quiet(cmbTransGroup);
    if (row > cmbTransGroup->count()) {
      cmbTransGroup->addItem(name);
    } else {
      cmbTransGroup->setItemText(row - 1, name);  // a rename shows at once
    }
  }
  SetListIndex(cmbTransGroup, row - 1);
}

void frmTransGroup::AppGroupEditCancelled(int position) {
  if (position >= 0 && position < cmbTransGroup->count()) SetListIndex(cmbTransGroup, position);
}

void frmTransGroup::cmdAppDelete_Click() {
  const int position = ListPosition();
  if (position < 0) return;
  Hourglass busy;
  DeleteGroup(position);
  {
    const QSignalBlocker quiet(cmbTransGroup);
    cmbTransGroup->removeItem(position);
    cmbTransGroup->setCurrentIndex(-1);
    cmbTransGroup->clearEditText();
  }
  lstGroupMembers->clear();
  txtSeconds->clear();
  selected_row_ = 0;
  EnableMembers(false);
}

void frmTransGroup::cmdTxAdd_Click() {
  auto* dialog = DialogOf<frmAddAppTrans>();
  if (!dialog || SelectedGroup().empty()) return;
  dialog->txtIndex->clear();
  ShowPage(dialog);
}

void frmTransGroup::cmdTxEdit_Click() {
  const int position = ListIndex(lstGroupMembers);
  auto* dialog = DialogOf<frmAddAppTrans>();
  if (position < 0 || !dialog) return;
  dialog->txtIndex->setText(QString::number(position));
  dialog->txtTransaction->setText(lstGroupMembers->item(position)->text());
  ShowPage(dialog);
}

void frmTransGroup::cmdTxDelete_Click() {
  const int position = ListIndex(lstGroupMembers);
  if (position < 0) return;
  Hourglass busy;
  DeleteGroupCode(SelectedGroup(), ToAnsi(lstGroupMembers->item(position)->text()));
  RemoveListItem(lstGroupMembers, position);
}

void frmTransGroup::Reload() {
  {
    const QSignalBlocker quiet(cmbTransGroup);
    cmbTransGroup->clear();
  }
  lstGroupMembers->clear();
  txtSeconds->clear();
  LoadAppGroups();
  LoadTransGroups();
  selected_row_ = 0;
  Form_Activate();
}

void frmTransGroup::cmdOK_Click() {
  // A failure is shown by the writer; the tables stay for another OK.
  if (SaveGroupFiles() != kSaveOk) return;
  Reload();
}

void frmTransGroup::cmdCancel_Click() {
  ForgetGroupRenames();
  Reload();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
