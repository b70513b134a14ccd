// The snapshot-days page (weekday mask and interval) and the retention page
// (days with their minus sign) driven as the user does: what a stored value
// shows, what OK stores or refuses, Cancel, and a failed write.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>
#include <string>
#include <vector>

#include "controls.h"
#include "frmKeepDays.h"
#include "frmSnapConfig.h"
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

// Monday first, as the mask's bits.
using Ticks = std::array<bool, 7>;
constexpr bool T = true;
constexpr bool F = false;

class SnapPageTest : public PageWindowTest {
 protected:
  void Open() { PageWindowTest::Open<frmSnapConfig>(); }
  frmSnapConfig* page() const { return Page<frmSnapConfig>(); }
  Ticks Shown() const {
    Ticks ticks{};
    for (int d = 0; d < 7; ++d) ticks[d] = page()->DayBoxes()[d]->isChecked();
    return ticks;
  }
  void Tick(const Ticks& ticks) {
    for (int d = 0; d < 7; ++d) page()->DayBoxes()[d]->setChecked(ticks[d]);
  }
};

// The boxes a stored mask ticks; whatever was ticked before is cleared.
TEST_F(SnapPageTest, StoredMaskTicksItsDays) {
  struct Case {
    const char* stored;  // nullptr: no value
    Ticks ticks;
  };
  const Case cases[] = {
      {"2", {F, T, F, F, F, F, F}},     {"127", {T, T, T, T, T, T, T}},
      {"0", {F, F, F, F, F, F, F}},     {"6", {F, T, T, F, F, F, F}},
      {"69", {T, F, T, F, F, F, T}},    {"64", {F, F, F, F, F, F, T}},
      {nullptr, {F, F, F, F, F, F, F}}, {"128", {F, F, F, F, F, F, F}},
      {"-1", {F, F, F, F, F, F, F}},    {"abc", {F, F, F, F, F, F, F}},
  };
  PutConfigText(zmo::cfg::kSnapSleepTime, "300");
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(missing)");
    if (c.stored) {
      PutConfigText(zmo::cfg::kSnapRunDays, c.stored);
    } else {
      zmo_test::DeleteConfigValue(zmo::cfg::kSnapRunDays);
    }
    Tick({T, T, T, T, T, T, T});
    page()->cmdCancel->click();  // shows the stored values again
    EXPECT_EQ(Shown(), c.ticks);
    EXPECT_EQ(page()->txtSnapSleep->text(), "300");
  }
}

TEST_F(SnapPageTest, ActivationShowsTheStoredValuesAndTexts) {
  PutConfigText(zmo::cfg::kSnapRunDays, "31");
  PutConfigText(zmo::cfg::kSnapSleepTime, "12345");  // longer than the box takes
  Open();
  EXPECT_EQ(Shown(), (Ticks{T, T, T, T, T, F, F}));
  EXPECT_EQ(page()->txtSnapSleep->text(), "12345");
  EXPECT_EQ(MaxLength(page()->txtSnapSleep), 4);
  EXPECT_EQ(page()->chkMonday->text(), "&Monday");
  EXPECT_EQ(CurrentFormName(), "frmSnapConfig");
  EXPECT_EQ(ui_.StatusLine(), CatalogText(kTextReady));
  page()->cmdOK->click();
  EXPECT_EQ(ui_.events,
            (std::vector<std::string>{BoxOf(kTextSleepRange), StatusOf(kTextActionFailed)}));
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapSleepTime), "12345");
}

// What OK does with a typed interval and Monday, Wednesday and Sunday ticked.
TEST_F(SnapPageTest, IntervalsAndTheStoredMask) {
  struct Case {
    const char* typed;
    int refusal;        // 0: stored
    const char* shown;  // the box afterwards and the stored value
  };
  const Case cases[] = {
      {"1800", 0, "1800"}, {"1", 0, "1"},  {"12.6", 0, "13"}, {"060", 0, "60"}, {"1801", 1413, ""},
      {"0", 1414, ""},     {"", 1414, ""}, {"abc", 1414, ""}, {"-5", 1413, ""}, {"0.4", 1414, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    PutConfigText(zmo::cfg::kSnapSleepTime, "300");
    PutConfigText(zmo::cfg::kSnapRunDays, "0");
    Open();
    Tick({T, F, T, F, F, F, T});
    page()->txtSnapSleep->setText(c.typed);
    ui_.events.clear();
    page()->cmdOK->click();
    if (c.refusal == 0) {
      EXPECT_EQ(ui_.events, std::vector<std::string>{StatusOf(kTextActionSuccessful)});
      EXPECT_EQ(page()->txtSnapSleep->text(), c.shown);
      EXPECT_EQ(ConfigText(zmo::cfg::kSnapSleepTime), c.shown);
      EXPECT_EQ(ConfigText(zmo::cfg::kSnapRunDays), "69");
    } else {
      EXPECT_EQ(ui_.events,
                (std::vector<std::string>{BoxOf(c.refusal), StatusOf(kTextActionFailed)}));
      EXPECT_EQ(QApplication::focusWidget(), page()->txtSnapSleep);
      EXPECT_EQ(ConfigText(zmo::cfg::kSnapSleepTime), "300") << "a refusal writes nothing";
      EXPECT_EQ(ConfigText(zmo::cfg::kSnapRunDays), "0");
    }
    delete main_.data();
    Settle();
  }
}

TEST_F(SnapPageTest, NoDayTickedStoresZeroAndEnterSaves) {
  PutConfigText(zmo::cfg::kSnapRunDays, "127");
  PutConfigText(zmo::cfg::kSnapSleepTime, "60");
  Open();
  Tick({F, F, F, F, F, F, F});
  page()->txtSnapSleep->setFocus();
  QTest::keyClick(page()->txtSnapSleep, Qt::Key_Return);
  EXPECT_EQ(ConfigText(zmo::cfg::kSnapRunDays), "0");
}

TEST_F(SnapPageTest, CancelAndEscapeShowTheStoredValuesAgain) {
  PutConfigText(zmo::cfg::kSnapRunDays, "2");
  PutConfigText(zmo::cfg::kSnapSleepTime, "60");
  Open();
  Tick({T, F, F, F, F, F, T});
  page()->txtSnapSleep->setText("900");
  page()->txtSnapSleep->setFocus();
  QTest::keyClick(page()->txtSnapSleep, Qt::Key_Escape);
  EXPECT_EQ(Shown(), (Ticks{F, T, F, F, F, F, F}));
  EXPECT_EQ(page()->txtSnapSleep->text(), "60");
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
}

TEST_F(SnapPageTest, AFailedWriteIsNoSuccess) {
  PutConfigText(zmo::cfg::kSnapSleepTime, "60");
  Open();
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  page()->cmdOK->click();
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionFailed));
  for (const std::string& e : ui_.events) EXPECT_NE(e, StatusOf(kTextActionSuccessful));
}

class KeepDaysPageTest : public PageWindowTest {
 protected:
  void Open() { PageWindowTest::Open<frmKeepDays>(); }
  frmKeepDays* page() const { return Page<frmKeepDays>(); }
};

TEST_F(KeepDaysPageTest, StoredRetentionShows) {
  struct Case {
    const char* stored;  // nullptr: no value
    const char* shown;
    int status;
  };
  const Case cases[] = {
      {"-45", "45", kTextReady},
      {"-365", "365", kTextReady},
      {"45", "45", kTextReady},             // stored without its minus sign: shown as it is
      {nullptr, "typed", kTextNoValueSet},  // the box keeps its text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(missing)");
    if (c.stored) {
      PutConfigText(zmo::cfg::kDetailKeepDays, c.stored);
    } else {
      zmo_test::DeleteConfigValue(zmo::cfg::kDetailKeepDays);
    }
    Open();
    page()->txtDetailKeepDays->setText("typed");
    page()->cmdCancel_Click();
    EXPECT_EQ(page()->txtDetailKeepDays->text(), c.shown);
    ASSERT_GE(ui_.events.size(), 2u);
    EXPECT_EQ(ui_.events[ui_.events.size() - 2], StatusOf(c.status));
    EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionCancelled));
    delete main_.data();
    Settle();
  }
}

TEST_F(KeepDaysPageTest, ActivationShowsTitleAndValue) {
  PutConfigText(zmo::cfg::kDetailKeepDays, "-30");
  Open();
  EXPECT_EQ(page()->txtDetailKeepDays->text(), "30");
  EXPECT_EQ(MaxLength(page()->txtDetailKeepDays), 4);
  EXPECT_EQ(page()->lblTitle->text(), "Repository database retention period");
  EXPECT_EQ(CurrentFormName(), "frmKeepDays");
  EXPECT_EQ(ui_.StatusLine(), CatalogText(kTextReady));
}

// What OK does with typed days.
TEST_F(KeepDaysPageTest, TypedDays) {
  struct Case {
    const char* typed;
    int refusal;  // 0: stored
    const char* stored;
    bool selects;  // the refusal selects the text
  };
  const Case cases[] = {
      {"15", 0, "-15", false},    {"365", 0, "-365", false}, {"030", 0, "-30", false},
      {"14", 1419, "", false},    {"366", 1419, "", false},  {"3.5", 1418, "", true},
      {"abc", 1420, "", false},   {"", 1420, "", false},     {"-30", 1418, "", true},
      {"0365", 0, "-365", false}, {"9999", 1419, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    PutConfigText(zmo::cfg::kDetailKeepDays, "-45");
    Open();
    page()->txtDetailKeepDays->setText(c.typed);
    ui_.events.clear();
    page()->cmdOK->click();
    if (c.refusal == 0) {
      EXPECT_EQ(ui_.events, std::vector<std::string>{StatusOf(kTextActionSuccessful)});
      EXPECT_EQ(ConfigText(zmo::cfg::kDetailKeepDays), c.stored);
    } else {
      EXPECT_EQ(ui_.events,
                (std::vector<std::string>{BoxOf(c.refusal), StatusOf(kTextActionFailed)}));
      EXPECT_EQ(ConfigText(zmo::cfg::kDetailKeepDays), "-45");
      EXPECT_EQ(!page()->txtDetailKeepDays->selectedText().isEmpty(), c.selects);
    }
    delete main_.data();
    Settle();
  }
}

TEST_F(KeepDaysPageTest, EnterSavesAndAFailedWriteIsNoSuccess) {
  PutConfigText(zmo::cfg::kDetailKeepDays, "-45");
  Open();
  page()->txtDetailKeepDays->setText("60");
  page()->txtDetailKeepDays->setFocus();
  QTest::keyClick(page()->txtDetailKeepDays, Qt::Key_Return);
  EXPECT_EQ(ConfigText(zmo::cfg::kDetailKeepDays), "-60");
  zmo_test::WriteFile(dir_ / "plain", "");
  zmo_test::ScopedEnv store("ZMO_REGISTRY", dir_ / "plain/registry");
  ui_.events.clear();
  page()->cmdOK->click();
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), StatusOf(kTextActionFailed));
  for (const std::string& e : ui_.events) EXPECT_NE(e, StatusOf(kTextActionSuccessful));
}

TEST_F(KeepDaysPageTest, RendersBothPages) {
  PutConfigText(zmo::cfg::kDetailKeepDays, "-45");
  PutConfigText(zmo::cfg::kSnapRunDays, "31");
  PutConfigText(zmo::cfg::kSnapSleepTime, "300");
  Open();
  SelectNode("ndInitialConfig", "ndKeepDays");
  Render("zmoconfig_keep_days.png");
  main_->ShowPage<frmSnapConfig>();
  SelectNode("ndSchedule", "ndSnapConfig");
  Render("zmoconfig_snap_config.png");
}

}  // namespace
