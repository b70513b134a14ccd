#include "forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace zmo::config {

namespace {

// The form a widget belongs to: the nearest form among its ancestors.
FormBase* OwningForm(QObject* object) {
  for (QObject* o = object; o; o = o->parent()) {
    if (auto* form = qobject_cast<FormBase*>(o)) return form;
  }
  return nullptr;
}

int ShiftMask(Qt::KeyboardModifiers mods) {
  int mask = 0;
  if (mods & Qt::ShiftModifier) mask |= kShiftMask;
  if (mods & Qt::ControlModifier) mask |= kCtrlMask;
  if (mods & Qt::AltModifier) mask |= kAltMask;
  return mask;
}

}  // namespace

FormBase::FormBase(QWidget* parent) : QWidget(parent) {}

FormBase::~FormBase() {
  if (key_preview_ && qApp) qApp->removeEventFilter(this);
}

QWidget* FormBase::Frame() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub;
  return this;
}

void FormBase::Load() {
  if (loaded_) return;
  loaded_ = true;
  Form_Load();
}

void FormBase::Show() {
  Load();
  if (!loaded_) return;  // Form_Load unloaded it
  setVisible(true);
  Frame()->show();
  Frame()->raise();
  Activate();
}

void FormBase::Hide() {
  Frame()->hide();
  active_ = false;
}

void FormBase::Activate() {
  if (active_) return;
  // Peers: the MDI children of one frame, or the top-level forms; a form
  // placed inside another widget has none.
  QList<FormBase*> peers;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    if (QMdiArea* area = sub->mdiArea()) {
      for (QMdiSubWindow* s : area->subWindowList()) {
        if (auto* form = qobject_cast<FormBase*>(s->widget())) peers << form;
      }
    }
  } else if (isWindow()) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* form = qobject_cast<FormBase*>(w)) peers << form;
    }
  }
  for (FormBase* peer : peers) peer->active_ = false;
  active_ = true;
  Form_Activate();
}

bool FormBase::RunUnload() {
  int cancel = 0;
  unloading_ = true;
  Form_Unload(cancel);
  unloading_ = false;
  return cancel == 0;
}

bool FormBase::Unload() {
  if (!loaded_ || unloading_) return true;
  if (!RunUnload()) return false;
  loaded_ = false;
  active_ = false;
  unloaded_ = true;
  QWidget* frame = Frame();
  frame->hide();
  frame->deleteLater();
  return true;
}

void FormBase::closeEvent(QCloseEvent* event) {
  // Closing the window unloads the form, unless Form_Unload cancels.
  if (loaded_ && !unloading_) {
    if (!Unload()) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

void FormBase::changeEvent(QEvent* event) {
  // A top-level form that gets the active window activates; an MDI child is
  // activated by its frame when its sub-window does.
  if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow() && loaded_)
    Activate();
  QWidget::changeEvent(event);
}

void FormBase::SetKeyPreview(bool on) {
  if (on == key_preview_) return;
  key_preview_ = on;
  if (on) {
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
  }
}

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  // A key goes first to the widget with the focus (or to the window when no
  // widget has it) and, when ignored, on to its parents as the same event:
  // the form previews it at that first receiver only.
  // A control of a form inside this one (an MDI child) belongs to that form.
  QWidget* focus = QApplication::focusWidget();
  bool first = watched == this;
  if (focus && OwningForm(focus) == this) {
    first = watched == focus;
  } else if (focus && isAncestorOf(focus)) {
    first = false;
  }
  if (!first) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  int code = 0;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      code = kKeyReturn;
      break;
    case Qt::Key_Escape:
      code = kKeyEscape;
      break;
    default:
      return false;
  }
  Form_KeyDown(code, ShiftMask(key->modifiers()));
  return code == 0;
}

}  // namespace zmo::config
