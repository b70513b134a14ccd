// The skeleton every page and add/edit dialog beside the tree shares: its
// activation steps, the message idiom and status-line texts, Enter and
// Escape on OK and Cancel, the focus handed to the tree when Cancel is left
// with Tab, and the list extent routine.
#pragma once

#include <QString>
#include <initializer_list>

#include "forms.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zmo::config {

class PageForm : public FormBase {
  Q_OBJECT
 public:
  // name: the form's name, as the navigation and HideOtherForms know it.
  explicit PageForm(const char* name, QWidget* parent = nullptr);

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
};

// The page of name beside the tree (built on first use), as its class;
// nullptr without a main window or when the program has no such page.
FormBase* PageByName(const QString& name);
template <class Form>
Form* PageNamed(const char* name) {
  return qobject_cast<Form*>(PageByName(QLatin1String(name)));
}
// Shows the page of name beside the tree and gives it the focus.
void ShowPageNamed(const char* name);

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

// The list extent routine: the list scrolls sideways as far as its widest
// item, measured in the list's own font; the first of equally long items is
// measured. Returns the extent in pixels (0 for an empty list) and keeps it
// in the list's "HorizontalExtent" property.
int SetListExtent(QListWidget* list);

}  // namespace zmo::config
