#include "zmosnap/known_systems.h"

#include <string>

#include "common/trace_log.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// Systems are told apart by this many characters of their SID.
constexpr size_t kSidChars = 3;

std::string Key(const char* sid) { return std::string(sid).substr(0, kSidChars); }

}  // namespace

int isUnknownSystem(const char* sid, int* unknown) {
  if (sid == nullptr || unknown == nullptr) {
    zmo::writeTrace("isUnknownSystem(): internal error: c is NULL\n");
    return 1;
  }
  const std::string key = Key(sid);
  for (const std::string& known : snapState().knownSystems) {
    zmo::writeTrace("checking known system <%s>\n", known.c_str());
    if (known == key) {
      zmo::writeTrace("system <%s> already encounterd\n", key.c_str());
      *unknown = 0;
      return 0;
    }
  }
  zmo::writeTrace("system <%s> was not yet encountered\n", key.c_str());
  *unknown = 1;
  return 0;
}

int addSystem(const char* sid) {
  if (sid == nullptr) {
    zmo::writeTrace("addSystem(): internal error: c is NULL\n");
    return 1;
  }
  snapState().knownSystems.push_back(Key(sid));
  return 0;
}

void removeAllSystem() {
  std::vector<std::string>& known = snapState().knownSystems;
  zmo::writeTrace("about to forget <%i> systems\n", static_cast<int>(known.size()));
  // The first entry is named last, as the one the list began with.
  for (size_t i = 1; i < known.size(); ++i) {
    zmo::writeTrace("about to forget system <%s>\n", known[i].c_str());
  }
  if (!known.empty()) zmo::writeTrace("about to forget first system <%s>\n", known[0].c_str());
  known.clear();
}

}  // namespace zmo::snap
