// Events and waits with the Windows names. An event is set or not set; an
// auto-reset event lets exactly one wait through per signal and remembers a
// signal given while nobody waits. Waits and Sleep go through the clock seam
// (platform/clock.h): under a fake clock a timed wait that is not already
// signalled advances the clock by its time-out and returns at once.
#pragma once

#include "platform/wintypes.h"

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD INFINITE = 0xFFFFFFFFu;

extern "C" {
// Creates an unnamed event; a name is refused (ERROR_INVALID_PARAMETER),
// since nothing here shares events between processes. Security attributes
// are accepted and ignored. Returns nullptr on failure.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manual_reset, BOOL initial_state,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// Closes a handle. A thread still waiting on the event keeps it alive until
// its wait ends.
BOOL CloseHandle(HANDLE handle);
// WAIT_OBJECT_0 when the event is (or becomes) set within timeout_ms,
// WAIT_TIMEOUT when not, WAIT_FAILED (with GetLastError) for a handle that is
// not an open event. INFINITE waits for the signal, also under a fake clock.
DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms);
// Lets ms milliseconds pass on the clock in force.
void Sleep(DWORD ms);
}
