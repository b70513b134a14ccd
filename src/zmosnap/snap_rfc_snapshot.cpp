// FILL_SNAPSHOT_DATA: the operating-system figures of the application
// server, or of the host behind a logical destination, written as records.

#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

int callFillSnapshotData(const char* destination, const char* locality) {
  SnapRfcState& s = snapRfcState();
  // The first 32 and 6 characters go out, whatever the caller holds.
  char logical_destination[kDestinationLen], local_remote[kLocalRemoteLen];
  snapFixedText(logical_destination, sizeof logical_destination, destination);
  snapFixedText(local_remote, sizeof local_remote, locality);
  RFC_PARAMETER exporting[] = {
      {"LOCAL_REMOTE", 0, TYPC, kLocalRemoteLen, local_remote},
      {"LOGICAL_DESTINATION", 0, TYPC, kDestinationLen, logical_destination},
      {nullptr, 0, 0, 0, nullptr}};
  const bool remote = destination != nullptr && destination[0] != '\0';

  const SnapRfcTables& t = s.tables;
  RFC_TABLE tables[] = {snapTableParameter("TF_CPU_ALL", t.cpuAll, s.types.cpuAll),
                        snapTableParameter("TF_DISK_SINGLE", t.diskSingle, s.types.dskSingle),
                        snapTableParameter("TF_LAN_SINGLE", t.lanSingle, s.types.lanSingle),
                        snapTableParameter("TF_MEM_ALL", t.memAll, s.types.memAll), kSnapTablesEnd};
  SnapCall call;
  call.function = "FILL_SNAPSHOT_DATA";
  call.exporting = remote ? exporting : nullptr;
  call.tables = tables;
  const int rc = snapCallAndReceive(call);
  if (rc != 0) return rc;
  return writeSnapshotRecords(t);
}

}  // namespace zmo::snap
