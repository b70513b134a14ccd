// The start: "-D" on the command line, the 3-second rule on the settable
// clock, BinDir and the group loads before the main window, the splash gone
// after, and the warning when BinDir is missing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "MDIMainForm.h"
#include "frmSplash.h"
#include "pages_support.h"
#include "platform/clock.h"
#include "zmo_test/time.h"
#include "zmogdlib/config_key.h"

using namespace zmo::config;

namespace {

TEST(CommandLine, DashDInAnyCaseAnywhereSkipsTheWait) {
  const struct {
    QStringList args;
    bool skips;
  } cases[] = {
      {{}, false},          {{"-D"}, true},   {{"-d"}, true}, {{"x", "-d"}, true},
      {{"--debug"}, true},  {{"a-db"}, true}, {{"-"}, false}, {{"-", "D"}, false},
      {{"d", "-x"}, false}, {{"/D"}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CommandLineSkipsWait(c.args), c.skips) << c.args.join(' ').toStdString();
}

// A local wall-clock moment in milliseconds, as the fake clock takes it.
std::int64_t LocalMillis(int year, int month, int day, int h, int m, int s) {
  return static_cast<std::int64_t>(zmo_test::LocalTime(year, month, day, h, m, s)) * 1000;
}

class SplashTest : public PagesTest {
 protected:
  void TearDown() override {
    delete MainForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // Runs the start with the given command line and load time; returns the
  // milliseconds the tick took on the clock.
  std::int64_t Start(const QStringList& args, std::int64_t start_ms, std::int64_t load_ms) {
    zmo::ScopedFakeClock clock(start_ms);
    splash_ = new frmSplash(args);
    splash_->LoadGroups = [this, &clock, load_ms] {
      bin_dir_at_load_ = gBinDir;
      main_at_load_ = MainForm() != nullptr;
      clock->Advance(load_ms);
      ++loads_;
    };
    splash_->Show();
    splash_->tmrSplash_Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return clock->NowMillis() - start_ms;
  }

  QPointer<frmSplash> splash_;
  std::string bin_dir_at_load_;
  bool main_at_load_ = true;
  int loads_ = 0;
};

TEST_F(SplashTest, LoadStartsTheOneShotTimerWithThePictureSize) {
  frmSplash splash({});
  splash.Show();
  EXPECT_TRUE(splash.tmrSplash->isActive());
  EXPECT_EQ(splash.tmrSplash->interval(), kSplashTimerMillis);
  EXPECT_EQ(splash.size(), QSize(521, 396));
  EXPECT_EQ(splash.imgSplash->pixmap().size(), QSize(521, 396));
  EXPECT_FALSE(splash.SkipWait());
  splash.Unload();
}

// Before the event loop runs, Qt handles pending events while it makes a
// splash-screen window visible. A tick already due then (a zero interval
// here; on a busy machine the 100 ms pass while the window is made) leaves
// the start-up to a later tick: run inside Show it unloaded the splash in the
// middle of its own showing, and Qt went on with the deleted window.
TEST_F(SplashTest, ATickDueWhileTheSplashIsShownRunsTheStartAfterShow) {
  zmo::ScopedFakeClock clock(0);
  QPointer<frmSplash> splash = new frmSplash({"-D"});
  splash->LoadGroups = [this] { ++loads_; };
  splash->tmrSplash->setInterval(0);
  splash->Show();
  EXPECT_EQ(loads_, 0) << "no start-up inside Show";
  EXPECT_EQ(MainForm(), nullptr);
  ASSERT_FALSE(splash.isNull());
  EXPECT_TRUE(splash->IsLoaded());
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->tmrSplash->isActive()) << "the timer ticks again";

  // The next pass of events ticks again and does the start.
  QCoreApplication::processEvents();
  EXPECT_EQ(loads_, 1);
  ASSERT_NE(MainForm(), nullptr);
  EXPECT_TRUE(MainForm()->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull()) << "the splash is unloaded";
}

TEST_F(SplashTest, WaitsThreeSecondsCountingTheLoads) {
  zmo_test::ScopedTz tz(zmo_test::kTzCentralEurope);
  const std::int64_t start = LocalMillis(2026, 3, 10, 9, 0, 0);
  const struct {
    const char* what;
    QStringList args;
    std::int64_t start_ms;
    std::int64_t load_ms;
    std::int64_t min_ms, max_ms;  // how long the tick may take
  } cases[] = {
      {"plain start", {}, start, 0, 3000, 3019},
      {"loads count toward the wait", {}, start, 1200, 3000, 3019},
      {"loads longer than the wait", {}, start, 5000, 5000, 5000},
      {"-d opens at once", {"-d"}, start, 0, 0, 0},
      {"-D after slow loads", {"x", "-D"}, start, 4000, 4000, 4000},
      {"just before midnight", {}, LocalMillis(2026, 3, 10, 23, 59, 58) + 500, 0, 3000, 3019},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::int64_t took = Start(c.args, c.start_ms, c.load_ms);
    EXPECT_GE(took, c.min_ms);
    EXPECT_LE(took, c.max_ms);
    EXPECT_EQ(loads_, 1) << "the group files are loaded either way";
    EXPECT_FALSE(main_at_load_) << "before the main window";
    ASSERT_NE(MainForm(), nullptr);
    EXPECT_TRUE(MainForm()->isVisible());
    EXPECT_TRUE(splash_.isNull()) << "the splash is unloaded";
    delete MainForm();
    loads_ = 0;
  }
}

TEST_F(SplashTest, ReadsBinDirBeforeTheLoadsAndWarnsOnceWhenItIsMissing) {
  zmo_test::PutConfigText(zmo::cfg::kBinDir, bin_dir_);
  gBinDir.clear();
  Start({"-D"}, 0, 0);
  EXPECT_EQ(bin_dir_at_load_, bin_dir_);
  EXPECT_EQ(gBinDir, bin_dir_);
  for (const std::string& e : ui_.events) EXPECT_EQ(e.rfind("box ", 0), std::string::npos) << e;
  delete MainForm();

  zmo_test::DeleteConfigValue(zmo::cfg::kBinDir);
  ui_.events.clear();
  Start({"-D"}, 0, 0);
  EXPECT_EQ(gBinDir, "");
  ASSERT_FALSE(ui_.events.empty());
  EXPECT_EQ(ui_.events.back(), "box KQZ7053W No value set: BinDir");
  EXPECT_EQ(ui_.box_buttons.size(), 1u);
}

TEST_F(SplashTest, LoadsTheGroupFilesOfBinDirUnderTheHourglass) {
  zmo_test::PutConfigText(zmo::cfg::kBinDir, bin_dir_);
  // Two application-group records of 39 bytes: name 35, service level 4.
  std::ofstream(bin_dir_ + "/zmoAppGroup.dat", std::ios::binary)
      << std::string("Finance") + std::string(28, ' ') + "2500" + std::string("Sales") +
             std::string(30, ' ') + "0500";
  gBinDir.clear();
  zmo::ScopedFakeClock clock(0);
  QPointer<frmSplash> splash = new frmSplash({"-d"});
  splash->Show();
  splash->tmrSplash_Timer();
  EXPECT_EQ(gAppGroupCount, 2);
  ASSERT_EQ(gAppGroups.size(), 3u);
  EXPECT_EQ(gAppGroups[1][1], "Finance");
  EXPECT_EQ(gAppGroups[2][2], "0500");
  EXPECT_EQ(gTransGroupCount, 0);
  const auto on = std::find(ui_.events.begin(), ui_.events.end(), "hourglass on");
  ASSERT_NE(on, ui_.events.end());
  EXPECT_NE(std::find(on, ui_.events.end(), "hourglass off"), ui_.events.end());
}

TEST_F(SplashTest, SecondInstanceEndsWithoutTheBinDirWarning) {
  InstanceLock first;
  ASSERT_TRUE(first.Acquire());
  zmo_test::DeleteConfigValue(zmo::cfg::kBinDir);
  const std::int64_t took = Start({}, 0, 0);
  EXPECT_GE(took, 3000) << "the second instance shows the splash for the usual time";
  EXPECT_EQ(ui_.ends, 1);
  EXPECT_TRUE(ui_.box_buttons.empty());
}

}  // namespace
