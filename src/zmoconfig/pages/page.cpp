#include "page.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "MDIMainForm.h"
#include "artwork.h"
#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "mdi.h"
#include "navigation.h"
#include "ui_services.h"

namespace zmo::config {

FormBase* PageOfKind(const QMetaObject& kind, FormBase* (*make)()) {
  MDIMainForm* main = MainForm();
  return main ? main->PageOfKind(kind, make) : nullptr;
}

void ShowPage(FormBase* page) {
  if (MDIMainForm* main = MainForm()) main->ShowPage(page);
}

PageForm::PageForm(const char* name, QWidget* parent) : FormBase(parent) {
  setObjectName(QLatin1String(name));
  ResizeToDesign();
}

std::string PageForm::FormName() const { return objectName().toStdString(); }

void PageForm::ResizeToDesign() { resize(Twips(kPageWidth), Twips(kPageHeight)); }

void PageForm::ReturnToOwner() {
  Unload();
  ShowPage(owner_);
}

void PageForm::cmdCancel_LostFocus() { FocusTree(); }

void PageForm::ActivateSkeleton() {
  LocalizeForm(this);
  ClearTaggedControls(this);
  HideOtherForms(this);
  PlaceChildForm(this);
}

void PageForm::ActivateDialog() {
  LocalizeForm(this);
  HideOtherForms(this);
  PlaceChildForm(this);
}

void PageForm::Status(int id) { Ui().SetStatusLine(CatalogText(id)); }

void PageForm::ShowMessage(int id) { Ui().MsgBox(CatalogText(id), MsgButtons::Ok); }

void PageForm::Refuse(const QString& text, QLineEdit* box) {
  Ui().MsgBox(text, MsgButtons::Ok);
  Status(kTextActionFailed);
  if (box) SelectText(box);
}

void PageForm::Refuse(int id, QLineEdit* box) { Refuse(CatalogText(id), box); }

void PageForm::WireOkCancel(QPushButton* ok, QPushButton* cancel) {
  connect(ok, &QPushButton::clicked, this, &PageForm::cmdOK_Click);
  connect(cancel, &QPushButton::clicked, this, &PageForm::cmdCancel_Click);
  // Queued: the focus moves on only after the move that left Cancel is done.
  connect(LostFocus(cancel), &ClickRelay::Click, this, &PageForm::cmdCancel_LostFocus,
          Qt::QueuedConnection);
  SetKeyPreview(true);
}

void PageForm::Form_KeyDown(int& KeyCode, int Shift) {
  (void)Shift;
  if (KeyCode == kKeyReturn) {
    KeyCode = 0;
    cmdOK_Click();
  } else if (KeyCode == kKeyEscape) {
    KeyCode = 0;
    cmdCancel_Click();
  }
}

void PutEntry(EditedList* page, QLineEdit* index, const std::string& entry) {
  if (!index->text().isEmpty()) {
    // The row being edited is the one index names; the page is hidden
    // meanwhile, so it is still there.
    QListWidget* list = page->List();
    bool ok = false;
    const int row = index->text().toInt(&ok);
    if (ok && row >= 0 && row < list->count()) RemoveListItem(list, row);
    index->clear();
  }
  page->AddEntry(entry);
}

void NameControl(QObject* control, const char* name, int id) {
  control->setObjectName(QLatin1String(name));
  if (id) SetTag(control, QString::number(id));
}

void MakeTitle(QLabel* label) {
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
}

QLabel* MakeLogo(QWidget* form) {
  auto* logo = NamedControl<QLabel>(form, "imgLogo");
  SetTypeName(logo, "PictureBox");
  logo->setPixmap(LogoArt());
  logo->setFixedSize(kLogoSize, kLogoSize);
  return logo;
}

QHBoxLayout* OkCancelRow(QPushButton* ok, QPushButton* cancel) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

int SetListExtent(QListWidget* list) {
  int longest = -1;
  qsizetype longest_length = 0;
  for (int i = 0; i < list->count(); ++i) {
    const qsizetype length = list->item(i)->text().size();
    if (length > longest_length) {
      longest_length = length;
      longest = i;
    }
  }
  int extent = 0;
  if (longest >= 0) extent = list->fontMetrics().horizontalAdvance(list->item(longest)->text());
  list->setProperty("HorizontalExtent", extent);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  return extent;
}

QHBoxLayout* ListWithButtons(QWidget* list, std::initializer_list<QPushButton*> buttons) {
  auto* side = new QVBoxLayout;
  for (QPushButton* button : buttons) side->addWidget(button);
  side->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addWidget(list, 1);
  row->addLayout(side);
  return row;
}

QHBoxLayout* TitleRow(QLabel* title, QLabel* logo) {
  auto* row = new QHBoxLayout;
  row->addWidget(title, 1, Qt::AlignBottom);
  row->addWidget(logo);
  return row;
}

QHBoxLayout* TextsBesideLogo(std::initializer_list<QWidget*> texts, QLabel* logo) {
  auto* column = new QVBoxLayout;
  for (QWidget* text : texts) column->addWidget(text);
  auto* row = new QHBoxLayout;
  row->addLayout(column, 1);
  row->addWidget(logo, 0, Qt::AlignTop);
  return row;
}

void FitDigits(QLineEdit* box, int characters) {
  box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(characters + 3, u'0')));
}

}  // namespace zmo::config
