// RFC_SYSTEM_INFO: the SAP system's id, its database host and its offset
// from UTC, which the records' labels and time stamps carry.

#include <cstdint>
#include <cstring>

#include "common/trace_log.h"
#include "rfc/layouts.h"
#include "zmosnap/rfc_calls.h"

namespace {

constexpr unsigned kRfcsiSize = 200;
constexpr int kDaylightSeconds = 3600;

// Where a field of the RFCSI record lies; a field the table lacks reads as
// empty.
struct Span {
  unsigned offset = 0;
  unsigned length = 0;
};

Span RfcsiField(const char* name) {
  const zmo::rfc::StructLayout* layout = zmo::rfc::FindLayout("RFCSI", "");
  const zmo::rfc::FieldLayout* f = layout == nullptr ? nullptr : zmo::rfc::FindField(layout, name);
  if (f == nullptr || f->offset + f->length > kRfcsiSize) return {};
  return {f->offset, f->length};
}

// The decimal value of a blank-padded field: blanks, a sign, then digits
// up to the first other character (six of them always fit an int).
int Decimal(const char* text, unsigned n) {
  unsigned i = 0;
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int value = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

}  // namespace

int snapRemoteOffset(const char* rfcsi, int* daylight) {
  const Span tzone = RfcsiField("RFCTZONE");
  const Span dayst = RfcsiField("RFCDAYST");
  int offset = Decimal(rfcsi + tzone.offset, tzone.length);
  const char flag = dayst.length > 0 ? rfcsi[dayst.offset] : ' ';
  *daylight = flag == 'X' || flag == 'x' || flag == '1';
  if (*daylight) offset += kDaylightSeconds;
  return offset;
}

int callRfcSystemInfo() {
  SnapRfcState& s = snapRfcState();
  // A failed call leaves nothing of an earlier server's answer behind.
  s.results.sid.clear();
  s.results.dbHost.clear();
  s.results.remoteOffset = 0;

  char rfcsi[kRfcsiSize];
  std::memset(rfcsi, ' ', sizeof rfcsi);
  std::int32_t current_resources = 0, maximal_resources = 0, recommended_delay = 0;
  char dialog_user_type[1], login_complete[1];
  RFC_PARAMETER importing[] = {
      {"CURRENT_RESOURCES", 0, TYPINT, sizeof current_resources, &current_resources},
      {"DIALOG_USER_TYPE", 0, TYPC, sizeof dialog_user_type, dialog_user_type},
      {"MAXIMAL_RESOURCES", 0, TYPINT, sizeof maximal_resources, &maximal_resources},
      {"RECOMMENDED_DELAY", 0, TYPINT, sizeof recommended_delay, &recommended_delay},
      {"RFCSI_EXPORT", 0, s.types.rfcsi, kRfcsiSize, rfcsi},
      {"RFC_LOGIN_COMPLETE", 0, TYPC, sizeof login_complete, login_complete},
      {nullptr, 0, 0, 0, nullptr}};
  SnapCall call;
  call.function = "RFC_SYSTEM_INFO";
  call.importing = importing;
  call.traceCallRc = 0;
  const int rc = snapCallAndReceive(call);
  if (rc != 0) return rc;

  const Span sysid = RfcsiField("RFCSYSID");
  const Span dbhost = RfcsiField("RFCDBHOST");
  s.results.sid = snapFieldWord(rfcsi + sysid.offset, sysid.length < kSysIdLen ? sysid.length : kSysIdLen);
  s.results.dbHost =
      snapFieldWord(rfcsi + dbhost.offset, dbhost.length < kDbHostLen ? dbhost.length : kDbHostLen);
  int daylight = 0;
  s.results.remoteOffset = snapRemoteOffset(rfcsi, &daylight);
  if (daylight) zmo::writeTrace("determined daylight saving at remote host\n");
  zmo::writeTrace("total offset to UTC of remote host is <%i> min\n", s.results.remoteOffset / 60);
  return 0;
}
