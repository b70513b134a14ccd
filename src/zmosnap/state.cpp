#include "zmosnap/state.h"

#include "zmosnap/records.h"

namespace zmo::snap {

SnapState& snapState() {
  static SnapState state;
  return state;
}

void snapResetState() {
  SnapState& st = snapState();
  for (SnapFile& f : st.files) {
    if (f.file != nullptr) std::fclose(f.file);
  }
  st = SnapState();
  // The record writers must not keep the closed files.
  SnapRecordState& r = snapRecordState();
  r.cpuFile = r.diskFile = r.lanFile = nullptr;
}

}  // namespace zmo::snap
