// A service made of the common runtime and a work loop that waits for the
// stop request, for the service tests. It traces its start arguments into the
// directory named by ZMO_PROBE_DIR.
#include <cstdlib>

#include "common/runtime_state.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/events.h"

namespace {

int ProbeLoop(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) zmo::writeTrace("arg <%s>\n", argv[i]);
  zmo::reportServiceStatus(SERVICE_START_PENDING, 0, 0, 3000);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) {
    zmo::reportServiceStatus(SERVICE_STOPPED, 3, SERVICE_ACCEPT_STOP, 0);
    return 1;
  }
  zmo::SetStopEvent(event);
  while (zmo::StopFlag() == 0) {
    zmo::reportServiceStatus(SERVICE_RUNNING, 0, SERVICE_ACCEPT_STOP, 3000);
    if (WaitForSingleObject(event, 600000) != WAIT_TIMEOUT) break;
  }
  zmo::writeTrace("work loop ends\n");
  zmo::reportServiceStatus(SERVICE_STOPPED, 0, SERVICE_ACCEPT_STOP, 0);
  zmo::SetStopEvent(nullptr);
  CloseHandle(event);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  zmo::ConsoleProgramConfig program = zmo::StatiProgramConfig();
  program.work_loop = ProbeLoop;
  zmo::SetConsoleProgram(program);
  if (const char* dir = std::getenv("ZMO_PROBE_DIR")) {
    zmo::Runtime().program_dir = dir;
    zmo::SetTraceSwitch(1);
  }
  if (zmo::serviceOption(argc, argv)) return 0;
  if (argc == 1) return zmo::serviceDispatch() == 0 ? 0 : 1;
  return 2;
}
