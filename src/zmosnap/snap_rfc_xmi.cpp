// The monitoring interface: the logon of zmosnap as an external tool, the
// user list with the counts of users and sessions, and the logoff.

#include <climits>
#include <cstdint>

#include "common/trace_log.h"
#include "zmosnap/rfc_calls.h"

namespace zmo::snap {

namespace {

// The next run of digits in text[*pos, n) as a number held within int;
// false when there is none.
bool NextNumber(const char* text, unsigned n, unsigned* pos, int* value) {
  unsigned i = *pos;
  while (i < n && (text[i] < '0' || text[i] > '9')) ++i;
  if (i == n) return false;
  std::int64_t v = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > INT_MAX) v = INT_MAX;
  }
  *pos = i;
  *value = static_cast<int>(v);
  return true;
}

}  // namespace

int snapUserCounts(ITAB_H usrTbl, int* users, int* sessions) {
  *users = 0;
  *sessions = 0;
  const int lines = usrTbl == ITAB_NULL ? -1 : ItFill(usrTbl);
  // The counts stand in the line before the last; a table of fewer than
  // two lines has no such line.
  const char* line =
      lines >= 2 ? static_cast<const char*>(ItGetLine(usrTbl, static_cast<unsigned>(lines - 1)))
                 : nullptr;
  if (line == nullptr) {
    zmo::writeTrace("callSxmiXmbUserListRead() USR_TBL of <%i> lines holds no user counts\n",
                    lines);
    return 1;
  }
  const unsigned n = ItLeng(usrTbl);
  unsigned pos = 0;
  int value = 0;
  if (NextNumber(line, n, &pos, &value)) *users = value;
  if (NextNumber(line, n, &pos, &value)) *sessions = value;
  return 0;
}

int callXmiLogon(const char* company, const char* product, const char* interface,
                 const char* version) {
  char ext_company[kExtCompanyLen], ext_product[kExtProductLen], interface_field[kInterfaceLen],
      version_field[kVersionLen];
  snapFixedText(ext_company, sizeof ext_company, company);
  snapFixedText(ext_product, sizeof ext_product, product);
  snapFixedText(interface_field, sizeof interface_field, interface);
  snapFixedText(version_field, sizeof version_field, version);
  RFC_PARAMETER exporting[] = {{"EXTCOMPANY", 0, TYPC, kExtCompanyLen, ext_company},
                               {"EXTPRODUCT", 0, TYPC, kExtProductLen, ext_product},
                               {"INTERFACE", 0, TYPC, kInterfaceLen, interface_field},
                               {"VERSION", 0, TYPC, kVersionLen, version_field},
                               {nullptr, 0, 0, 0, nullptr}};
  char session_id[kSessionIdLen];
  RFC_PARAMETER importing[] = {{"SESSIONID", 0, TYPC, kSessionIdLen, session_id},
                               {nullptr, 0, 0, 0, nullptr}};
  zmo::writeTrace("about to call RfcCallReceive with SXMI_LOGON\n");
  SnapCall call;
  call.function = "SXMI_LOGON";
  call.exporting = exporting;
  call.importing = importing;
  call.afterCallTrace = "call RfcCall with SXMI_LOGON OK\n";
  return snapCallAndReceive(call);
}

int callSxmiXmbUserListRead(const char* user) {
  SnapRfcState& s = snapRfcState();
  s.results.users = 0;
  s.results.sessions = 0;
  s.results.usersRead = false;
  char user_field[kExternalUserLen];
  snapFixedText(user_field, sizeof user_field, user);
  RFC_PARAMETER exporting[] = {{"EXTERNAL_USER_NAME", 0, TYPC, kExternalUserLen, user_field},
                               {nullptr, 0, 0, 0, nullptr}};
  std::int32_t entries = 0;
  RFC_PARAMETER importing[] = {{"NUMBER_OF_ENTRIES", 0, TYPINT, sizeof entries, &entries},
                               {nullptr, 0, 0, 0, nullptr}};
  RFC_TABLE tables[] = {snapTableParameter("USR_TBL", s.tables.usrTbl, s.types.btcSyslog),
                        kSnapTablesEnd};
  SnapCall call;
  call.function = "SXMI_XMB_USER_LIST_READ";
  call.exporting = exporting;
  call.importing = importing;
  call.tables = tables;
  const int rc = snapCallAndReceive(call);
  if (rc != 0) return rc;
  if (snapUserCounts(s.tables.usrTbl, &s.results.users, &s.results.sessions) != 0) return 1;
  s.results.usersRead = true;
  return 0;
}

int callXmiLogoff(const char* interface) {
  char interface_field[kInterfaceLen];
  snapFixedText(interface_field, sizeof interface_field, interface);
  RFC_PARAMETER exporting[] = {{"INTERFACE", 0, TYPC, kInterfaceLen, interface_field},
                               {nullptr, 0, 0, 0, nullptr}};
  SnapCall call;
  call.function = "SXMI_LOGOFF";
  call.exporting = exporting;
  return snapCallAndReceive(call);
}

}  // namespace zmo::snap
