#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace zmo {
namespace {

class RealClock : public Clock {
 public:
  std::int64_t NowMillis() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  }
  void SleepMillis(std::int64_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

RealClock g_real_clock;
std::atomic<Clock*> g_clock{&g_real_clock};

}  // namespace

void FakeClock::Advance(std::int64_t ms) {
  std::int64_t now = now_ms_.fetch_add(ms) + ms;
  std::function<void(std::int64_t)> hook;
  {
    std::lock_guard<std::mutex> lock(hook_mu_);
    hook = hook_;
  }
  if (hook) hook(now);
}

void FakeClock::SetAdvanceHook(std::function<void(std::int64_t)> hook) {
  std::lock_guard<std::mutex> lock(hook_mu_);
  hook_ = std::move(hook);
}

Clock& CurrentClock() { return *g_clock.load(); }

void SetClock(Clock* clock) { g_clock.store(clock ? clock : &g_real_clock); }

std::int64_t ClockNowMillis() { return CurrentClock().NowMillis(); }

std::time_t ClockNow() {
  std::int64_t ms = ClockNowMillis();
  // Floor division, so times before 1970 round down like time() would.
  return static_cast<std::time_t>(ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000));
}

void ClockSleepMillis(std::int64_t ms) { CurrentClock().SleepMillis(ms); }

std::tm ClockLocalTime(std::time_t t) {
  std::tm out{};
  localtime_r(&t, &out);
  return out;
}

std::tm ClockGmTime(std::time_t t) {
  std::tm out{};
  gmtime_r(&t, &out);
  return out;
}

}  // namespace zmo
