// The monitoring interface: SXMI_LOGON, then SXMI_XMB_USER_LIST_READ, then
// SXMI_LOGOFF. The user list is refused before a logon.
#include <cstdio>

#include "answers.h"

namespace zmo::rfc {
namespace {

constexpr const char* kNotLoggedOn = "NOT_LOGGED_ON";

}  // namespace

int AnswerXmiLogon(CallContext& ctx, Answer* answer, std::string* /*refusal*/) {
  ctx.conn.xmi_logged_on = true;
  char id[32];
  std::snprintf(id, sizeof id, "%s%02d%s%06u", ctx.sys.sysid.c_str(), ctx.sys.sysnr,
                ExportText(ctx.exports, "INTERFACE").c_str(), ++ctx.st.logons);
  answer->imports["SESSIONID"] = TextValue(id);
  return 0;
}

// USR_TBL: a heading, the summary "<users> users, <sessions> sessions" and a
// closing line, so the summary is the line before the last.
int AnswerXmiUserList(CallContext& ctx, Answer* answer, std::string* refusal) {
  if (!ctx.conn.xmi_logged_on) {
    Raise(answer, RFC_EXCEPTION, kNotLoggedOn, "SXMI_XMB_USER_LIST_READ needs an SXMI_LOGON first");
    return 0;
  }
  std::vector<std::vector<FieldValue>> rows;
  if (const TableArg* t = FindTableArg(ctx, "USR_TBL")) {
    const sap::StructLayout* layout = TableLayout(ctx, *t, "BTCSYSLOG", "", refusal);
    if (layout == nullptr) return -1;
    rows.push_back({{"LINE", "User list of system " + ctx.sys.sysid + " for " +
                                 ExportText(ctx.exports, "EXTERNAL_USER_NAME")}});
    rows.push_back({{"LINE", std::to_string(ctx.sys.users) + " users, " +
                                 std::to_string(ctx.sys.sessions) + " sessions"}});
    rows.push_back({{"LINE", "End of list"}});
    if (PutRows(*layout, rows, true, "USR_TBL", answer, refusal) != 0) return -1;
  }
  answer->imports["NUMBER_OF_ENTRIES"] = IntValue(static_cast<long long>(rows.size()));
  return 0;
}

int AnswerXmiLogoff(CallContext& ctx, Answer* answer, std::string* /*refusal*/) {
  if (!ctx.conn.xmi_logged_on) {
    Raise(answer, RFC_EXCEPTION, kNotLoggedOn, "SXMI_LOGOFF without an SXMI_LOGON");
    return 0;
  }
  ctx.conn.xmi_logged_on = false;
  return 0;
}

}  // namespace zmo::rfc
