// RFC_SYSTEM_INFO: the SAP system's id, its database host and its offset
// from UTC, which the records' labels and time stamps carry.

#include <cstdint>
#include <cstring>

#include "common/system_info_record.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

int callRfcSystemInfo() {
  SnapRfcState& s = snapRfcState();
  // A failed call leaves nothing of an earlier server's answer behind.
  s.results.sid.clear();
  s.results.dbHost.clear();
  s.results.remoteOffset = 0;

  char rfcsi[zmo::kRfcsiSize];
  std::memset(rfcsi, ' ', sizeof rfcsi);
  std::int32_t current_resources = 0, maximal_resources = 0, recommended_delay = 0;
  char dialog_user_type[1], login_complete[1];
  RFC_PARAMETER importing[] = {
      {"CURRENT_RESOURCES", 0, TYPINT, sizeof current_resources, &current_resources},
      {"DIALOG_USER_TYPE", 0, TYPC, sizeof dialog_user_type, dialog_user_type},
      {"MAXIMAL_RESOURCES", 0, TYPINT, sizeof maximal_resources, &maximal_resources},
      {"RECOMMENDED_DELAY", 0, TYPINT, sizeof recommended_delay, &recommended_delay},
      {"RFCSI_EXPORT", 0, s.types.rfcsi, zmo::kRfcsiSize, rfcsi},
      {"RFC_LOGIN_COMPLETE", 0, TYPC, sizeof login_complete, login_complete},
      {nullptr, 0, 0, 0, nullptr}};
  SnapCall call;
  call.function = "RFC_SYSTEM_INFO";
  call.importing = importing;
  call.traceCallRc = false;
  const int rc = snapCallAndReceive(call);
  if (rc != 0) return rc;

  zmo::SystemInfoRecord info;
  zmo::parseSystemInfoRecord(rfcsi, &info);
  s.results.sid = info.systemId;
  s.results.dbHost = info.dbHost;
  s.results.remoteOffset = info.remoteOffset;
  zmo::traceRemoteOffset(info);
  return 0;
}

}  // namespace zmo::snap
