#include "zmoloader/state.h"

#include <string.h>
#include <unistd.h>

#include "common/env.h"
#include "common/gdlib_binding.h"

namespace zmo::loader {

namespace {

constexpr LoaderProgramInfo kPrograms[] = {
    {"SNAP", "zmosnap", 1499, 1500, 1501, 1502, "msgSnapLoadStart_Tag",
     "Loading of snap records has started", "zmoload_snap.sql", "zmoload_snap.bat",
     "zmoload2_snap.bat", "zmosnap.sql", "zmostage_snap.sql", "zmodrop_snap.sql",
     "trace_zmo_load_snap.log", "trace_zmo_agg_snap.log", "trace_zmo_stage_snap.log", 1521},
    {"STATI", "zmostati", 1494, 1495, 1496, 1497, "msgStatiLoadStart_Tag",
     "Loading of statistics records has started", "zmoload_stati.sql", "zmoload_stati.bat",
     "zmoload2_stati.bat", "zmostati.sql", "zmostage_stati.sql", "zmodrop_stati.sql",
     "trace_zmo_load_stati.log", "trace_zmo_agg_stati.log", "trace_zmo_stage_stati.log", 1522},
};

LoaderState g_state;

// Overwrites a text's bytes before it is freed.
void Wipe(std::string* text) {
  if (!text->empty()) explicit_bzero(text->data(), text->size());
  text->clear();
}

}  // namespace

const LoaderProgramInfo* loaderProgramInfo(int program) {
  if (program == kProgramSnap) return &kPrograms[0];
  if (program == kProgramStati) return &kPrograms[1];
  return nullptr;
}

LoaderState& loaderState() { return g_state; }

void loaderReleaseBatchLock() {
  for (int* lock : {&g_state.batch_lock, &g_state.batch2_lock}) {
    if (*lock >= 0) close(*lock);
    *lock = -1;
  }
}

void loaderReset() {
  LoaderState& s = g_state;
  if (s.catalog != nullptr) FreeLibrary(s.catalog);
  zmo::ResetGdLibBinding();
  Wipe(&s.password);
  loaderReleaseBatchLock();
  s = LoaderState();
  zmo::SetEnv(nullptr);
}

}  // namespace zmo::loader
