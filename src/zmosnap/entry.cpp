// The process entry: one option in argv[1] selects what zmosnap does.

#include "zmosnap/entry.h"

#include <cstring>

#include "common/console_program.h"
#include "common/service_control.h"
#include "platform/events.h"

namespace zmo::snap {

namespace {

// Between two runs of the console work loop.
constexpr DWORD kDebugPauseMillis = 500;

}  // namespace

int snapServiceEntry(int argc, char** argv) { return snapServiceRun(argc, argv); }

int snapMain(int argc, char** argv) {
  zmo::ConsoleProgramConfig config = zmo::SnapProgramConfig();
  config.work_loop = snapServiceEntry;
  zmo::SetConsoleProgram(config);

  if (argc < 2) {
    // Typed at a terminal rather than started by the service manager, the
    // dispatcher fails (1063); that is a failure of the program, not a run.
    return zmo::serviceDispatch() == 0 ? 0 : 1;
  }
  const char* option = argv[1];
  if (std::strcmp(option, "-debug") == 0) {
    // No service is registered, so the status reports fail quietly.
    for (;;) {
      snapServiceEntry(argc, argv);
      Sleep(kDebugPauseMillis);
    }
  }
  // -sinstall [-auto], -sremove, -sstart, -sstop.
  if (zmo::serviceOption(argc, argv)) return 0;
  if (std::strcmp(option, "-nr") == 0 || std::strcmp(option, "-np") == 0) {
    zmo::SetConsoleFlag(true);
    snapRunOnce(argc, argv);
    return 0;
  }
  return 1;
}

}  // namespace zmo::snap
