// The process entry: one option in argv[1] selects what zmostati does.

#include "zmostati/entry.h"

#include <cstring>

#include "common/console_program.h"
#include "common/service_control.h"

namespace zmo::stati {

int statiMain(int argc, char** argv) {
  zmo::ConsoleProgramConfig config = zmo::StatiProgramConfig();
  config.work_loop = statiServiceRun;
  zmo::SetConsoleProgram(config);

  if (argc < 2) {
    // Typed at a terminal rather than started by the service manager, the
    // dispatcher fails (1063); that is a failure of the program, not a run.
    return zmo::serviceDispatch() == 0 ? 0 : 1;
  }
  // -sinstall [-auto], -sremove, -sstart, -sstop.
  if (zmo::serviceOption(argc, argv)) return 0;
  const char* option = argv[1];
  if (std::strcmp(option, "-d") == 0) {
    statiServiceRun(argc, argv);
    return 0;
  }
  if (std::strcmp(option, "-nr") == 0 || std::strcmp(option, "-np") == 0) {
    zmo::SetConsoleFlag(true);
    // A run that could not read its settings (a damaged registry store
    // among them) or did not complete its collection ends with 1.
    return statiRunOnce(argc, argv);
  }
  return 1;
}

}  // namespace zmo::stati
