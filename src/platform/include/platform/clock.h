// The time of the whole system: now, local time and sleep, asked of the Env
// in force (env.h).
//
// Production code asks these functions for the time and sleeps through them;
// tests install a FakeClock so that waits of minutes take no real time and
// schedules can be driven to any moment.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>

#include "platform/env.h"

namespace zmo {

// A settable clock: the time part of an Env (env.h), everything else handed
// on to the Env beneath it. Sleeping advances it at once. An optional hook
// runs after every advance, so a test can act at a given moment (give a stop
// request after the third pass of a loop, say).
class FakeClock : public EnvWrapper {
 public:
  explicit FakeClock(std::int64_t start_ms = 0) : now_ms_(start_ms) {}
  std::int64_t NowMillis() override { return now_ms_.load(); }
  void SleepMillis(std::int64_t ms) override { Advance(ms); }
  bool TimeIsFake() override { return true; }

  void SetMillis(std::int64_t ms) { now_ms_.store(ms); }
  void SetTime(std::time_t seconds) { now_ms_.store(static_cast<std::int64_t>(seconds) * 1000); }
  void Advance(std::int64_t ms);
  // The hook is called with the new time after each advance.
  void SetAdvanceHook(std::function<void(std::int64_t)> hook);

 private:
  std::atomic<std::int64_t> now_ms_;
  std::mutex hook_mu_;
  std::function<void(std::int64_t)> hook_;
};

// The time of the Env in force (env.h).
std::int64_t ClockNowMillis();
std::time_t ClockNow();
void ClockSleepMillis(std::int64_t ms);
// Broken-down local time of t under the process's TZ (daylight saving included).
std::tm ClockLocalTime(std::time_t t);
// Broken-down UTC time of t.
std::tm ClockGmTime(std::time_t t);

// Installs a FakeClock for the lifetime of the object (for tests).
class ScopedFakeClock {
 public:
  explicit ScopedFakeClock(std::int64_t start_ms = 0) : clock_(start_ms), installed_(&clock_) {}
  FakeClock& clock() { return clock_; }
  FakeClock* operator->() { return &clock_; }

 private:
  FakeClock clock_;
  ScopedEnv installed_;
};

}  // namespace zmo
