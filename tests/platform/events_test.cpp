#include "platform/events.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/clock.h"

namespace {

class EventTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HANDLE h : handles_) CloseHandle(h);
  }
  HANDLE Make(BOOL manual, BOOL initial) {
    HANDLE h = CreateEventA(nullptr, manual, initial, nullptr);
    EXPECT_NE(h, nullptr);
    handles_.push_back(h);
    return h;
  }
  std::vector<HANDLE> handles_;
};

TEST_F(EventTest, AutoResetRemembersASignalGivenWhileNobodyWaits) {
  zmo::ScopedFakeClock fake(0);
  HANDLE e = Make(FALSE, FALSE);
  ASSERT_TRUE(SetEvent(e));
  ASSERT_TRUE(SetEvent(e));  // two signals with no waiter count as one
  EXPECT_EQ(WaitForSingleObject(e, 60'000), WAIT_OBJECT_0);
  EXPECT_EQ(fake->NowMillis(), 0) << "a signalled wait takes no time";
  EXPECT_EQ(WaitForSingleObject(e, 60'000), WAIT_TIMEOUT) << "the first wait reset it";
  EXPECT_EQ(fake->NowMillis(), 60'000);
}

TEST_F(EventTest, InitialStateAndResetModes) {
  zmo::ScopedFakeClock fake(0);
  struct Case {
    BOOL manual;
    BOOL initial;
    DWORD first;
    DWORD second;
  };
  const Case cases[] = {
      {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
      {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},
      {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
      {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},  // manual: stays set
  };
  for (const Case& c : cases) {
    HANDLE e = Make(c.manual, c.initial);
    EXPECT_EQ(WaitForSingleObject(e, 10), c.first) << c.manual << c.initial;
    EXPECT_EQ(WaitForSingleObject(e, 10), c.second) << c.manual << c.initial;
  }
}

TEST_F(EventTest, ResetEventTakesBackASignal) {
  zmo::ScopedFakeClock fake(0);
  HANDLE manual = Make(TRUE, TRUE);
  HANDLE automatic = Make(FALSE, TRUE);
  for (HANDLE e : {manual, automatic}) {
    ASSERT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  }
}

TEST_F(EventTest, TimeoutOnTheFakeClockTakesNoRealTime) {
  zmo::ScopedFakeClock fake(1'000'000);
  HANDLE e = Make(FALSE, FALSE);
  // A collector's five-minute wait: returns at once with the clock moved on.
  EXPECT_EQ(WaitForSingleObject(e, 300'000), WAIT_TIMEOUT);
  EXPECT_EQ(fake->NowMillis(), 1'300'000);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  EXPECT_EQ(fake->NowMillis(), 1'300'000) << "a zero wait does not move the clock";
}

TEST_F(EventTest, SignalGivenByTheAdvanceHookEndsTheWait) {
  zmo::ScopedFakeClock fake(0);
  HANDLE e = Make(FALSE, FALSE);
  int passes = 0;
  // The stop request arrives during the third wait.
  fake->SetAdvanceHook([&](std::int64_t) {
    if (++passes == 3) SetEvent(e);
  });
  EXPECT_EQ(WaitForSingleObject(e, 60'000), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(e, 60'000), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(e, 60'000), WAIT_OBJECT_0);
  EXPECT_EQ(fake->NowMillis(), 180'000);
  fake->SetAdvanceHook(nullptr);
}

TEST_F(EventTest, InfiniteWaitUnderAFakeClockWaitsForTheSignal) {
  zmo::ScopedFakeClock fake(0);
  HANDLE e = Make(FALSE, FALSE);
  std::atomic<bool> woke{false};
  std::thread waiter([&] {
    EXPECT_EQ(WaitForSingleObject(e, INFINITE), WAIT_OBJECT_0);
    woke = true;
  });
  SetEvent(e);
  waiter.join();
  EXPECT_TRUE(woke);
  EXPECT_EQ(fake->NowMillis(), 0);
}

TEST_F(EventTest, RealClockWaitWakesOnSetFromAnotherThread) {
  HANDLE e = Make(FALSE, FALSE);
  std::thread setter([&] { SetEvent(e); });
  // Bounded only as a guard: the set ends the wait.
  EXPECT_EQ(WaitForSingleObject(e, 30'000), WAIT_OBJECT_0);
  setter.join();
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST_F(EventTest, OneSignalLetsExactlyOneOfTwoWaitersThrough) {
  HANDLE e = Make(FALSE, FALSE);
  std::atomic<int> through{0};
  auto wait = [&] {
    if (WaitForSingleObject(e, INFINITE) == WAIT_OBJECT_0) ++through;
  };
  std::thread a(wait), b(wait);
  SetEvent(e);
  // The second waiter needs a second signal; give it once the first is through.
  while (through.load() < 1) std::this_thread::yield();
  EXPECT_EQ(through.load(), 1);
  SetEvent(e);
  a.join();
  b.join();
  EXPECT_EQ(through.load(), 2);
}

TEST(EventHandleTest, BadHandlesFail) {
  HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ASSERT_NE(e, nullptr);
  ASSERT_TRUE(CloseHandle(e));
  HANDLE bad[] = {nullptr, e, reinterpret_cast<HANDLE>(0x12345)};
  for (HANDLE h : bad) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(h));
    EXPECT_FALSE(ResetEvent(h));
    EXPECT_FALSE(CloseHandle(h));
  }
}

TEST(EventHandleTest, NamedEventsAreRefused) {
  SetLastError(0);
  EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "Global\\stop"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HANDLE e = CreateEventA(nullptr, FALSE, FALSE, "");
  EXPECT_NE(e, nullptr) << "an empty name is no name";
  CloseHandle(e);
}

TEST(EventHandleTest, ClosingDuringAWaitLetsTheWaiterFinish) {
  zmo::ScopedFakeClock fake(0);
  HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  fake->SetAdvanceHook([&](std::int64_t) { CloseHandle(e); });
  EXPECT_EQ(WaitForSingleObject(e, 1000), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(e, 1000), WAIT_FAILED);
  fake->SetAdvanceHook(nullptr);
}

TEST(SleepTest, GoesThroughTheClock) {
  zmo::ScopedFakeClock fake(5);
  Sleep(500);
  Sleep(0);
  EXPECT_EQ(fake->NowMillis(), 505);
}

}  // namespace
