// The statistics schedule page and its add/edit dialog driven as the user
// does: the rows as the collector's grammar reads the stored text, the six
// registry pieces OK writes, the dialog's checks, edit, delete, Cancel, a
// failed write, and the renders of both forms.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <array>
#include <string>
#include <vector>

#include "controls.h"
#include "frmAddStatSch.h"
#include "frmSchStati.h"
#include "navigation.h"
#include "page_window.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

using zmo_test::ConfigText;
using zmo_test::PutConfigText;

const char* const kPieces[] = {zmo::cfg::kStatiSchedule,  zmo::cfg::kStatiSchedule2,
                               zmo::cfg::kStatiSchedule3, zmo::cfg::kStatiSchedule4,
                               zmo::cfg::kStatiSchedule5, zmo::cfg::kStatiSchedule6};

// n entries, a quarter of an hour apart from 00:00.
std::vector<std::string> Times(int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", i * 15 / 60, i * 15 % 60);
    out.push_back(text);
  }
  return out;
}

std::array<std::string, 6> Stored() {
  std::array<std::string, 6> values;
  for (int i = 0; i < 6; ++i) values[i] = ConfigText(kPieces[i]);
  return values;
}

class SchedulePageTest : public PageWindowTest {
 protected:
  void Open() { PageWindowTest::Open<frmSchStati>(); }
  frmSchStati* page() const { return Page<frmSchStati>(); }
  frmAddStatSch* dialog() const { return Page<frmAddStatSch>(); }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < page()->lstStatSch->count(); ++i)
      rows.push_back(page()->lstStatSch->item(i)->text().toStdString());
    return rows;
  }
  // Types text in a dialog opened by Create and presses OK.
  void AddTime(const char* text) {
    page()->cmdAdd->click();
    ASSERT_TRUE(dialog()->IsActive());
    dialog()->txtSchTime->setText(text);
    dialog()->cmdOK->click();
    Settle();
  }
  void StoreTimes(const std::vector<std::string>& times) {
    std::string text;
    for (const std::string& t : times) text += t + " ";
    PutConfigText(zmo::cfg::kStatiSchedule, text);
  }
};

TEST_F(SchedulePageTest, ActivationShowsTheStoredTimesNormalisedAndSorted) {
  PutConfigText(zmo::cfg::kStatiSchedule, "18:00 6:00  12:30 ");
  Open();
  const std::vector<std::string> want = {"06:00 Scheduled run", "12:30 Scheduled run",
                                         "18:00 Scheduled run"};
  EXPECT_EQ(Rows(), want);
  EXPECT_EQ(page()->lblStatSch->text(), "Sched&uled runs");
  EXPECT_EQ(page()->cmdAdd->text(), "&Create");
  EXPECT_EQ(CurrentFormName(), "frmSchStati");
  EXPECT_EQ(ui_.StatusLine(), CatalogText(kTextReady));
}

TEST_F(SchedulePageTest, NothingStoredShowsAnEmptyList) {
  Open();
  EXPECT_EQ(page()->lstStatSch->count(), 0);
}

// OK writes all six values for 0, 3, 15, 16 and 90 listed times, each piece
// whole entries of the ascending text and the pieces past it empty.
TEST_F(SchedulePageTest, OkWritesTheSixPieces) {
  for (int n : {0, 3, 15, 16, 90}) {
    SCOPED_TRACE(n);
    for (const char* name : kPieces) PutConfigText(name, "stale");
    Open();
    page()->lstStatSch->clear();
    const std::vector<std::string> times = Times(n);
    for (auto it = times.rbegin(); it != times.rend(); ++it) page()->AddEntry(*it);
    page()->cmdOK->click();
    std::string text;
    for (const std::string& t : times) text += t + " ";
    std::array<std::string, 6> want;
    for (size_t i = 0; i < 6; ++i) want[i] = i * 90 < text.size() ? text.substr(i * 90, 90) : "";
    EXPECT_EQ(Stored(), want);
    EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionSuccessful));
    if (n > 0) {
      EXPECT_EQ(ListIndex(page()->lstStatSch), n - 1) << "the last row is selected";
    }
    delete main_.data();
    Settle();
  }
}

TEST_F(SchedulePageTest, SixteenTimesFillTheFirstPieceAndStartTheSecond) {
  Open();
  for (const std::string& t : Times(16)) page()->AddEntry(t);
  page()->cmdOK->click();
  const std::array<std::string, 6> stored = Stored();
  EXPECT_EQ(stored[0].size(), 90u);
  EXPECT_EQ(stored[1], "03:45 ");
  for (int i = 2; i < 6; ++i) EXPECT_EQ(stored[i], "");
}

TEST_F(SchedulePageTest, CreateAddsTheTimeBetweenItsNeighboursWithoutWriting) {
  StoreTimes({"06:00", "18:00"});
  Open();
  page()->cmdAdd->click();
  QPointer<frmAddStatSch> d = dialog();
  ASSERT_TRUE(d->IsActive());
  EXPECT_EQ(CurrentFormName(), "frmAddStatSch");
  EXPECT_FALSE(page()->isVisible()) << "the dialog takes the page's place";
  EXPECT_TRUE(d->txtIndex->text().isEmpty());
  EXPECT_TRUE(d->txtSchTime->text().isEmpty());
  EXPECT_EQ(d->lblSchTime->text(), "Time: HH:M&M");
  EXPECT_EQ(QApplication::focusWidget(), d->txtSchTime);
  d->txtSchTime->setText("12:00");
  d->cmdOK->click();
  Settle();
  EXPECT_TRUE(d.isNull()) << "the dialog was unloaded";
  const std::vector<std::string> want = {"06:00 Scheduled run", "12:00 Scheduled run",
                                         "18:00 Scheduled run"};
  EXPECT_EQ(Rows(), want);
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(QApplication::focusWidget(), page()->lstStatSch);
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "06:00 18:00 ") << "only OK writes";
  page()->cmdOK->click();
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "06:00 12:00 18:00 ");
}

TEST_F(SchedulePageTest, ATimeTypedWithSecondsIsStoredWithoutThem) {
  Open();
  page()->cmdAdd->click();
  QTest::keyClicks(dialog()->txtSchTime, "19:30:45");
  QTest::keyClick(dialog()->txtSchTime, Qt::Key_Return);
  Settle();
  EXPECT_EQ(Rows(), std::vector<std::string>{"19:30 Scheduled run"});
  page()->cmdOK->click();
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "19:30 ");
}

// What the dialog does with a typed time against the rows 06:00 and 18:00.
TEST_F(SchedulePageTest, TypedTimes) {
  struct Case {
    const char* typed;
    int refusal;  // 0: accepted
    const char* added;
  };
  const Case cases[] = {
      {"7:05", 0, "07:05"},      {" 19:30 ", 0, "19:30"},  {"00:00", 0, "00:00"},
      {"23:59", 0, "23:59"},     {"06:00", 1415, ""},      {"6:00", 1415, ""},
      {"25:00", 1416, ""},       {"24:00", 1416, ""},      {"", 1416, ""},
      {"19:30:45", 0, "19:30"},  {"6:00:59", 1415, ""},    {"19:30:60", 1416, ""},
      {"20260310", 1416, ""},    {"2026-03-10", 1416, ""}, {"7:5", 1416, ""},
      {"07:05 08:00", 1416, ""}, {"noon", 1416, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    StoreTimes({"06:00", "18:00"});
    Open();
    page()->cmdAdd->click();
    QPointer<frmAddStatSch> d = dialog();
    d->txtSchTime->setText(c.typed);
    ui_.events.clear();
    d->cmdOK->click();
    Settle();
    if (c.refusal == 0) {
      EXPECT_TRUE(d.isNull()) << "the dialog was unloaded";
      EXPECT_TRUE(ui_.events.empty() || ui_.events.back() == StatusOf(kTextReady));
      EXPECT_EQ(page()->lstStatSch->count(), 3);
      EXPECT_EQ(page()
                    ->lstStatSch->findItems(QString(c.added) + " Scheduled run", Qt::MatchExactly)
                    .size(),
                1);
    } else {
      const std::vector<std::string> want = {BoxOf(c.refusal), StatusOf(kTextActionFailed)};
      EXPECT_EQ(ui_.events, want);
      ASSERT_FALSE(d.isNull()) << "the dialog stays";
      EXPECT_TRUE(d->IsActive());
      EXPECT_EQ(d->txtSchTime->selectedText(), d->txtSchTime->text());
      EXPECT_EQ(page()->lstStatSch->count(), 2);
    }
    delete main_.data();
    Settle();
  }
}

TEST_F(SchedulePageTest, EditReplacesItsRowAndMeetsItselfUnchanged) {
  StoreTimes({"06:00", "12:30", "18:00"});
  Open();
  page()->cmdEdit->click();  // no row selected: nothing happens
  EXPECT_TRUE(page()->IsActive());
  SetListIndex(page()->lstStatSch, 1);
  page()->cmdEdit->click();
  frmAddStatSch* d = dialog();
  ASSERT_TRUE(d->IsActive());
  EXPECT_EQ(d->txtSchTime->text(), "12:30");
  EXPECT_EQ(d->txtIndex->text(), "1");
  d->cmdOK->click();  // unchanged: the row meets itself
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(1415), StatusOf(kTextActionFailed)}));
  ASSERT_TRUE(d->IsActive());
  d->txtSchTime->setText("19:00");
  d->cmdOK->click();
  Settle();
  const std::vector<std::string> want = {"06:00 Scheduled run", "18:00 Scheduled run",
                                         "19:00 Scheduled run"};
  EXPECT_EQ(Rows(), want);
}

TEST_F(SchedulePageTest, NinetyRowsRefuseCreateAndEdit) {
  StoreTimes(Times(15));
  for (int i = 1; i < 6; ++i) {
    std::string text;
    for (int k = 0; k < 15; ++k) {
      char t[8];
      std::snprintf(t, sizeof t, "%02d:%02d ", 4 + i * 3 + k / 10, (k % 10) * 5);
      text += t;
    }
    PutConfigText(kPieces[i], text);
  }
  Open();
  ASSERT_EQ(page()->lstStatSch->count(), 90);
  AddTime("23:59");
  EXPECT_EQ(ui_.events.front(), BoxOf(kTextTooManyEntries));
  EXPECT_TRUE(dialog()->IsActive());
  dialog()->cmdCancel->click();
  Settle();
  SetListIndex(page()->lstStatSch, 0);
  page()->cmdEdit->click();
  ui_.events.clear();
  dialog()->txtSchTime->setText("23:59");
  dialog()->cmdOK->click();
  EXPECT_EQ(ui_.events.front(), BoxOf(kTextTooManyEntries));
  EXPECT_EQ(page()->lstStatSch->count(), 90);
  EXPECT_EQ(page()->lstStatSch->item(0)->text(), "00:00 Scheduled run");
}

TEST_F(SchedulePageTest, MoreThanNinetyStoredOutsideAreShownButNotSaved) {
  std::vector<std::string> times = Times(96);
  std::string text;
  for (const std::string& t : times) text += t + " ";
  for (int i = 0; i < 6; ++i) PutConfigText(kPieces[i], text.substr(i * 90, 90));
  PutConfigText(kPieces[5], text.substr(450));  // the collector reads up to 100
  Open();
  EXPECT_EQ(page()->lstStatSch->count(), 96);
  page()->cmdOK->click();
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{BoxOf(kTextTooManyEntries), StatusOf(kTextActionFailed)}));
  EXPECT_EQ(ConfigText(kPieces[5]), text.substr(450)) << "nothing was written";
}

TEST_F(SchedulePageTest, DeleteAsksThenSavesAtOnce) {
  StoreTimes({"06:00", "12:30"});
  Open();
  page()->cmdDelete->click();  // no row selected
  EXPECT_TRUE(ui_.events.empty());
  SetListIndex(page()->lstStatSch, 0);
  ui_.answers = {MsgAnswer::No};
  page()->cmdDelete->click();
  EXPECT_EQ(ui_.events, std::vector<std::string>{BoxOf(kTextDataLossQuestion)});
  EXPECT_EQ(ui_.box_buttons.back(), MsgButtons::YesNoCritical);
  EXPECT_EQ(page()->lstStatSch->count(), 2);
  ui_.events.clear();
  ui_.answers = {MsgAnswer::Yes};
  page()->cmdDelete->click();
  EXPECT_EQ(ui_.events, (std::vector<std::string>{BoxOf(kTextDataLossQuestion),
                                                  StatusOf(kTextActionSuccessful)}));
  EXPECT_EQ(Rows(), std::vector<std::string>{"12:30 Scheduled run"});
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "12:30 ");
  SetListIndex(page()->lstStatSch, 0);
  ui_.answers = {MsgAnswer::Yes};
  page()->cmdDelete->click();
  EXPECT_EQ(Stored(), (std::array<std::string, 6>{"", "", "", "", "", ""}));
}

TEST_F(SchedulePageTest, ASecondDeleteAsksNothingAndRemovesNothing) {
  StoreTimes({"06:00", "12:30", "18:00"});
  Open();
  ClickRow(page()->lstStatSch, 0);
  ui_.answers = {MsgAnswer::Yes};
  page()->cmdDelete->click();
  EXPECT_EQ(ListIndex(page()->lstStatSch), -1) << "no row is selected after a removal";
  ui_.events.clear();
  page()->cmdDelete->click();
  EXPECT_TRUE(ui_.events.empty()) << "no question without a row";
  EXPECT_EQ(Rows(), (std::vector<std::string>{"12:30 Scheduled run", "18:00 Scheduled run"}));
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "12:30 18:00 ");
}

TEST_F(SchedulePageTest, CancelBringsBackTheStoredList) {
  StoreTimes({"06:00"});
  Open();
  AddTime("08:00");
  ASSERT_EQ(page()->lstStatSch->count(), 2);
  // Leaving the page and coming back keeps the unsaved row.
  ShowNodeForm(QStringLiteral("ndKeepDays"));
  ShowNodeForm(QStringLiteral("ndSchStati"));
  EXPECT_EQ(page()->lstStatSch->count(), 2);
  ui_.events.clear();
  page()->cmdCancel->click();
  EXPECT_EQ(Rows(), std::vector<std::string>{"06:00 Scheduled run"});
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(SchedulePageTest, DialogCancelAndEscapeKeepTheRows) {
  StoreTimes({"06:00", "12:30"});
  Open();
  SetListIndex(page()->lstStatSch, 1);
  page()->cmdAdd->click();
  dialog()->txtSchTime->setText("09:00");
  ui_.events.clear();
  QTest::keyClick(dialog()->txtSchTime, Qt::Key_Escape);
  Settle();
  EXPECT_TRUE(page()->IsActive());
  EXPECT_EQ(page()->lstStatSch->count(), 2);
  EXPECT_EQ(ListIndex(page()->lstStatSch), 1);
  EXPECT_EQ(QApplication::focusWidget(), page()->lstStatSch);
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
  // Enter in the dialog runs its OK.
  page()->cmdAdd->click();
  dialog()->txtSchTime->setText("09:00");
  QTest::keyClick(dialog()->txtSchTime, Qt::Key_Return);
  Settle();
  EXPECT_EQ(page()->lstStatSch->count(), 3);
  // Enter on the page saves.
  QTest::keyClick(page()->lstStatSch, Qt::Key_Return);
  EXPECT_EQ(ConfigText(zmo::cfg::kStatiSchedule), "06:00 09:00 12:30 ");
}

TEST_F(SchedulePageTest, AFailedWriteIsNoSuccess) {
  StoreTimes({"06:00"});
  Open();
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  page()->cmdOK->click();
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionFailed));
  for (const std::string& e : ui_.events) EXPECT_NE(e, StatusOf(kTextActionSuccessful));
}

TEST_F(SchedulePageTest, RendersThePageAndItsDialog) {
  StoreTimes({"06:00", "12:30", "18:00", "22:15"});
  Open();
  SetListIndex(page()->lstStatSch, 1);
  SelectNode("ndSchedule", "ndSchStati");
  Render("zmoconfig_schedule.png");
  page()->cmdAdd->click();
  dialog()->txtSchTime->setText("7:05");
  Render("zmoconfig_add_schedule.png");
}

}  // namespace
