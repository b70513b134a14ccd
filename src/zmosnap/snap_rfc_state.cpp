#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

SnapRfcState& snapRfcState() {
  static SnapRfcState state;
  return state;
}

void snapResetRfcState() {
  SnapRfcTables& t = snapRfcState().tables;
  for (ITAB_H table : {t.cpuAll, t.diskSingle, t.lanSingle, t.memAll, t.usrTbl, t.functions}) {
    if (table != ITAB_NULL) ItDelete(table);
  }
  snapRfcState() = SnapRfcState{};
}

void snapForgetServerResults() { snapRfcState().results = SnapRfcResults{}; }

}  // namespace zmo::snap
