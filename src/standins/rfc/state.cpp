// The process-wide state, the landscape it answers from, and its reset.
#include "state.h"

#include <cstdlib>

namespace zmo::rfc {

RfcLibState& State() {
  static RfcLibState state;
  return state;
}

std::shared_ptr<const Landscape> CurrentLandscape(RfcLibState& st, std::string* error) {
  const char* env = std::getenv(kSystemsEnv);
  std::string dir = env == nullptr ? "" : env;
  if (!st.landscape_loaded || dir != st.landscape_dir) {
    st.landscape.reset();
    st.landscape_error.clear();
    st.landscape_dir = dir;
    st.landscape_loaded = true;
    if (dir.empty()) {
      st.landscape_error = std::string(kSystemsEnv) +
                           " is not set: no simulated SAP system can be reached (this build makes "
                           "no real connection)";
    } else {
      auto land = std::make_shared<Landscape>();
      if (LoadLandscape(dir, land.get(), &st.landscape_error) == 0) st.landscape = land;
    }
  }
  if (!st.landscape) *error = st.landscape_error;
  return st.landscape;
}

void SimReset() {
  RfcLibState& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  for (ZmoItab* t : st.tables) delete t;
  st.tables.clear();
  st.connections.clear();
  st.next_handle = 1;
  st.types.clear();
  st.has_error = false;
  st.last_error = ErrorRecord();
  st.handler = nullptr;
  st.log.clear();
  st.logons = 0;
  st.landscape.reset();
  st.landscape_dir.clear();
  st.landscape_error.clear();
  st.landscape_loaded = false;
}

int SimCheckLandscape(const std::string& dir, std::string* error) {
  Landscape land;
  return LoadLandscape(dir, &land, error);
}

}  // namespace zmo::rfc
