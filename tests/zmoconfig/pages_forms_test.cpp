// The forms runtime's rules: Click on code-set values, MaxLength, key
// preview, the life cycle's order and the MDI page beside the tree.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "controls.h"
#include "forms.h"
#include "mdi.h"
#include "pages_support.h"

using namespace zmo::config;

namespace {

// A form that logs its events.
class LoggingForm : public FormBase {
 public:
  explicit LoggingForm(std::vector<std::string>* log, std::string name, QWidget* parent = nullptr)
      : FormBase(parent), log_(log), name_(std::move(name)) {
    text = new QLineEdit(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    resize(200, 150);
  }
  QLineEdit* text;
  int cancel_unload = 0;
  int swallow_key = -1;  // a key code Form_KeyDown sets to 0

 protected:
  void Form_Load() override { log_->push_back(name_ + " Load"); }
  void Form_Activate() override { log_->push_back(name_ + " Activate"); }
  void Form_Unload(int& Cancel) override {
    log_->push_back(name_ + " Unload");
    Cancel = cancel_unload;
  }
  void Form_KeyDown(int& KeyCode, int Shift) override {
    log_->push_back(name_ + " KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
    if (KeyCode == swallow_key) KeyCode = 0;
  }

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

using Log = std::vector<std::string>;

TEST(Click, CheckBoxFiresWhenCodeChangesItsValue) {
  QCheckBox box;
  int clicks = 0;
  QObject::connect(Click(&box), &ClickRelay::Click, [&] { ++clicks; });
  SetValue(&box, true);
  EXPECT_TRUE(box.isChecked());
  EXPECT_EQ(clicks, 1);
  SetValue(&box, true);  // no change, no Click
  EXPECT_EQ(clicks, 1);
  SetValue(&box, false);
  EXPECT_FALSE(box.isChecked());
  EXPECT_EQ(clicks, 2);
  box.click();  // the user's click too
  EXPECT_EQ(clicks, 3);
}

TEST(Click, OptionFiresEachTimeCodeSetsItEvenWhenAlreadySet) {
  QWidget group;
  auto* a = new QRadioButton(&group);
  auto* b = new QRadioButton(&group);
  int clicks_a = 0;
  int clicks_b = 0;
  QObject::connect(Click(a), &ClickRelay::Click, [&] { ++clicks_a; });
  QObject::connect(Click(b), &ClickRelay::Click, [&] { ++clicks_b; });
  SetValue(a, true);
  SetValue(a, true);
  EXPECT_EQ(clicks_a, 2);
  SetValue(b, true);
  EXPECT_TRUE(b->isChecked());
  EXPECT_FALSE(a->isChecked());
  EXPECT_EQ(clicks_b, 1);
  // Clearing an option is no Click, and code may clear the checked one.
  SetValue(b, false);
  EXPECT_FALSE(b->isChecked());
  EXPECT_EQ(clicks_b, 1);
  EXPECT_TRUE(b->autoExclusive());
}

TEST(Click, ListIndexFiresAlsoForTheIndexItHasAlready) {
  QListWidget list;
  list.addItems({"a", "b", "c"});
  std::vector<int> seen;
  QObject::connect(Click(&list), &ClickRelay::Click, [&] { seen.push_back(list.currentRow()); });
  SetListIndex(&list, 1);
  SetListIndex(&list, 1);
  SetListIndex(&list, 2);
  EXPECT_EQ(seen, (std::vector<int>{1, 1, 2}));
}

TEST(Click, ListFocusPicksNothingAUserClickPicks) {
  QListWidget list;
  list.addItems({"a", "b", "c"});
  std::vector<int> seen;
  QObject::connect(Click(&list), &ClickRelay::Click, [&] { seen.push_back(ListIndex(&list)); });
  // A current row without a selection, as the focus gives a list.
  list.selectionModel()->setCurrentIndex(list.model()->index(0, 0), QItemSelectionModel::NoUpdate);
  EXPECT_EQ(list.currentRow(), 0);
  EXPECT_EQ(ListIndex(&list), -1);
  EXPECT_TRUE(seen.empty());
  list.show();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                    list.visualItemRect(list.item(2)).center());
  EXPECT_EQ(ListIndex(&list), 2);
  SetListIndex(&list, -1);
  EXPECT_EQ(seen, (std::vector<int>{2, -1}));
}

TEST(Click, ComboIndexFiresAlsoForTheIndexItHasAlready) {
  QComboBox combo;
  combo.addItems({"a", "b"});
  std::vector<int> seen;
  QObject::connect(Click(&combo), &ClickRelay::Click,
                   [&] { seen.push_back(combo.currentIndex()); });
  SetListIndex(&combo, 0);  // a new combo box shows item 0 already
  SetListIndex(&combo, 1);
  SetListIndex(&combo, 1);
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 1}));
}

TEST(Click, SettingValuesWithoutAHandlerJustSetsThem) {
  QCheckBox box;
  QListWidget list;
  list.addItems({"a", "b"});
  SetValue(&box, true);
  SetListIndex(&list, 1);
  EXPECT_TRUE(box.isChecked());
  EXPECT_EQ(list.currentRow(), 1);
}

TEST(MaxLength, LimitsTypingButNotTextSetByCode) {
  QLineEdit edit;
  SetMaxLength(&edit, 4);
  QTest::keyClicks(&edit, "abcdef");
  EXPECT_EQ(edit.text(), "abcd");
  edit.setText("longer than four");
  EXPECT_EQ(edit.text(), "longer than four");
  QTest::keyClick(&edit, Qt::Key_X);  // cannot grow the long text
  EXPECT_EQ(edit.text(), "longer than four");
  QTest::keyClick(&edit, Qt::Key_Backspace);  // but may shorten it
  EXPECT_EQ(edit.text(), "longer than fou");
  edit.clear();
  QTest::keyClicks(&edit, "wxyz!");
  EXPECT_EQ(edit.text(), "wxyz");
}

TEST(Lifecycle, LoadActivateHideUnloadInOrder) {
  Log log;
  auto* form = new LoggingForm(&log, "f");
  form->Show();
  EXPECT_TRUE(form->IsLoaded());
  form->Show();  // loaded and active already: nothing fires
  form->Hide();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->IsLoaded());
  form->Show();  // shown again: activated again, not loaded again
  QPointer<LoggingForm> alive(form);
  EXPECT_TRUE(form->Unload());
  EXPECT_EQ(log, (Log{"f Load", "f Activate", "f Activate", "f Unload"}));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull()) << "an unloaded form is destroyed";
}

TEST(Lifecycle, UnloadCancelledKeepsTheForm) {
  Log log;
  QPointer<LoggingForm> form = new LoggingForm(&log, "f");
  form->Show();
  form->cancel_unload = 1;
  EXPECT_FALSE(form->Unload());
  EXPECT_TRUE(form->IsLoaded());
  EXPECT_TRUE(form->isVisible());
  form->cancel_unload = 0;
  form->close();  // closing the window unloads
  EXPECT_FALSE(form->IsLoaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
  EXPECT_EQ(log, (Log{"f Load", "f Activate", "f Unload", "f Unload"}));
}

TEST(Lifecycle, ActivateFiresWhenAnotherFormWasActive) {
  Log log;
  LoggingForm a(&log, "a");
  LoggingForm b(&log, "b");
  a.Show();
  b.Show();
  a.Activate();
  a.Activate();
  EXPECT_EQ(log, (Log{"a Load", "a Activate", "b Load", "b Activate", "a Activate"}));
}

TEST(KeyPreview, FormSeesEnterAndEscapeBeforeTheControl) {
  Log log;
  LoggingForm form(&log, "f");
  form.SetKeyPreview(true);
  form.Show();
  QApplication::setActiveWindow(&form);
  form.text->setFocus();
  int returns_seen_by_control = 0;
  QObject::connect(form.text, &QLineEdit::returnPressed, [&] { ++returns_seen_by_control; });
  QTest::keyClick(form.text, Qt::Key_Return);
  QTest::keyClick(form.text, Qt::Key_Escape, Qt::ShiftModifier);
  QTest::keyClick(form.text, Qt::Key_A);  // other keys are not previewed
  EXPECT_EQ(log, (Log{"f Load", "f Activate", "f KeyDown 13 0", "f KeyDown 27 1"}));
  EXPECT_EQ(returns_seen_by_control, 1);
  EXPECT_EQ(form.text->text(), "a");
  // A key code the form sets to 0 never reaches the control.
  form.swallow_key = kKeyReturn;
  QTest::keyClick(form.text, Qt::Key_Enter);
  EXPECT_EQ(returns_seen_by_control, 1);
  EXPECT_EQ(log.back(), "f KeyDown 13 0");
}

TEST(KeyPreview, OnlyTheFormOfTheFocusedControlPreviews) {
  Log log;
  LoggingForm outer(&log, "outer");
  auto* inner = new LoggingForm(&log, "inner", &outer);
  outer.layout()->addWidget(inner);
  outer.SetKeyPreview(true);
  inner->SetKeyPreview(true);
  outer.Show();
  inner->Show();
  QApplication::setActiveWindow(&outer);
  inner->text->setFocus();
  QTest::keyClick(inner->text, Qt::Key_Escape);
  outer.text->setFocus();
  QTest::keyClick(outer.text, Qt::Key_Return);
  EXPECT_EQ(log, (Log{"outer Load", "outer Activate", "inner Load", "inner Activate",
                      "inner KeyDown 27 0", "outer KeyDown 13 0"}));
}

TEST(KeyPreview, OffByDefault) {
  Log log;
  LoggingForm form(&log, "f");
  form.Show();
  QApplication::setActiveWindow(&form);
  form.text->setFocus();
  QTest::keyClick(form.text, Qt::Key_Return);
  EXPECT_EQ(log, (Log{"f Load", "f Activate"}));
}

TEST(Mdi, OnePageBesideTheTree) {
  Log log;
  QMdiArea area;
  area.resize(800, 500);
  auto* tree = new LoggingForm(&log, "tree");
  tree->resize(Twips(3564), Twips(4995));
  auto* one = new LoggingForm(&log, "one");
  auto* two = new LoggingForm(&log, "two");
  AddMdiChild(&area, tree);
  AddMdiChild(&area, one);
  AddMdiChild(&area, two);
  area.show();
  PlaceTree(tree);
  tree->Show();
  ShowBesideTree(&area, tree, one);
  ShowBesideTree(&area, tree, two);
  auto frame = [](QWidget* form) { return form->parentWidget()->geometry(); };
  EXPECT_EQ(frame(tree), QRect(0, 0, Twips(3564), Twips(4995)));
  EXPECT_EQ(frame(two).topLeft(), QPoint(Twips(3564), 0));
  EXPECT_EQ(frame(two).size(), QSize(200, 150));
  EXPECT_TRUE(tree->isVisibleTo(&area));
  EXPECT_TRUE(two->parentWidget()->isVisible());
  EXPECT_FALSE(one->parentWidget()->isVisible()) << "the page shown before is hidden";
  EXPECT_TRUE(one->IsLoaded());
  EXPECT_EQ(log, (Log{"tree Load", "tree Activate", "one Load", "one Activate", "two Load",
                      "two Activate"}));
  // Showing the first page again activates it without loading it again.
  ShowBesideTree(&area, tree, one);
  EXPECT_EQ(log.back(), "one Activate");
  EXPECT_FALSE(two->parentWidget()->isVisible());
}

}  // namespace
