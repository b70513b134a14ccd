// The batch interpreter's flow on any text: the leading "@" and blanks,
// labels, goto, if [not] errorlevel, exit and echo run as ever, while every
// command that would touch the machine (cd, title, move, del, type, a
// program) goes to a stand-in that gives an error level taken from the
// command. A run ends at an exit, the end or a line limit (a goto may loop
// for ever), and its exit code is that of a batch: 0 to 255.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch_internal.h"
#include "fuzz_support.h"
#include "platform/batch.h"
#include "platform/command_line.h"

namespace {

// "<program> <n> ..." gives n (0 to 255); any other command the length of
// its arguments' text modulo 4. Its arguments are split by the command-line
// rules and shown masked, as a real start would.
int StandIn(zmo::batch::Run*, const std::string& command) {
  const std::vector<std::string> args = zmo::SplitCommandLine(command);
  const std::string shown = zmo::MaskSecrets(command);
  if (args.size() > 1 && !args[1].empty() && args[1].size() <= 3 &&
      args[1].find_first_not_of("0123456789") == std::string::npos) {
    return std::atoi(args[1].c_str()) % 256;
  }
  return static_cast<int>(shown.size() % 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // What echo writes goes nowhere.
  static const bool quiet = [] {
    const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    return fd >= 0 && dup2(fd, 1) == 1 && close(fd) == 0;
  }();
  (void)quiet;
  zmo::batch::Run run;
  run.file = "fuzz.bat";
  run.err_fd = -1;
  run.stand_in = StandIn;
  run.line_limit = 1000;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int code = zmo::batch::RunLines(&run, zmo::SplitTextLines(text));
  zmo_fuzz::Check(code >= 0 && code <= 255 && run.line_no == 0);
  return 0;
}
