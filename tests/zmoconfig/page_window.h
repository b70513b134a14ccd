// A page shown beside the tree in a main window of its own, for the tests
// that drive one page and its dialog as the user does, and its render to a
// PNG file in the build tree.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include "MDIMainForm.h"
#include "frmTreeView.h"
#include "pages_support.h"

using namespace zmo::config;

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
  // The main window with the page of name shown; the events so far are
  // dropped.
  void Open(const char* name) {
    OpenMain();
    main_->ShowPage(QLatin1String(name));
    ui_.events.clear();
  }
  template <class Form>
  Form* Page(const char* name) const {
    return static_cast<Form*>(main_->Page(QLatin1String(name)));
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
  // The main window as shown, saved as name in the renders folder.
  void Render(const char* name) {
    Settle();
    QDir().mkpath(ZMO_TEST_RENDER_DIR);
    const QPixmap pm = main_->grab();
    ASSERT_FALSE(pm.isNull()) << name;
    EXPECT_TRUE(pm.save(QString::fromLatin1(ZMO_TEST_RENDER_DIR) + "/" + name, "PNG")) << name;
  }

  QPointer<MDIMainForm> main_;
};
