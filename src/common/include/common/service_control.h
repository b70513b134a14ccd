// The service half of the collectors' runtime: the options that install,
// remove, start and stop the program's own service, the service entry and
// its control handler, the status reporter, and the stop request that wakes
// the work loop and makes its RFC steps give up.
//
// Two threads meet here in a service run: the main thread inside the
// dispatcher runs the control handler and with it the stop request; the
// service thread runs serviceMain and the program's work loop.
#pragma once

#include "platform/service.h"
#include "platform/wintypes.h"

namespace zmo {

// Result of a step that gave up because of a stop request.
constexpr int kShutdownInProgress = 28;

// The options of the program's own service, by argv[1]:
//   -sinstall [-auto]  serviceInstall       -sstart  serviceStart
//   -sremove           serviceStop, then serviceRemove
//   -sstop             serviceStop
// Each returns 0 when it did what it says, 1 when a manager or service call
// failed; the program's entry ends with exit code 0 either way.
int serviceInstall(int argc, char** argv);
int serviceRemove();
// Starts the service with argc and argv as its start arguments and waits
// while it is start-pending. 0 when it ended up running.
int serviceStart(int argc, char** argv);
// Sends the stop control and waits while the service is stop-pending. 0 when
// it ended up stopped.
int serviceStop();
// Runs the operation argv[1] names, if it names one. Returns 1 when it did
// (the entry then ends with exit code 0), 0 when argv[1] is no such option.
int serviceOption(int argc, char** argv);

// Runs the dispatcher with the one service {service name, serviceMain}.
// Returns 0 once the service has ended, or the dispatcher's error (1063 when
// the program was not started by the service manager).
int serviceDispatch();

// The service entry: registers the handler, reports START_PENDING and calls
// the program's work loop; when that returns, unloads zmogdlib if a late
// decryption loaded it again and reports STOPPED.
void serviceMain(DWORD argc, LPSTR* argv);
// STOP: reports STOP_PENDING and runs the stop request. INTERROGATE: reports
// the status as it stands. Other controls: nothing.
void serviceCtrlHandler(DWORD control);
// Reports a status: a non-zero exit code is a service-specific one, pending
// states carry the next checkpoint. Returns SetServiceStatus's result, or 1
// without reporting in a console run.
int reportServiceStatus(DWORD state, DWORD exit_code, DWORD controls_accepted, DWORD wait_hint);
// The status record as last reported (for INTERROGATE and tests).
SERVICE_STATUS LastServiceStatus();

// The stop request (statiStop, snapStop): unloads zmogdlib once no
// decryption is inside it, traces, sets the disconnect and the stop flag and
// signals the stop event.
void serviceStopRequest();

// Flags of the stop request; read by the work loop and every RFC step.
bool DisconnectFlag();
bool StopFlag();
// The one-shot console runs (-nr, -np) set it: no status is reported then.
void SetConsoleFlag(bool on);
bool ConsoleFlag();
// The work loop's stop event, which the stop request signals (nullptr: none).
void SetStopEvent(HANDLE event);
HANDLE StopEvent();

// Puts the flags, the event and the status record back to their start values.
void ResetServiceState();

}  // namespace zmo
