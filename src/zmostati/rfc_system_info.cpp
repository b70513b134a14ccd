// RFC_SYSTEM_INFO: the system's identity, release and offset from UTC.

#include <cctype>
#include <cstring>

#include "common/system_info_record.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace zmo::stati {

int statiCallRfcSystemInfo() {
  StatiRfcSession& s = statiRfcSession();
  // Cleared before every call, so nothing of an earlier server's answer can
  // be read as this one's.
  char rfcsi[zmo::kRfcsiSize];
  std::memset(rfcsi, 0, sizeof rfcsi);
  RFC_PARAMETER importing[] = {{"RFCSI_EXPORT", 0, TYPC, zmo::kRfcsiSize, rfcsi},
                               {nullptr, 0, 0, 0, nullptr}};
  const int rc = statiRfcCallAndReceive("RFC_SYSTEM_INFO", nullptr, importing, nullptr);
  if (rc != 0) return rc;

  zmo::SystemInfoRecord info;
  zmo::parseSystemInfoRecord(rfcsi, &info);
  s.systemId = info.systemId;
  for (char& c : s.systemId) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  s.dbHost = info.dbHost;
  statiSetRelease(info.release);
  statiState().remoteOffsetSeconds = info.remoteOffset;
  zmo::traceRemoteOffset(info);
  return 0;
}

}  // namespace zmo::stati
