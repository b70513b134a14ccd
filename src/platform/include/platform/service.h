// The service control manager with the Windows names (see docs/services.md).
//
// A service is recorded in the registry store under the key
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\<name>: ImagePath
// (the program), DisplayName, Type, Start, ErrorControl, and Status, the
// status the service published with its process id. StartServiceA starts
// the program detached and marks its environment; only a program started so
// can run StartServiceCtrlDispatcherA. Control requests reach the service
// process as signals: SIGTERM is SERVICE_CONTROL_STOP, SIGUSR1 is
// SERVICE_CONTROL_INTERROGATE. A status whose process is gone reads as
// SERVICE_STOPPED.
#pragma once

#include "platform/wintypes.h"

struct ZmoScHandle;             // opaque: the manager or one service
struct ZmoServiceStatusHandle;  // opaque: the status channel of the running service
using SC_HANDLE = ZmoScHandle*;
using SERVICE_STATUS_HANDLE = ZmoServiceStatusHandle*;

struct SERVICE_STATUS {
  DWORD dwServiceType;
  DWORD dwCurrentState;
  DWORD dwControlsAccepted;
  DWORD dwWin32ExitCode;
  DWORD dwServiceSpecificExitCode;
  DWORD dwCheckPoint;
  DWORD dwWaitHint;
};
using LPSERVICE_STATUS = SERVICE_STATUS*;

using LPSERVICE_MAIN_FUNCTIONA = void (*)(DWORD argc, LPSTR* argv);
using LPHANDLER_FUNCTION = void (*)(DWORD control);

struct SERVICE_TABLE_ENTRYA {
  LPSTR lpServiceName;
  LPSERVICE_MAIN_FUNCTIONA lpServiceProc;
};

// Service type (the only kind run here) and start types.
constexpr DWORD SERVICE_WIN32_OWN_PROCESS = 0x00000010;
constexpr DWORD SERVICE_AUTO_START = 2;
constexpr DWORD SERVICE_DEMAND_START = 3;
constexpr DWORD SERVICE_DISABLED = 4;
constexpr DWORD SERVICE_ERROR_IGNORE = 0;
constexpr DWORD SERVICE_ERROR_NORMAL = 1;

// States.
constexpr DWORD SERVICE_STOPPED = 1;
constexpr DWORD SERVICE_START_PENDING = 2;
constexpr DWORD SERVICE_STOP_PENDING = 3;
constexpr DWORD SERVICE_RUNNING = 4;
constexpr DWORD SERVICE_CONTINUE_PENDING = 5;
constexpr DWORD SERVICE_PAUSE_PENDING = 6;
constexpr DWORD SERVICE_PAUSED = 7;

// Controls and the controls a service accepts.
constexpr DWORD SERVICE_CONTROL_STOP = 1;
constexpr DWORD SERVICE_CONTROL_INTERROGATE = 4;
constexpr DWORD SERVICE_ACCEPT_STOP = 1;

// Access rights (kept for the callers; every handle may do everything).
constexpr DWORD SC_MANAGER_ALL_ACCESS = 0xF003F;
constexpr DWORD SERVICE_ALL_ACCESS = 0xF01FF;

// Results of this manager beyond wintypes.h.
constexpr LONG ERROR_INVALID_NAME = 123;
constexpr LONG ERROR_BAD_EXE_FORMAT = 193;
constexpr LONG ERROR_INVALID_SERVICE_CONTROL = 1052;
constexpr LONG ERROR_SERVICE_DISABLED = 1058;
constexpr LONG ERROR_SERVICE_SPECIFIC_ERROR = 1066;
constexpr LONG ERROR_PROCESS_ABORTED = 1067;

extern "C" {
// The manager of this machine: machine must be null or "" (else
// ERROR_INVALID_PARAMETER); database is ignored.
SC_HANDLE OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access);
// Records a service. ERROR_SERVICE_EXISTS when it is recorded already,
// ERROR_SERVICE_MARKED_FOR_DELETE while a deleted one still runs,
// ERROR_INVALID_NAME for an empty name or one with '\' or '/',
// ERROR_INVALID_PARAMETER for another type than SERVICE_WIN32_OWN_PROCESS,
// a bad start type or an empty binary path. binary_path is the program file
// itself (no arguments). The account arguments are ignored: a service runs as
// the user who starts it.
SC_HANDLE CreateServiceA(SC_HANDLE manager, LPCSTR name, LPCSTR display_name, DWORD access,
                         DWORD service_type, DWORD start_type, DWORD error_control,
                         LPCSTR binary_path, LPCSTR load_order_group, LPDWORD tag_id,
                         LPCSTR dependencies, LPCSTR service_start_name, LPCSTR password);
// ERROR_SERVICE_DOES_NOT_EXIST when the service is not recorded.
SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access);
// Removes the record at once when the service is stopped; a running one is
// marked and removed when it stops (ERROR_SERVICE_MARKED_FOR_DELETE when it
// is marked already).
BOOL DeleteService(SC_HANDLE service);
// Starts the program detached. The service's ServiceMain receives the
// service name, then argv[0..argc). ERROR_SERVICE_ALREADY_RUNNING when it
// runs; ERROR_SERVICE_DISABLED; ERROR_FILE_NOT_FOUND or ERROR_ACCESS_DENIED
// when the program cannot be started.
BOOL StartServiceA(SC_HANDLE service, DWORD argc, const char* const* argv);
// Delivers SERVICE_CONTROL_STOP or SERVICE_CONTROL_INTERROGATE to the service
// process and returns its current status in *status. The handler runs in the
// service process right after; callers poll QueryServiceStatus for the
// outcome. ERROR_SERVICE_NOT_ACTIVE when it does not run,
// ERROR_SERVICE_CANNOT_ACCEPT_CTRL when it does not accept the control now,
// ERROR_INVALID_SERVICE_CONTROL for other controls.
BOOL ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status);
BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status);
BOOL CloseServiceHandle(SC_HANDLE handle);

// In a program started by StartServiceA: runs the table's service (the entry
// of that name, or the first) on a second thread and delivers control
// requests to its handler on the calling thread; returns TRUE once ServiceMain
// has returned. Call it before starting other threads, so that the control
// signals reach this thread. In a program not started so it fails at once
// with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT.
BOOL StartServiceCtrlDispatcherA(const SERVICE_TABLE_ENTRYA* table);
// From ServiceMain: the handler of the dispatched service. Null with
// ERROR_SERVICE_DOES_NOT_EXIST when no dispatcher runs that service.
SERVICE_STATUS_HANDLE RegisterServiceCtrlHandlerA(LPCSTR name, LPHANDLER_FUNCTION handler);
// Publishes the status with this process's id. ERROR_INVALID_HANDLE for a
// handle that is not the dispatched service's, ERROR_INVALID_DATA for an
// unknown state.
BOOL SetServiceStatus(SERVICE_STATUS_HANDLE handle, LPSERVICE_STATUS status);
}

namespace zmo {
// The environment marks of a process that StartServiceA started: the service
// name and its start arguments (a command line). The dispatcher removes them,
// so the service's own children do not carry them.
constexpr const char* kServiceNameEnv = "ZMO_SERVICE";
constexpr const char* kServiceArgsEnv = "ZMO_SERVICE_ARGS";
}  // namespace zmo
