// The forms runtime's control rules, once for every page:
// - Click: an option, check box, list or combo box fires its Click when the
//   user picks it and also when code sets its value or list index (an
//   option set to True and a list index fire even when nothing changes; a
//   check box fires when its value changes). A click on the option already
//   chosen picks nothing and fires nothing.
// - Options exclude each other only within their own group (OptionGroup),
//   whatever frames they sit in.
// - MaxLength limits what the user types; code may set a longer text.
#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace zmo::config {

// Carries one control's Click event.
class ClickRelay : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  void Fire() { emit Click(); }
 signals:
  void Click();
};

// The relay of the control's Click, made on first use.
ClickRelay* Click(QAbstractButton* control);
ClickRelay* Click(QListWidget* control);
ClickRelay* Click(QComboBox* control);

// Makes options one exclusive group: choosing one clears the others, and
// Tab stops once in the group (on the chosen option, else the first), the
// arrow keys moving within it. Options of another group, also in a frame
// inside this group's frame, are not touched. The group belongs to the
// first option's parent.
QButtonGroup* OptionGroup(const QList<QRadioButton*>& options);

// Sets the value as code does: Value := on.
void SetValue(QCheckBox* control, bool on);
void SetValue(QRadioButton* control, bool on);
// ListIndex: the selected item's row, -1 when none is selected (a list that
// got the focus has a current row but no selection until a pick).
int ListIndex(const QListWidget* control);
// Removes the item at row; afterwards no item is selected (ListIndex -1),
// so that a second Delete finds nothing to remove. Fires no Click.
void RemoveListItem(QListWidget* control, int row);
// Sets ListIndex (-1: no item).
void SetListIndex(QListWidget* control, int index);
void SetListIndex(QComboBox* control, int index);

// Limits typing in the text box to max_length characters; text set by code
// is not cut, and the user may still shorten a longer one.
void SetMaxLength(QLineEdit* control, int max_length);
// The limit SetMaxLength set; 0 for none.
int MaxLength(const QLineEdit* control);

// The control's GotFocus, and its LostFocus when the focus leaves it by Tab
// (leaving the last control of a page with Tab is what hands the focus to
// the tree; a click elsewhere on the page keeps it on the page).
ClickRelay* GotFocus(QWidget* control);
ClickRelay* LostFocus(QWidget* control);

}  // namespace zmo::config
