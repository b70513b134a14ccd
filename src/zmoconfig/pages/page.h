// The skeleton every page and add/edit dialog beside the tree shares: its
// activation steps, the message idiom and status-line texts, Enter and
// Escape on OK and Cancel, the focus handed to the tree when Cancel is left
// with Tab, and the list extent routine.
#pragma once

#include <QPointer>
#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zmo::config {

// The page of class Form beside the tree, built on first use (and afresh
// after it unloaded); nullptr without a main window. Form is a page or
// dialog class; PageOfKind is what Page runs, make building a new one.
FormBase* PageOfKind(const QMetaObject& kind, FormBase* (*make)());
template <class Form>
Form* Page() {
  return qobject_cast<Form*>(
      PageOfKind(Form::staticMetaObject, []() -> FormBase* { return new Form; }));
}
// Shows page beside the tree and gives it the focus; nothing for nullptr
// or without a main window.
void ShowPage(FormBase* page);
template <class Form>
void ShowPage() {
  ShowPage(Page<Form>());
}

class PageForm : public FormBase {
  Q_OBJECT
 public:
  // name: the form's name, as the design names it. The page takes its
  // designed size.
  explicit PageForm(const char* name, QWidget* parent = nullptr);

  // The form's name, as the data layer's loaders take it.
  std::string FormName() const;

  // An add/edit dialog's owner: the page that opened it, which it goes back
  // to (nullptr: none, the dialog was shown by itself).
  void SetOwner(PageForm* page) { owner_ = page; }
  PageForm* Owner() const { return owner_; }
  // The add/edit dialog of class Dialog beside the tree (built on first
  // use), with this page as its owner; nullptr without a main window.
  template <class Dialog>
  Dialog* DialogOf() {
    Dialog* dialog = Page<Dialog>();
    if (dialog) dialog->SetOwner(this);
    return dialog;
  }

  // False for a page that hands the focus back to the tree when it
  // activates (the information pages).
  virtual bool TakesFocus() const { return true; }
  // False for a page that Tab in the tree does not return to.
  virtual bool TabReturnsHere() const { return TakesFocus(); }
  // The servers page wrote the server file: a page that lists the servers
  // reads it again.
  virtual void ServerFileWritten() {}

 public slots:
  virtual void cmdOK_Click() {}
  virtual void cmdCancel_Click() {}
  // Leaving Cancel by Tab lands in the tree.
  void cmdCancel_LostFocus();

 protected:
  // The first steps of an activation: LocalizeForm, ClearTaggedControls,
  // HideOtherForms with the page's name, PlaceChildForm.
  void ActivateSkeleton();
  // The same for an add/edit dialog, whose boxes keep what they hold:
  // LocalizeForm, HideOtherForms, PlaceChildForm.
  void ActivateDialog();
  // The status line shows catalog text id.
  void Status(int id);
  // The message idiom: catalog text id in an OK box.
  void ShowMessage(int id);
  // A refused action: text in an OK box, status 1453, and the whole text of
  // box (when given) selected.
  void Refuse(const QString& text, QLineEdit* box = nullptr);
  void Refuse(int id, QLineEdit* box = nullptr);
  // Connects OK and Cancel to cmdOK_Click and cmdCancel_Click, Enter and
  // Escape to the same, and Cancel's LostFocus to the tree.
  void WireOkCancel(QPushButton* ok, QPushButton* cancel);
  // Enter runs cmdOK_Click, Escape cmdCancel_Click; the key then goes no
  // further.
  void Form_KeyDown(int& KeyCode, int Shift) override;
  // The page's designed size (the page base gives it to every page).
  void ResizeToDesign();

  // The owner as what the dialog needs of it; nullptr when there is none or
  // it is not one.
  template <class Need>
  Need* OwnerAs() const {
    return dynamic_cast<Need*>(owner_.data());
  }
  // A dialog's end: unloads it and shows its owner again.
  void ReturnToOwner();

 private:
  QPointer<PageForm> owner_;
};

// What an add/edit dialog needs of the page whose list it changes (the
// schedule page, the exclusion lists): the entries it checks a new one
// against, the list box, and adding an entry's row.
class EditedList {
 public:
  virtual ~EditedList() = default;
  virtual std::vector<std::string> Entries() const = 0;
  virtual QListWidget* List() const = 0;
  virtual void AddEntry(const std::string& entry) = 0;
};
// A dialog's OK on its owner's list: the row index names (when it names a
// row of the list) goes, and index empties; then the entry's row comes.
void PutEntry(EditedList* page, QLineEdit* index, const std::string& entry);

// A control of a form: its name as member and object name, and the catalog
// id of its text in its Tag (0: none).
void NameControl(QObject* control, const char* name, int id);
template <class Control>
Control* NamedControl(QWidget* parent, const char* name, int id = 0) {
  auto* control = new Control(parent);
  NameControl(control, name, id);
  return control;
}
// The bold heading of a page.
void MakeTitle(QLabel* label);
// The page's logo picture, imgLogo.
QLabel* MakeLogo(QWidget* form);
// A page's heading row: the title at the bottom left, the logo at the right.
QHBoxLayout* TitleRow(QLabel* title, QLabel* logo);
// A page's heading whose texts run down beside the logo: texts one under
// the other at the left, taking the width, the logo at the top right.
QHBoxLayout* TextsBesideLogo(std::initializer_list<QWidget*> texts, QLabel* logo);
// A text box as wide as characters digits and a margin.
void FitDigits(QLineEdit* box, int characters);
// OK and Cancel at the right of a row of their own.
QHBoxLayout* OkCancelRow(QPushButton* ok, QPushButton* cancel);
// A list taking the width, with its buttons (Add, Edit, Delete) one under
// the other at its right, from its top.
QHBoxLayout* ListWithButtons(QWidget* list, std::initializer_list<QPushButton*> buttons);

// The list extent routine: the list scrolls sideways as far as its widest
// item, measured in the list's own font; the first of equally long items is
// measured. Returns the extent in pixels (0 for an empty list) and keeps it
// in the list's "HorizontalExtent" property.
int SetListExtent(QListWidget* list);

}  // namespace zmo::config
