#include "zmosnap/records.h"

SnapRecordState& snapRecordState() {
  static SnapRecordState state;
  return state;
}

void snapResetRecordState() { snapRecordState() = SnapRecordState{}; }
