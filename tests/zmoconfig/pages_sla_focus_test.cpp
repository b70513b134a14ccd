// Every page and dialog of the exclusion lists and the service levels:
// shown beside the tree with its name as the current page, the focus handed
// to the tree when Cancel is left with Tab, and Escape as Cancel.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "MDIMainForm.h"
#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmIgnoreLists.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "frmTreeView.h"
#include "navigation.h"
#include "page_window.h"

using namespace zmo::config;

namespace {

class SlaFocusTest : public PageWindowTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(SlaFocusTest, CancelLeftWithTabLandsInTheTreeAndEscapeCancels) {
  Open(GetParam());
  FormBase* form = GetParam().page(*main_);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->IsActive());
  EXPECT_EQ(CurrentFormName(), GetParam().name);
  auto* cancel = form->findChild<QPushButton*>("cmdCancel");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Cancel");
  cancel->setFocus();
  QTest::keyClick(cancel, Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), main_->Tree()->treConfigurator);
  cancel->setFocus();  // back on the form, whose activation may focus another box
  ui_.events.clear();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SlaFocusTest,
    ::testing::Values(PageCaseOf<frmIDsToIgnore>(), PageCaseOf<frmProgsToIgnore>(),
                      PageCaseOf<frmTransToIgnore>(), PageCaseOf<frmAddID>(),
                      PageCaseOf<frmAddProg>(), PageCaseOf<frmAddTrans>(),
                      PageCaseOf<frmTransGroup>(), PageCaseOf<frmAddApplication>(),
                      PageCaseOf<frmAddAppTrans>(), PageCaseOf<frmSystemSLA>()),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

}  // namespace
