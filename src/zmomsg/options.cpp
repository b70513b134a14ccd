// The command line of zmomsg. Collectors start it through _spawnv (their
// elements re-split into words) and batch files through a command line; both
// arrive here as the same words, so one scan serves both.
#include <cctype>
#include <cstdio>

#include "buffers.h"
#include "common/pipeline.h"
#include "zmomsg/zmomsg.h"

namespace zmo::msg {

namespace {

ZmomsgState g_state;

}  // namespace

ZmomsgState& zmomsgState() { return g_state; }

void zmomsgReset() { g_state = ZmomsgState(); }

void zmomsgScanArgs(int argc, char** argv) {
  ZmomsgState& st = g_state;
  for (int i = 1; i < argc; i++) {
    const char* elem = argv[i];
    if (elem[0] != '-') continue;
    int letter = std::tolower(static_cast<unsigned char>(elem[1]));
    if (letter == zmo::kMsgOptionTab) {
      st.tab = 1;
      continue;
    }
    if (i + 1 >= argc) break;  // no value follows: the option is ignored
    const char* value = argv[++i];
    if (letter == zmo::kMsgOptionMessage) {
      msgCopyCut(st.message, sizeof st.message, value);
    } else if (letter == zmo::kMsgOptionNumber) {
      msgCopyCut(st.number, sizeof st.number, value);
    } else if (letter == zmo::kMsgOptionProgram) {
      msgCopyCut(st.program, sizeof st.program, value);
    }
  }
}

void zmomsgUsage() {
  std::fputs(
      "\n"
      "zmomsg Version: 1.0.1 \n"
      "\n"
      "Print messages to the log file\n"
      "\n"
      "Syntax :\n"
      "zmomsg -m message \n"
      "\n"
      "Example: zmomsg -m Begin collecting records\n"
      "Example: zmomsg -n 1494\n"
      "\n"
      "Description of the optional parameters\n"
      "-t: Print tab before output message\n"
      "-p: Calling program SNAP or STATI\n"
      "-m: Message\n"
      "-n: Message number tag\n",
      stdout);
}

}  // namespace zmo::msg
