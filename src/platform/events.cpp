#include "platform/events.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/clock.h"

namespace {

struct Event {
  std::mutex mu;
  std::condition_variable cv;
  bool manual_reset = false;
  bool signalled = false;

  // Takes the signal if it is there; an auto-reset event is reset by the
  // wait it lets through. Call with mu held.
  bool TakeLocked() {
    if (!signalled) return false;
    if (!manual_reset) signalled = false;
    return true;
  }
};

// Every open handle of the process. Handles are small numbers, never
// pointers, so a closed or forged handle is found out instead of followed.
struct HandleTable {
  std::mutex mu;
  std::uintptr_t next = 0x100;
  std::map<std::uintptr_t, std::shared_ptr<Event>> events;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

std::shared_ptr<Event> FindEvent(HANDLE handle) {
  HandleTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mu);
  auto it = t.events.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == t.events.end()) return nullptr;
  return it->second;
}

std::shared_ptr<Event> FindEventOrFail(HANDLE handle) {
  std::shared_ptr<Event> e = FindEvent(handle);
  if (!e) SetLastError(ERROR_INVALID_HANDLE);
  return e;
}

BOOL SetSignalled(HANDLE handle, bool signalled) {
  std::shared_ptr<Event> e = FindEventOrFail(handle);
  if (!e) return FALSE;
  {
    std::lock_guard<std::mutex> lock(e->mu);
    e->signalled = signalled;
  }
  if (signalled) {
    if (e->manual_reset) {
      e->cv.notify_all();
    } else {
      e->cv.notify_one();
    }
  }
  return TRUE;
}

// A timed wait under a fake clock: no real time passes. The clock moves on by
// the time-out (its hook may set the event at that moment), then the state
// decides.
DWORD WaitOnFakeClock(Event& e, DWORD timeout_ms) {
  zmo::ClockSleepMillis(timeout_ms);
  std::lock_guard<std::mutex> lock(e.mu);
  return e.TakeLocked() ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD WaitOnRealClock(Event& e, DWORD timeout_ms) {
  std::unique_lock<std::mutex> lock(e.mu);
  if (timeout_ms == INFINITE) {
    e.cv.wait(lock, [&] { return e.signalled; });
  } else {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    if (!e.cv.wait_until(lock, deadline, [&] { return e.signalled; })) return WAIT_TIMEOUT;
  }
  e.TakeLocked();
  return WAIT_OBJECT_0;
}

}  // namespace

extern "C" HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state,
                               LPCSTR name) {
  if (name && *name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto e = std::make_shared<Event>();
  e->manual_reset = manual_reset != FALSE;
  e->signalled = initial_state != FALSE;
  HandleTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mu);
  std::uintptr_t value = t.next;
  t.next += 4;
  t.events[value] = std::move(e);
  return reinterpret_cast<HANDLE>(value);
}

extern "C" BOOL SetEvent(HANDLE event) { return SetSignalled(event, true); }

extern "C" BOOL ResetEvent(HANDLE event) { return SetSignalled(event, false); }

extern "C" BOOL CloseHandle(HANDLE handle) {
  HandleTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mu);
  if (t.events.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms) {
  std::shared_ptr<Event> e = FindEventOrFail(handle);
  if (!e) return WAIT_FAILED;
  {
    std::lock_guard<std::mutex> lock(e->mu);
    if (e->TakeLocked()) return WAIT_OBJECT_0;
  }
  if (timeout_ms == 0) return WAIT_TIMEOUT;
  if (timeout_ms != INFINITE && zmo::CurrentEnv().TimeIsFake())
    return WaitOnFakeClock(*e, timeout_ms);
  return WaitOnRealClock(*e, timeout_ms);
}

extern "C" void Sleep(DWORD ms) { zmo::ClockSleepMillis(ms); }
