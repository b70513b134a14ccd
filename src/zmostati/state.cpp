#include "zmostati/state.h"

namespace zmo::stati {

StatiState& statiState() {
  static StatiState state;
  return state;
}

void statiResetState() { statiState() = StatiState{}; }

void statiResetRunState() {
  StatiState& st = statiState();
  const StatiHooks hooks = st.hooks;
  st = StatiState{};
  st.hooks = hooks;
}

}  // namespace zmo::stati
