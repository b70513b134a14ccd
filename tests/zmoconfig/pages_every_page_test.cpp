// Every page beside the tree as the user finds it: a heading in view (the
// pages have no title bar of their own), a name for an accessibility client
// on every control that Tab reaches, and a render of each to look at.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
#include <QWidget>
#include <string>
#include <vector>

#include "MDIMainForm.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmAddServers.h"
#include "frmAddStatSch.h"
#include "frmCurrentConfig.h"
#include "frmDataSource.h"
#include "frmGetServerFile.h"
#include "frmIgnoreLists.h"
#include "frmInfoPages.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "page_window.h"

using namespace zmo::config;

namespace {

// The forms that open beside the tree, each by its class.
const PageCase kPages[] = {
    PageCaseOf<frmCurrentConfig>(),  PageCaseOf<frmInitConfig>(),    PageCaseOf<frmRepConfig>(),
    PageCaseOf<frmSLAconfig>(),      PageCaseOf<frmSchConfig>(),     PageCaseOf<frmDataSource>(),
    PageCaseOf<frmServers>(),        PageCaseOf<frmAddServers>(),    PageCaseOf<frmGetServerFile>(),
    PageCaseOf<frmSchStati>(),       PageCaseOf<frmAddStatSch>(),    PageCaseOf<frmSnapConfig>(),
    PageCaseOf<frmKeepDays>(),       PageCaseOf<frmSpecRun>(),       PageCaseOf<frmIDsToIgnore>(),
    PageCaseOf<frmProgsToIgnore>(),  PageCaseOf<frmTransToIgnore>(), PageCaseOf<frmAddID>(),
    PageCaseOf<frmAddProg>(),        PageCaseOf<frmAddTrans>(),      PageCaseOf<frmTransGroup>(),
    PageCaseOf<frmAddApplication>(), PageCaseOf<frmAddAppTrans>(),   PageCaseOf<frmSystemSLA>(),
};

class EveryPageTest : public PageWindowTest, public ::testing::WithParamInterface<PageCase> {
 protected:
  QWidget* Shown() {
    Open(GetParam());
    Settle();
    QWidget* page = GetParam().page(*main_);
    EXPECT_NE(page, nullptr);
    return page;
  }
  // The controls Tab stops at, in the page's focus chain: those that take
  // the focus by Tab, shown and enabled, and not standing in for another.
  static std::vector<QWidget*> TabStops(QWidget* page) {
    std::vector<QWidget*> stops;
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
      if (!page->isAncestorOf(w) || !w->isVisibleTo(page) || !w->isEnabled()) continue;
      if ((w->focusPolicy() & Qt::TabFocus) == 0 || w->focusProxy() != nullptr) continue;
      stops.push_back(w);
    }
    return stops;
  }
};

TEST_P(EveryPageTest, ShowsAHeading) {
  QWidget* page = Shown();
  ASSERT_NE(page, nullptr);
  std::vector<std::string> headings;
  for (QLabel* label : page->findChildren<QLabel*>()) {
    if (label->isVisible() && label->font().bold() && !label->text().trimmed().isEmpty())
      headings.push_back(label->text().toStdString());
  }
  EXPECT_FALSE(headings.empty()) << "no heading in view";
  Render((std::string("zmoconfig_page_") + GetParam().name + ".png").c_str());
}

TEST_P(EveryPageTest, EveryTabStopHasAnAccessibleName) {
  QWidget* page = Shown();
  ASSERT_NE(page, nullptr);
  for (QWidget* w : TabStops(page)) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr) << w->objectName().toStdString();
    EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty()) << w->objectName().toStdString();
    // A list is named by its label (or its frame), as a box is.
    if (qobject_cast<QAbstractItemView*>(w)) {
      for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy() == w) {
          EXPECT_EQ(a->text(QAccessible::Name), label->text().remove(u'&'))
              << w->objectName().toStdString();
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryPageTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
