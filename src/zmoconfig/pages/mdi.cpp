#include "mdi.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "forms.h"

namespace zmo::config {

namespace {

QMdiSubWindow* SubWindow(FormBase* form) {
  return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

// The sub-window takes exactly the form's size: no frame, no title bar.
void FitFrame(FormBase* form) {
  if (QMdiSubWindow* sub = SubWindow(form)) sub->resize(form->size());
}

}  // namespace

FormBase* AddMdiChild(QMdiArea* area, FormBase* form) {
  const QSize size = form->size();
  QMdiSubWindow* sub = area->addSubWindow(form, Qt::FramelessWindowHint);
  sub->setAttribute(Qt::WA_DeleteOnClose, true);
  sub->resize(size);
  sub->hide();
  return form;
}

void PlaceTree(FormBase* tree) {
  FitFrame(tree);
  if (QMdiSubWindow* sub = SubWindow(tree)) sub->move(0, 0);
}

void ShowBesideTree(QMdiArea* area, FormBase* tree, FormBase* page) {
  for (QMdiSubWindow* sub : area->subWindowList()) {
    auto* form = qobject_cast<FormBase*>(sub->widget());
    if (form && form != tree && form != page) form->Hide();
  }
  FitFrame(page);
  if (QMdiSubWindow* sub = SubWindow(page)) {
    const QMdiSubWindow* tree_sub = SubWindow(tree);
    const int left = tree_sub ? tree_sub->geometry().right() + 1 : 0;
    const int top = tree_sub ? tree_sub->geometry().top() : 0;
    sub->move(left, top);
  }
  page->Show();
}

}  // namespace zmo::config
