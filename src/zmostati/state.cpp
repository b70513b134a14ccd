#include "zmostati/state.h"


StatiState& statiState() {
  static StatiState state;
  return state;
}

void statiResetState() {
  statiState() = StatiState{};
}

void statiResetRunState() {
  StatiState& st = statiState();
  const StatiHooks hooks = st.hooks;
  st = StatiState{};
  st.hooks = hooks;
}
