#include "common/availability.h"

#include <cstring>

#include "common/field_writer.h"
#include "common/record_layouts.h"
#include "common/time_stamps.h"

namespace zmo {
namespace {

// The characters snprintf left in a buffer of size bytes.
int Written(int n, std::size_t size) {
  if (n < 0 || size == 0) return 0;
  return static_cast<std::size_t>(n) < size ? n : static_cast<int>(size - 1);
}

}  // namespace

int formatRfcDestination(char* out, std::size_t size, const char* short_host, const char* sid,
                         int sysnr) {
  return Written(std::snprintf(out, size, "%s_%s_%.2i", short_host, sid, sysnr), size);
}

int formatSystemLabel(char* out, std::size_t size, const char* sid, const char* db_host) {
  return Written(std::snprintf(out, size, "%s_%s", sid, db_host), size);
}

int writeAvailLine(std::FILE* file, DbKind kind, const AvailLine& line, int* cut) {
  if (cut != nullptr) *cut = 0;
  char stamp[kTimeStampMax];
  const int stamp_len = formatTimeStamp(stamp, kind, line.stamp);
  if (stamp_len < 0) return 1;
  const RecordLayout f = availLayout();
  RecordLine out;
  recordLineStart(&out, kind);
  recordPutString(&out, f[kAvailRfcDest], line.destination);
  recordPutString(&out, f[kAvailHostName], line.host);
  recordPutString(&out, f[kAvailSystemLabel], line.label);
  recordPutString(&out, f[kAvailSysId], line.sid);
  recordPutText(&out, f[kAvailDate], stamp, stamp_len);
  recordPutString(&out, f[kAvailAvailable], line.available ? "1" : "0");
  recordLineEnd(&out);
  if (cut != nullptr) *cut = out.cut;
  return recordLineWrite(file, out) != 0 ? 2 : 0;
}

}  // namespace zmo
