// RFC_SYSTEM_INFO: the system's identity in the 200-byte RFCSI record.
#include <cstdio>

#include "answers.h"

namespace zmo::rfc {
namespace {

// Host name without a router prefix or domain: "/H/gw/H/app.example.com"
// gives "app".
std::string ShortHost(const std::string& host) {
  std::string h =
      host.substr(host.find_last_of('/') == std::string::npos ? 0 : host.find_last_of('/') + 1);
  return h.substr(0, h.find('.'));
}

std::string Or(const std::string& value, const std::string& fallback) {
  return value.empty() ? fallback : value;
}

}  // namespace

int AnswerSystemInfo(CallContext& ctx, Answer* answer, std::string* refusal) {
  const SimSystem& s = ctx.sys;
  std::string host = Or(s.rfchost, ShortHost(s.host)).substr(0, 8);
  char nr[3];
  std::snprintf(nr, sizeof nr, "%02d", s.sysnr);
  char tzone[8];
  std::snprintf(tzone, sizeof tzone, "%6s", s.tzone.c_str());
  std::vector<FieldValue> v = {
      {"RFCPROTO", "011"},
      {"RFCCHARTYP", "1100"},
      {"RFCINTTYP", "LIT"},
      {"RFCFLOTYP", "IE3"},
      {"RFCDEST", Or(s.dest, host + "_" + s.sysid + "_" + nr)},
      {"RFCHOST", host},
      {"RFCSYSID", s.sysid},
      {"RFCDATABS", Or(s.databs, s.sysid)},
      {"RFCDBHOST", s.dbhost},
      {"RFCDBSYS", s.dbsys},
      {"RFCSAPRL", s.release},
      {"RFCMACH", s.mach},
      {"RFCOPSYS", Or(s.opsys, "Linux")},
      {"RFCTZONE", tzone},
      {"RFCDAYST", s.dayst},
      {"RFCIPADDR", s.ipaddr},
      {"RFCKERNRL", s.kernel},
  };
  std::string rfcsi;
  if (EncodeLine(*sap::FindLayout("RFCSI", ""), v, true, &rfcsi, refusal) != 0) return -1;
  answer->imports["RFCSI_EXPORT"] = BytesValue(rfcsi);
  answer->imports["CURRENT_RESOURCES"] = IntValue(5);
  answer->imports["MAXIMAL_RESOURCES"] = IntValue(10);
  answer->imports["RECOMMENDED_DELAY"] = IntValue(0);
  answer->imports["DIALOG_USER_TYPE"] = TextValue(" ");
  answer->imports["RFC_LOGIN_COMPLETE"] = TextValue("X");
  return 0;
}

}  // namespace zmo::rfc
