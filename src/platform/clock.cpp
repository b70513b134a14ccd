#include "platform/clock.h"

namespace zmo {

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

std::int64_t ClockNowMillis() { return CurrentEnv().NowMillis(); }

std::time_t ClockNow() {
  std::int64_t ms = ClockNowMillis();
  // Floor division, so times before 1970 round down like time() would.
  return static_cast<std::time_t>(ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000));
}

void ClockSleepMillis(std::int64_t ms) { CurrentEnv().SleepMillis(ms); }

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
