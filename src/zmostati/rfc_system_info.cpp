// RFC_SYSTEM_INFO: the system's identity, release and offset from UTC.

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include "common/trace_log.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace {

// The RFCSI record and the positions of the fields read from it.
constexpr unsigned kRfcsiSize = 200;
constexpr size_t kSysIdPos = 53, kSysIdLen = 8;
constexpr size_t kDbHostPos = 69, kDbHostLen = 32;
constexpr size_t kReleasePos = 111, kReleaseLen = 3;
constexpr size_t kTzonePos = 130, kTzoneLen = 6;
constexpr size_t kDaystPos = 136;
constexpr int kDaylightSeconds = 3600;

// The field's text up to its first blank or zero.
std::string Word(const char* record, size_t pos, size_t len) {
  std::string word;
  for (size_t i = pos; i < pos + len && record[i] != ' ' && record[i] != '\0'; ++i) {
    word += record[i];
  }
  return word;
}

// The decimal value of a blank-padded field: leading blanks, a sign, then
// digits up to the first other character (at most the field's width, so the
// value always fits).
int Decimal(const char* record, size_t pos, size_t len) {
  size_t i = pos;
  const size_t end = pos + len;
  while (i < end && record[i] == ' ') ++i;
  bool negative = false;
  if (i < end && (record[i] == '-' || record[i] == '+')) negative = record[i++] == '-';
  int value = 0;
  for (; i < end && record[i] >= '0' && record[i] <= '9'; ++i) value = value * 10 + (record[i] - '0');
  return negative ? -value : value;
}

}  // namespace

int statiCallRfcSystemInfo() {
  StatiRfcSession& s = statiRfcSession();
  // Cleared before every call, so nothing of an earlier server's answer can
  // be read as this one's.
  char rfcsi[kRfcsiSize];
  std::memset(rfcsi, 0, sizeof rfcsi);
  RFC_PARAMETER importing[] = {{"RFCSI_EXPORT", 0, TYPC, kRfcsiSize, rfcsi},
                               {nullptr, 0, 0, 0, nullptr}};
  const int rc = statiRfcCallAndReceive("RFC_SYSTEM_INFO", nullptr, importing, nullptr);
  if (rc != 0) return rc;

  s.systemId = Word(rfcsi, kSysIdPos, kSysIdLen);
  for (char& c : s.systemId) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  s.dbHost = Word(rfcsi, kDbHostPos, kDbHostLen);
  s.release.assign(rfcsi + kReleasePos, strnlen(rfcsi + kReleasePos, kReleaseLen));

  int offset = Decimal(rfcsi, kTzonePos, kTzoneLen);
  const char dayst = static_cast<char>(std::toupper(static_cast<unsigned char>(rfcsi[kDaystPos])));
  if (dayst == 'X' || dayst == '1') {
    offset += kDaylightSeconds;
    zmo::writeTrace("determined daylight saving at remote host\n");
  }
  statiState().remoteOffsetSeconds = offset;
  zmo::writeTrace("total offset to UTC of remote host is <%i> min\n", offset / 60);
  return 0;
}
