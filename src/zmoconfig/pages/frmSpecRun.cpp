#include "frmSpecRun.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "MDIMainForm.h"
#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/loaders.h"
#include "zmoconfig/special_run.h"
#include "zmoconfig/text_ids.h"

namespace zmo::config {

namespace {

QLineEdit* FieldBox(QWidget* parent, const char* name, int max_length) {
  auto* box = NamedControl<QLineEdit>(parent, name);
  SetMaxLength(box, max_length);
  SetTag(box, "CLEAR");
  FitDigits(box, max_length);
  return box;
}

// Hands every key pressed in a box to the page's KeyDown first.
class KeyDownRelay : public QObject {
 public:
  KeyDownRelay(QLineEdit* box, std::function<void()> key_down)
      : QObject(box), key_down_(std::move(key_down)) {
    box->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) key_down_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> key_down_;
};

// The main window stays disabled while the launcher works.
class MainWindowDisabled {
 public:
  MainWindowDisabled() : main_(MainForm()) {
    if (main_) main_->setEnabled(false);
  }
  ~MainWindowDisabled() {
    if (main_) main_->setEnabled(true);
  }
  MainWindowDisabled(const MainWindowDisabled&) = delete;
  MainWindowDisabled& operator=(const MainWindowDisabled&) = delete;

 private:
  QPointer<MDIMainForm> main_;
};

}  // namespace

frmSpecRun::frmSpecRun(QWidget* parent) : PageForm("frmSpecRun", parent) {
  SetTag(this, "1136");
  imgLogo = MakeLogo(this);
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1136);
  MakeTitle(lblTitle);
  lblStartDate = NamedControl<QLabel>(this, "lblStartDate", 1355);
  txtStartDate = FieldBox(this, "txtStartDate", 8);
  lblStartTime = NamedControl<QLabel>(this, "lblStartTime", 1356);
  txtStartTime = FieldBox(this, "txtStartTime", 6);
  lblEndDate = NamedControl<QLabel>(this, "lblEndDate", 1357);
  txtEndDate = FieldBox(this, "txtEndDate", 8);
  lblEndTime = NamedControl<QLabel>(this, "lblEndTime", 1358);
  txtEndTime = FieldBox(this, "txtEndTime", 6);
  lblServerSelection = NamedControl<QLabel>(this, "lblServerSelection", 1359);
  lstServers = NamedControl<QListWidget>(this, "lstServers");
  lblSelectedServers = NamedControl<QLabel>(this, "lblSelectedServers", 1360);
  lstSvrsToAgg = NamedControl<QListWidget>(this, "lstSvrsToAgg");
  cmdAddSvr = NamedControl<QPushButton>(this, "cmdAddSvr");
  cmdAddSvr->setText(QStringLiteral("&>"));
  cmdAddAllSvrs = NamedControl<QPushButton>(this, "cmdAddAllSvrs");
  cmdAddAllSvrs->setText(QStringLiteral(">>"));
  cmdRemoveSvr = NamedControl<QPushButton>(this, "cmdRemoveSvr");
  cmdRemoveSvr->setText(QStringLiteral("<"));
  cmdRemoveAllSvrs = NamedControl<QPushButton>(this, "cmdRemoveAllSvrs");
  cmdRemoveAllSvrs->setText(QStringLiteral("<<"));
  lblStatus = NamedControl<QLabel>(this, "lblStatus");
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);
  const std::pair<QLabel*, QWidget*> buddies[] = {
      {lblStartDate, txtStartDate},     {lblStartTime, txtStartTime},
      {lblEndDate, txtEndDate},         {lblEndTime, txtEndTime},
      {lblServerSelection, lstServers}, {lblSelectedServers, lstSvrsToAgg},
  };
  for (const auto& [label, control] : buddies) label->setBuddy(control);

  for (QLineEdit* box : {txtStartDate, txtStartTime, txtEndDate, txtEndTime}) {
    new KeyDownRelay(box, [this, box] { txtField_KeyDown(box); });
    // Entering a box selects its whole text; the start date only while the
    // page is shown.
    connect(
        GotFocus(box), &ClickRelay::Click, box,
        [this, box] {
          if (box != txtStartDate || isVisible()) box->selectAll();
        },
        Qt::QueuedConnection);
  }
  connect(cmdAddSvr, &QPushButton::clicked, this, &frmSpecRun::cmdAddSvr_Click);
  connect(cmdAddAllSvrs, &QPushButton::clicked, this, &frmSpecRun::cmdAddAllSvrs_Click);
  connect(cmdRemoveSvr, &QPushButton::clicked, this, &frmSpecRun::cmdRemoveSvr_Click);
  connect(cmdRemoveAllSvrs, &QPushButton::clicked, this, &frmSpecRun::cmdRemoveAllSvrs_Click);
  connect(lstServers, &QListWidget::itemDoubleClicked, this, &frmSpecRun::lstServers_DblClick);
  connect(lstSvrsToAgg, &QListWidget::itemDoubleClicked, this, &frmSpecRun::lstSvrsToAgg_DblClick);
  WireOkCancel(cmdOK, cmdCancel);

  auto* window = new QGridLayout;
  // Each caption above its box, so the captions keep their whole text.
  window->addWidget(lblStartDate, 0, 0);
  window->addWidget(lblStartTime, 0, 1);
  window->addWidget(txtStartDate, 1, 0);
  window->addWidget(txtStartTime, 1, 1);
  window->addWidget(lblEndDate, 2, 0);
  window->addWidget(lblEndTime, 2, 1);
  window->addWidget(txtEndDate, 3, 0);
  window->addWidget(txtEndTime, 3, 1);
  window->setColumnStretch(2, 1);
  window->setHorizontalSpacing(16);
  auto* moves = new QVBoxLayout;
  moves->addStretch(1);
  for (QPushButton* button : {cmdAddSvr, cmdAddAllSvrs, cmdRemoveSvr, cmdRemoveAllSvrs}) {
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<<<<<")));
    moves->addWidget(button);
  }
  moves->addStretch(1);
  auto* lists = new QGridLayout;
  lists->addWidget(lblServerSelection, 0, 0);
  lists->addWidget(lblSelectedServers, 0, 2);
  lists->addWidget(lstServers, 1, 0);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(lstSvrsToAgg, 1, 2);
  lists->setColumnStretch(0, 1);
  lists->setColumnStretch(2, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblStatus, 1);
  bottom->addLayout(OkCancelRow(cmdOK, cmdCancel));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TitleRow(lblTitle, imgLogo));
  layout->addLayout(window);
  layout->addLayout(lists, 1);
  layout->addLayout(bottom);
}

SpecRunFields frmSpecRun::Fields() const {
  SpecRunFields f;
  f.start_date = ToAnsi(txtStartDate->text());
  f.start_time = ToAnsi(txtStartTime->text());
  f.end_date = ToAnsi(txtEndDate->text());
  f.end_time = ToAnsi(txtEndTime->text());
  return f;
}

std::vector<std::string> frmSpecRun::Selected() const {
  std::vector<std::string> items;
  for (int i = 0; i < lstSvrsToAgg->count(); ++i)
    items.push_back(ToAnsi(lstSvrsToAgg->item(i)->text()));
  return items;
}

void frmSpecRun::LoadServers() {
  ServerLists lists;
  std::vector<ServerRow> rows;
  // The page's own copy of the file RunSpecialRun copies from: the unsaved
  // rows of the servers page are no servers of the file yet.
  if (LoadServerFileCopy(FormName(), Selected(), &lists, &rows) != kServerLoadOk) return;
  lstServers->clear();
  for (const std::string& item : lists.specRunServers) lstServers->addItem(FromAnsi(item));
}

void frmSpecRun::Form_Activate() {
  LocalizeForm(this);
  LoadServers();
  HideOtherForms(this);
  PlaceChildForm(this);
  SetListExtent(lstServers);
  Status(kTextReady);
}

QWidget* frmSpecRun::NextAfter(QLineEdit* box) const {
  if (box == txtStartDate) return txtStartTime;
  if (box == txtStartTime) return txtEndDate;
  if (box == txtEndDate) return txtEndTime;
  if (box == txtEndTime) return lstServers;
  return nullptr;
}

void frmSpecRun::txtField_KeyDown(QLineEdit* box) {
  QWidget* next = NextAfter(box);
  if (!next || box->text().size() != MaxLength(box) - 1) return;
  // The key still reaches its box first; the focus moves afterwards.
  QTimer::singleShot(0, next, [next] { next->setFocus(Qt::TabFocusReason); });
}

bool frmSpecRun::MoveItem(QListWidget* from, QListWidget* to) {
  // Only a picked server moves: the row the focus alone made current is
  // none, and after a move nothing is picked.
  const int row = ListIndex(from);
  if (row < 0) return false;
  to->addItem(from->item(row)->text());
  RemoveListItem(from, row);
  return true;
}

void frmSpecRun::MoveAll(QListWidget* from, QListWidget* to) {
  for (int i = 0; i < from->count(); ++i) to->addItem(from->item(i)->text());
  from->clear();
}

void frmSpecRun::cmdAddSvr_Click() {
  if (MoveItem(lstServers, lstSvrsToAgg)) SetListExtent(lstSvrsToAgg);
}

void frmSpecRun::lstServers_DblClick() { MoveItem(lstServers, lstSvrsToAgg); }

void frmSpecRun::cmdRemoveSvr_Click() {
  if (MoveItem(lstSvrsToAgg, lstServers)) SetListExtent(lstServers);
}

void frmSpecRun::lstSvrsToAgg_DblClick() { MoveItem(lstSvrsToAgg, lstServers); }

void frmSpecRun::cmdAddAllSvrs_Click() { MoveAll(lstServers, lstSvrsToAgg); }

void frmSpecRun::cmdRemoveAllSvrs_Click() { MoveAll(lstSvrsToAgg, lstServers); }

void frmSpecRun::ShowRunStatus(int id) { lblStatus->setText(CatalogText(id)); }

bool frmSpecRun::CheckSpecRun() {
  SpecRunBox box = SpecRunBox::kNone;
  const int result = zmo::config::CheckSpecRun(Fields(), lstSvrsToAgg->count(), &box);
  if (result != 0) {
    Ui().MsgBox(CatalogText(result), MsgButtons::Ok);
    QLineEdit* field = nullptr;
    switch (box) {
      case SpecRunBox::kNone:
        break;
      case SpecRunBox::kStartDate:
        field = txtStartDate;
        break;
      case SpecRunBox::kStartTime:
        field = txtStartTime;
        break;
      case SpecRunBox::kEndDate:
        field = txtEndDate;
        break;
      case SpecRunBox::kEndTime:
        field = txtEndTime;
        break;
    }
    if (field) SelectText(field);
    return false;
  }
  ShowRunStatus(kTextRunRunning);
  return true;
}

void frmSpecRun::cmdOK_Click() {
  Status(kTextReady);
  // A collector's or the loader's window, or the collector's service at
  // work: a second collection now would compete for the same files.
  if (SpecialRunBlocked()) {
    ShowMessage(kTextSpecialRunRunning);
    return;
  }
  ShowRunStatus(kTextRunRunning);
  if (!CheckSpecRun()) {
    ShowRunStatus(kTextRunError);
    Status(kTextActionFailed);
    return;
  }
  int result = kSpecRunNotStarted;
  {
    const MainWindowDisabled disabled;
    result = RunSpecialRun(Selected(), Fields());
  }
  // "Submitted" only when a collector was started; the launcher has shown
  // why not otherwise.
  if (result != kSpecRunStarted) {
    ShowRunStatus(kTextRunError);
    Status(kTextActionFailed);
    return;
  }
  ShowRunStatus(kTextRunSubmitted);
  Status(kTextReady);  // not the server file's loading text of the launcher
}

void frmSpecRun::cmdCancel_Click() {
  lstServers->clear();
  lstSvrsToAgg->clear();
  for (QLineEdit* box : {txtStartDate, txtStartTime, txtEndDate, txtEndTime}) box->clear();
  LoadServers();
  Status(kTextActionCancelled);
}

}  // namespace zmo::config
