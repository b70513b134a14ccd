#include "zmostati/rfc_session.h"

namespace zmo::stati {

StatiRfcSession& statiRfcSession() {
  static StatiRfcSession session;
  return session;
}

void statiResetRfcSession() { statiRfcSession() = StatiRfcSession{}; }

}  // namespace zmo::stati
