#include "zmostati/rfc_session.h"

StatiRfcSession& statiRfcSession() {
  static StatiRfcSession session;
  return session;
}

void statiResetRfcSession() { statiRfcSession() = StatiRfcSession{}; }
