// The names of the files a collection run uses, and zmoloader's arguments.

#include <unistd.h>

#include <string>

#include "common/data_files.h"
#include "common/pipeline.h"
#include "common/runtime_state.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/files.h"
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
  return DefaultName(zmo::kServerFileName, &statiState().settings.serverFile);
}

int statiGetDefaultOutFileName() {
  return DefaultName("zmostatiout.dat", &statiState().settings.outFile);
}

int statiGetDefaultAvailFileName() {
  return DefaultName("zmostatiava.dat", &statiState().settings.availFile);
}

void statiSetProgramPaths() {
  StatiSettings& s = statiState().settings;
  s.zmomsgPath = zmo::programPath(s.binDir, zmo::PipelineProgram::kMsg);
  s.loaderPath = zmo::programPath(s.binDir, zmo::PipelineProgram::kLoader);
}

void statiBuildLdrArg(const char* caller, bool loaderDebug) {
  StatiState& st = statiState();
  char address[zmo::kIpAddressSize] = {0};
  zmo::myIPaddress(address);
  zmo::LoaderCall call;
  call.start_date = st.current.startDate.substr(0, 8);
  call.end_date = st.current.endDate.substr(0, 8);
  call.host = address;
  call.pid = std::to_string(static_cast<long>(getpid()));
  call.debug = loaderDebug;
  st.settings.ldrArg = zmo::loaderArgv(zmo::Collection::kStati, st.settings.loaderPath, call);
  zmo::writeTrace(
      "%s IP Address=<%s>\n", caller,
      zmo::loaderArgElement(zmo::Collection::kStati, zmo::kLoaderOptionHost, call.host).c_str());
  zmo::writeTrace(
      "%s, PID=<%s>\n", caller,
      zmo::loaderArgElement(zmo::Collection::kStati, zmo::kLoaderOptionPid, call.pid).c_str());
}

}  // namespace zmo::stati
