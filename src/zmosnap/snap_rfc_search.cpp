// Whether a system has a function module, and the logical destination of
// its database host.

#include <cstring>

#include "common/trace_log.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

int callRfcFunctionSearch(const char* name, int* exists) {
  if (name == nullptr || exists == nullptr) {
    zmo::writeTrace("callRfcFunctionSearch(): internal error. fn is <NULL>\n");
    return 1;
  }
  *exists = 0;
  SnapRfcState& s = snapRfcState();
  char funcname[kFuncNameLen];
  snapFixedText(funcname, sizeof funcname, name);
  RFC_PARAMETER exporting[] = {{"FUNCNAME", 0, TYPC, kFuncNameLen, funcname},
                               {nullptr, 0, 0, 0, nullptr}};
  // Emptied first: a line left from an earlier search must not count as a hit.
  RFC_TABLE tables[] = {snapTableParameter("FUNCTIONS", s.tables.functions, s.types.rfcfunc),
                        kSnapTablesEnd};
  SnapCall call;
  call.function = "RFC_FUNCTION_SEARCH";
  call.exporting = exporting;
  call.tables = tables;
  call.absentCallRc = RFC_EXCEPTION;
  const int rc = snapCallAndReceive(call);
  if (rc == kSnapCallAbsent) {
    zmo::writeTrace("function module <%s> doesn't exist on target system\n", name);
    return 0;
  }
  if (rc != 0) return rc;
  if (ItFill(s.tables.functions) > 0) {
    *exists = 1;
    zmo::writeTrace("function module <%s> exists on target system\n", name);
  } else {
    zmo::writeTrace("function module <%s> doesn't exist on target system\n", name);
  }
  return 0;
}

int callJ8c1GetDbLogDest() {
  SnapRfcResults& r = snapRfcState().results;
  // Cleared first, so a failed call never leaves another system's
  // destination to be sampled under this one's label.
  r.dbDestination.clear();
  r.dbLocality.clear();
  char destination[kDestinationLen], locality[kLocalityLen];
  std::memset(destination, ' ', sizeof destination);
  std::memset(locality, ' ', sizeof locality);
  RFC_PARAMETER importing[] = {{"DESTINATION", 0, TYPC, kDestinationLen, destination},
                               {"LOCALITY", 0, TYPC, kLocalityLen, locality},
                               {nullptr, 0, 0, 0, nullptr}};
  SnapCall call;
  call.function = kDbLogDestFunction;
  call.importing = importing;
  const int rc = snapCallAndReceive(call);
  if (rc != 0) return rc;
  // Kept as they came, blanks included, but bounded and terminated.
  r.dbDestination.assign(destination, strnlen(destination, kDestinationLen));
  r.dbLocality.assign(locality, strnlen(locality, kLocalityLen));
  return 0;
}

}  // namespace zmo::snap
