#include "zmostati/rfc_session.h"

namespace zmo::stati {

StatiRfcSession& statiRfcSession() {
  static StatiRfcSession session;
  return session;
}

void statiResetRfcSession() { statiRfcSession() = StatiRfcSession{}; }

void statiSetRelease(const std::string& release) {
  StatiRfcSession& s = statiRfcSession();
  s.release = release;
  s.layout = zmo::sap::StatLayoutOfRelease(release.c_str());
}

RFC_TYPEHANDLE& statiTypeHandle(bool batch, zmo::sap::StatLayout layout) {
  StatiRfcSession& s = statiRfcSession();
  return (batch ? s.batchTypes : s.normalTypes)[static_cast<size_t>(layout)];
}

}  // namespace zmo::stati
