// A page shown beside the tree in a main window of its own, for the tests
// that drive one page and its dialog as the user does, and its render to a
// PNG file in the build tree; pages reached by their classes.
#pragma once

#include <QCoreApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <cstring>
#include <ostream>
#include <string>

#include "MDIMainForm.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "pages_support.h"
#include "render.h"

using namespace zmo::config;

// A page or dialog of the program for a table of cases: its form's name (its
// class's name) and the page itself, of that class, in a main window.
struct PageCase {
  const char* name;
  FormBase* (*page)(MDIMainForm& main);
};
template <class Form>
PageCase PageCaseOf() {
  const char* name = Form::staticMetaObject.className();
  const char* last = std::strrchr(name, ':');
  return {last ? last + 1 : name, [](MDIMainForm& main) -> FormBase* { return main.Page<Form>(); }};
}
inline void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

// The name of the page last activated; "" before the first.
inline std::string CurrentFormName() {
  return gCurrentForm ? gCurrentForm->objectName().toStdString() : std::string();
}

class PageWindowTest : public PagesTest {
 protected:
  void TearDown() override {
    delete main_.data();
    Settle();
  }
  // The main window with its overview page; the events so far are dropped.
  void OpenMain() {
    main_ = new MDIMainForm;
    main_->Show();
    QApplication::setActiveWindow(main_);
    ui_.events.clear();
  }
  // The main window with the page of class Form shown; the events so far
  // are dropped.
  template <class Form>
  void Open() {
    OpenMain();
    main_->ShowPage<Form>();
    ui_.events.clear();
  }
  // The main window with page shown by the case's own way of showing it.
  void Open(const PageCase& page) {
    OpenMain();
    main_->ShowPage(page.page(*main_));
    ui_.events.clear();
  }
  template <class Form>
  Form* Page() const {
    return main_->Page<Form>();
  }
  // Unloaded forms go; queued focus moves and layouts run.
  static void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  // The tree with node selected and its folder open, as after a click.
  void SelectNode(const char* folder, const char* node) {
    QTreeWidget* tree = main_->Tree()->treConfigurator;
    tree->expandItem(main_->Tree()->Node(QLatin1String(folder)));
    tree->setCurrentItem(main_->Tree()->Node(QLatin1String(node)));
  }
  // A click of the mouse on the list's row, as the user picks it.
  static void ClickRow(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(row)).center());
  }
  // The main window as shown, once settled, saved as name in the renders
  // folder.
  void Render(const char* name) {
    Settle();
    RenderPng(main_, name);
  }

  QPointer<MDIMainForm> main_;
};
