#include "controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QValidator>
#include <QWidget>

namespace zmo::config {

namespace {

constexpr const char* kRelayName = "qt_click_relay";

ClickRelay* ExistingRelay(QObject* control) {
  return control->findChild<ClickRelay*>(kRelayName, Qt::FindDirectChildrenOnly);
}

ClickRelay* NewRelay(QObject* control) {
  auto* relay = new ClickRelay(control);
  relay->setObjectName(kRelayName);
  return relay;
}

void FireClick(QObject* control) {
  if (ClickRelay* relay = ExistingRelay(control)) relay->Fire();
}

// Refuses a typed edit that makes the text longer than the limit, judged
// against the text before the edit, which code may have set longer. Text
// set by code (the box not modified) is always accepted.
class MaxLengthValidator : public QValidator {
 public:
  MaxLengthValidator(QLineEdit* edit, int max_length)
      : QValidator(edit), edit_(edit), max_length_(max_length), before_(edit->text()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { before_ = t; });
  }
  State validate(QString& input, int&) const override {
    if (!edit_->isModified()) return Acceptable;
    if (input.size() <= max_length_ || input.size() <= before_.size()) return Acceptable;
    return Invalid;
  }

 private:
  QLineEdit* edit_;
  int max_length_;
  QString before_;
};

// Fires a relay on the focus events of one control.
class FocusWatch : public QObject {
 public:
  FocusWatch(QWidget* control, QEvent::Type type, ClickRelay* relay)
      : QObject(control), type_(type), relay_(relay) {
    control->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != type_) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (type_ == QEvent::FocusIn || reason == Qt::TabFocusReason) relay_->Fire();
    return false;
  }

 private:
  QEvent::Type type_;
  ClickRelay* relay_;
};

ClickRelay* FocusRelay(QWidget* control, QEvent::Type type, const char* name) {
  if (auto* relay = control->findChild<ClickRelay*>(name, Qt::FindDirectChildrenOnly)) return relay;
  auto* relay = new ClickRelay(control);
  relay->setObjectName(name);
  new FocusWatch(control, type, relay);
  return relay;
}

}  // namespace

ClickRelay* GotFocus(QWidget* control) {
  return FocusRelay(control, QEvent::FocusIn, "qt_gotfocus_relay");
}

ClickRelay* LostFocus(QWidget* control) {
  return FocusRelay(control, QEvent::FocusOut, "qt_lostfocus_relay");
}

ClickRelay* Click(QAbstractButton* control) {
  if (ClickRelay* relay = ExistingRelay(control)) return relay;
  ClickRelay* relay = NewRelay(control);
  if (qobject_cast<QRadioButton*>(control)) {
    // An option is picked when it becomes the chosen one, by a click or an
    // arrow key; SetValue fires its own Click and keeps this one quiet.
    QObject::connect(control, &QAbstractButton::toggled, relay, [relay](bool on) {
      if (on) relay->Fire();
    });
  } else {
    QObject::connect(control, &QAbstractButton::clicked, relay, &ClickRelay::Fire);
  }
  return relay;
}

QButtonGroup* OptionGroup(const QList<QRadioButton*>& options) {
  auto* group = new QButtonGroup(options.first()->parent());
  group->setExclusive(true);
  for (QRadioButton* option : options) group->addButton(option);
  // Tab enters the group on its chosen option, else on its first.
  auto tab_stop = [group] {
    const QList<QAbstractButton*> buttons = group->buttons();
    QAbstractButton* stop = group->checkedButton() ? group->checkedButton() : buttons.first();
    for (QAbstractButton* b : buttons) {
      const int policy = b->focusPolicy();
      b->setFocusPolicy(
          Qt::FocusPolicy(b == stop ? policy | Qt::TabFocus : policy & ~Qt::TabFocus));
    }
  };
  QObject::connect(group, &QButtonGroup::buttonToggled, group, tab_stop);
  tab_stop();
  return group;
}

ClickRelay* Click(QListWidget* control) {
  if (ClickRelay* relay = ExistingRelay(control)) return relay;
  ClickRelay* relay = NewRelay(control);
  // A pick selects an item; a current row without a selection (the one the
  // focus gives a list) is no pick, and emptying the list picks nothing.
  QObject::connect(control, &QListWidget::itemSelectionChanged, relay, [control, relay] {
    if (ListIndex(control) >= 0) relay->Fire();
  });
  return relay;
}

ClickRelay* Click(QComboBox* control) {
  if (ClickRelay* relay = ExistingRelay(control)) return relay;
  ClickRelay* relay = NewRelay(control);
  QObject::connect(control, &QComboBox::currentIndexChanged, relay, &ClickRelay::Fire);
  return relay;
}

void SetValue(QCheckBox* control, bool on) {
  if (control->isChecked() == on) return;
  control->setChecked(on);
  FireClick(control);
}

void SetValue(QRadioButton* control, bool on) {
  if (on) {
    {
      const QSignalBlocker quiet(control);  // the one Click is the one below
      control->setChecked(true);
    }
    FireClick(control);
    return;
  }
  // An exclusive option cannot be cleared alone; code may clear it.
  QButtonGroup* group = control->group();
  const bool exclusive = group ? group->exclusive() : control->autoExclusive();
  if (group) {
    group->setExclusive(false);
  } else {
    control->setAutoExclusive(false);
  }
  control->setChecked(false);
  if (group) {
    group->setExclusive(exclusive);
  } else {
    control->setAutoExclusive(exclusive);
  }
}

int ListIndex(const QListWidget* control) {
  const int row = control->currentRow();
  const QListWidgetItem* item = control->item(row);
  return item && item->isSelected() ? row : -1;
}

void RemoveListItem(QListWidget* control, int row) {
  const QSignalBlocker quiet(control);
  delete control->takeItem(row);
  // The view makes the next row current and selected; nothing is picked.
  control->setCurrentRow(-1);
  control->clearSelection();
}

void SetListIndex(QListWidget* control, int index) {
  {
    // The Click below is the only one, whatever changed.
    const QSignalBlocker quiet(control);
    control->setCurrentRow(index);
    if (QListWidgetItem* item = control->item(index)) {
      item->setSelected(true);
    } else {
      control->clearSelection();
    }
  }
  FireClick(control);
}

void SetListIndex(QComboBox* control, int index) {
  if (control->currentIndex() == index) {
    FireClick(control);
  } else {
    control->setCurrentIndex(index);  // currentIndexChanged fires the Click
  }
}

void SetMaxLength(QLineEdit* control, int max_length) {
  control->setValidator(new MaxLengthValidator(control, max_length));
  control->setProperty("MaxLength", max_length);
}

int MaxLength(const QLineEdit* control) { return control->property("MaxLength").toInt(); }

}  // namespace zmo::config
