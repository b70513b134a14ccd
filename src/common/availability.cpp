#include "common/availability.h"

#include <cstring>

#include "common/field_writer.h"
#include "common/time_stamps.h"

namespace zmo {
namespace {

// Text fields are cut to their width only in the Oracle form, where a longer
// text would shift every later column.
int PutText(std::FILE* file, int width, const char* text, int* cut) {
  const int len = static_cast<int>(std::strlen(text));
  const int keep = FieldOracle() && len > width ? width : len;
  if (keep < len) *cut = 1;
  return writeField(file, width, 1, "%.*s", keep, text);
}

int Separator(std::FILE* file) {
  if (FieldOracle()) return 0;
  return std::fputc(',', file) == EOF ? -1 : 0;
}

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

int writeAvailLine(std::FILE* file, const AvailLine& line, int* cut) {
  int was_cut = 0;
  if (cut != nullptr) *cut = 0;
  char stamp[kTimeStampMax];
  const int stamp_len = formatTimeStamp(stamp, DatabaseKind(), line.stamp);
  if (stamp_len < 0) return 1;
  int rc = PutText(file, kDestinationWidth, line.destination, &was_cut);
  rc |= Separator(file);
  rc |= PutText(file, kHostNameWidth, line.host, &was_cut);
  rc |= Separator(file);
  rc |= PutText(file, kSystemLabelWidth, line.label, &was_cut);
  rc |= Separator(file);
  rc |= PutText(file, kSysIdWidth, line.sid, &was_cut);
  rc |= Separator(file);
  rc |= writeField(file, stamp_len, 0, "%s", stamp);
  rc |= Separator(file);
  rc |= writeField(file, 1, 0, "%s", line.available ? "1" : "0");
  if (std::fputs("\r\n", file) == EOF) rc = -1;
  if (cut != nullptr) *cut = was_cut;
  return rc != 0 ? 2 : 0;
}

}  // namespace zmo
