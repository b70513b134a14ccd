// The two programs a run starts: zmomsg with the start message, and the
// first batch file.
#include <strings.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/pipeline.h"
#include "lines.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/process.h"
#include "zmogdlib/config_key.h"
#include "zmoloader/libraries.h"
#include "zmoloader/loader.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// Logs a call with the four argument slots of its trace line (unused slots
// empty).
void LogCall(const std::string& path, const std::vector<std::string>& args) {
  const char* shown[4] = {"", "", "", ""};
  for (size_t i = 0; i < args.size() && i < 4; ++i) shown[i] = args[i].c_str();
  loaderLog("About to execute <%s> arguments <%s>,<%s>,<%s>,<%s>\n", path.c_str(), shown[0],
            shown[1], shown[2], shown[3]);
}

// Runs path with args as its argument vector.
std::intptr_t Run(int mode, const std::string& path, const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  return zmo::CurrentEnv().Spawn(mode, path.c_str(), argv.data());
}

}  // namespace

void loaderSendStartMessage() {
  const LoaderProgramInfo& p = *loaderProgramInfo(loaderState().prog);
  std::string text;
  if (loaderCatalogText(static_cast<unsigned>(p.msg_load_start), &text) != 0) {
    loaderLog("LoadString() LoadString returned unsuccessfully tag %s\n", p.load_start_tag);
    text = p.load_start_fallback;
  }
  const std::string zmomsg = binPath(zmo::pipelineProgram(zmo::PipelineProgram::kMsg).executable);
  // Each element carries its leading blank, as the collectors' do; zmomsg
  // reads the joined line back as words.
  const std::vector<std::string> args =
      zmo::zmomsgArgv(zmo::PipelineProgram::kLoader, p.collection, zmomsg, text, true);
  LogCall(zmomsg, args);
  std::intptr_t rc = Run(_P_WAIT, zmomsg, args);
  loaderLog("spawn() returned <%i>\n", static_cast<int>(rc));
}

int loaderStartBatch() {
  const LoaderState& s = loaderState();
  // The batch waits for the lock itself; this run lets go of it first.
  loaderReleaseBatchLock();
  const std::vector<std::string> args = {s.bat_file};
  LogCall(s.bat_file, args);
  std::string load_debug;
  if (loaderQueryReg(zmo::cfg::kLoadDebug, &load_debug) != 0) return kLoaderExitError;
  if (load_debug == zmo::cfg::kTrue) {
    loaderLog("main() We are in debug mode from registry setting <LoadDebug>\n");
    return 0;
  }
  if (s.debug) {
    loaderLog("main() We are in command line Debug mode\n");
    return 0;
  }
  // The Corva command window runs on by itself; every other batch is
  // waited for. Only a vendor that names the kind in full (in either case)
  // is left to run on; one that merely begins with its letter is waited for.
  if (s.kind == zmo::DbKind::kCorva && strcasecmp(s.vendor.c_str(), zmo::dbKindName(s.kind)) == 0) {
    std::intptr_t handle = Run(_P_NOWAIT, s.bat_file, args);
    loaderLog("spawn() returned process handle <%i>\n", static_cast<int>(handle));
  } else {
    std::intptr_t rc = Run(_P_WAIT, s.bat_file, args);
    loaderLog("spawn() returned <%i>\n", static_cast<int>(rc));
    if (rc != 0) {
      // The batch ends with 1 when a tool failed; a batch that could not
      // start or was killed loaded nothing either.
      loaderLog("ERROR - ERROR: Load batch <%s> ended with <%i>, the data files are kept\n",
                s.bat_file.c_str(), static_cast<int>(rc));
      return kLoaderExitLoadFailed;
    }
  }
  return 0;
}

}  // namespace zmo::loader
