// The real user-interface services: the message box kinds with their title,
// buttons and icon (answered by a timer inside the box's own event loop, so
// nothing blocks), the status line, the hourglass, and the data layer's
// texts reaching them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "catalog_text.h"
#include "ui_services.h"
#include "zmoconfig/config_ui.h"

using namespace zmo::config;

namespace {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Shows a box through the real service and presses the given button in it.
MsgAnswer Answer(MsgButtons kind, QMessageBox::StandardButton press, SeenBox* seen) {
  QTimer::singleShot(0, [press, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen->title = box->windowTitle();
    seen->text = box->text();
    seen->icon = box->icon();
    seen->buttons = box->standardButtons();
    box->button(press)->click();
  });
  UiServices real;
  return real.MsgBox("KQZ7043W Log does not exist", kind);
}

TEST(MessageBox, EachKindWithTitleButtonsAndIcon) {
  const struct {
    MsgButtons kind;
    QMessageBox::StandardButton press;
    MsgAnswer answer;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
  } cases[] = {
      {MsgButtons::Ok, QMessageBox::Ok, MsgAnswer::Ok, QMessageBox::Ok, QMessageBox::NoIcon},
      {MsgButtons::YesNo, QMessageBox::Yes, MsgAnswer::Yes, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::NoIcon},
      {MsgButtons::YesNo, QMessageBox::No, MsgAnswer::No, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::NoIcon},
      {MsgButtons::YesNoCritical, QMessageBox::Yes, MsgAnswer::Yes,
       QMessageBox::Yes | QMessageBox::No, QMessageBox::Critical},
      {MsgButtons::YesNoCritical, QMessageBox::No, MsgAnswer::No,
       QMessageBox::Yes | QMessageBox::No, QMessageBox::Critical},
  };
  for (const auto& c : cases) {
    SeenBox seen;
    EXPECT_EQ(Answer(c.kind, c.press, &seen), c.answer);
    EXPECT_EQ(seen.title, "KQZ7049I Kestrel Velmar Fieldwatch 5.1.0 - Orvane Suite");
    EXPECT_EQ(seen.text, "KQZ7043W Log does not exist");
    EXPECT_EQ(seen.buttons, c.buttons);
    EXPECT_EQ(seen.icon, c.icon);
  }
}

TEST(StatusLine, KeepsItsTextAndShowsItInTheLabelGiven) {
  UiServices real;
  real.SetStatusLine("before any window");
  QLabel label;
  real.SetStatusLabel(&label);
  EXPECT_EQ(label.text(), "before any window");
  real.SetStatusLine(CatalogText(kTextActionFailed));
  EXPECT_EQ(label.text(), "KQZ7050E Status: Action failed");
  EXPECT_EQ(real.StatusLine(), label.text());
  {
    QLabel gone;
    real.SetStatusLabel(&gone);
  }
  real.SetStatusLine("no label any more");  // the label's end is noticed
  EXPECT_EQ(real.StatusLine(), "no label any more");
}

TEST(Hourglass, OnAndOffAgain) {
  UiServices real;
  real.SetHourglass(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  real.SetHourglass(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  real.SetHourglass(false);  // off twice is harmless
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(DataLayerUi, ItsTextsReachTheServices) {
  UiServices real;
  QLabel label;
  SetUiServices(&real);
  real.SetStatusLabel(&label);
  ConnectDataLayerUi();
  configUi().StatusText(1449);
  EXPECT_EQ(label.text(), "KQZ7047W Loading server data");
  configUi().Hourglass(true);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  configUi().Hourglass(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  configUi().MessageOk("KQZ7055E Registry Error: Corrupt registry database \x93x\x94");
  EXPECT_EQ(seen.text, QString::fromUtf8("KQZ7055E Registry Error: Corrupt registry database "
                                         "\xE2\x80\x9Cx\xE2\x80\x9D"))
      << "Windows-1252 quotes become their Unicode characters";
  SetConfigUi(nullptr);
  SetUiServices(nullptr);
}

}  // namespace
