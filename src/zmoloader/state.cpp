#include "zmoloader/state.h"

#include <string.h>
#include <unistd.h>

#include "common/gdlib_binding.h"
#include "platform/env.h"

namespace zmo::loader {

namespace {

LoaderState g_state;

// Overwrites a text's bytes before it is freed.
void Wipe(std::string* text) {
  if (!text->empty()) explicit_bzero(text->data(), text->size());
  text->clear();
}

}  // namespace

const LoaderProgramInfo* loaderProgramInfo(int program) {
  if (program == kProgramSnap) return &zmo::collectionRow(zmo::Collection::kSnap);
  if (program == kProgramStati) return &zmo::collectionRow(zmo::Collection::kStati);
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
  zmo::ResetEnv();
}

}  // namespace zmo::loader
