#include "zmosnap/records.h"

namespace zmo::snap {

SnapRecordState& snapRecordState() {
  static SnapRecordState state;
  return state;
}

void snapResetRecordState() { snapRecordState() = SnapRecordState{}; }

}  // namespace zmo::snap
