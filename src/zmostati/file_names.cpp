// The names of the files a collection run uses, and zmoloader's arguments.

#include <unistd.h>

#include "common/runtime_state.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmostati/format.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

int DefaultName(const char* name, std::string* out) {
  const std::string dir = zmo::ProgramDir();
  if (dir.empty()) {
    zmo::writeTrace("failed to get module file name\n");
    return 1;
  }
  *out = zmo::JoinPath(dir, name);
  return 0;
}

}  // namespace

int statiGetDefaultInFileName() {
  return DefaultName("zmoserver.dat", &statiState().settings.serverFile);
}

int statiGetDefaultOutFileName() {
  return DefaultName("zmostatiout.dat", &statiState().settings.outFile);
}

int statiGetDefaultAvailFileName() {
  return DefaultName("zmostatiava.dat", &statiState().settings.availFile);
}

void statiBuildLdrArg(const char* caller, bool loaderDebug) {
  StatiState& st = statiState();
  std::vector<std::string>& arg = st.settings.ldrArg;
  arg.clear();
  arg.push_back(st.settings.loaderPath);
  arg.push_back(" -A");
  arg.push_back(" -P STATI");
  arg.push_back(statiFormat(" -S %.8s", st.current.startDate.c_str()));
  arg.push_back(statiFormat(" -E %.8s", st.current.endDate.c_str()));
  char address[zmo::kIpAddressSize] = {0};
  zmo::myIPaddress(address);
  arg.push_back(statiFormat(" -H %s", address));
  zmo::writeTrace("%s IP Address=<%s>\n", caller, arg.back().c_str());
  arg.push_back(statiFormat(" -I %ld", static_cast<long>(getpid())));
  zmo::writeTrace("%s, PID=<%s>\n", caller, arg.back().c_str());
  if (loaderDebug) arg.push_back(" -D");
}

}  // namespace zmo::stati
