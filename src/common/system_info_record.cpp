#include "common/system_info_record.h"

#include <cstring>

#include "common/rfc_fields.h"
#include "common/sap_layouts.h"
#include "common/trace_log.h"

namespace zmo {
namespace {

constexpr int kDaylightSeconds = 3600;

// Where a field of the record lies, cut to at most max bytes.
struct Span {
  unsigned offset = 0;
  unsigned length = 0;
};

Span Field(const char* name, unsigned max) {
  const sap::StructLayout* layout = sap::FindLayout("RFCSI", "");
  const sap::FieldLayout* f = layout == nullptr ? nullptr : sap::FindField(layout, name);
  if (f == nullptr || f->offset + f->length > kRfcsiSize) return {};
  return {f->offset, f->length < max ? f->length : max};
}

std::string Word(const char* record, Span span) {
  return fieldWord(record + span.offset, span.length);
}

// The decimal value of a blank-padded field: blanks, a sign, then digits up
// to the first other character (the field is short enough that any value
// fits an int).
int Decimal(const char* record, Span span) {
  const char* text = record + span.offset;
  unsigned i = 0;
  while (i < span.length && text[i] == ' ') ++i;
  bool negative = false;
  if (i < span.length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int value = 0;
  for (; i < span.length && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

}  // namespace

void parseSystemInfoRecord(const char* record, SystemInfoRecord* out) {
  out->systemId = Word(record, Field("RFCSYSID", kSystemIdChars));
  out->dbHost = Word(record, Field("RFCDBHOST", kDbHostChars));
  const Span release = Field("RFCSAPRL", kReleaseChars);
  out->release.assign(record + release.offset, strnlen(record + release.offset, release.length));

  const Span dayst = Field("RFCDAYST", 1);
  const char flag = dayst.length > 0 ? record[dayst.offset] : ' ';
  out->daylight = flag == 'X' || flag == 'x' || flag == '1';
  out->remoteOffset = Decimal(record, Field("RFCTZONE", kRfcsiSize));
  if (out->daylight) out->remoteOffset += kDaylightSeconds;
}

void traceRemoteOffset(const SystemInfoRecord& info) {
  if (info.daylight) writeTrace("determined daylight saving at remote host\n");
  writeTrace("total offset to UTC of remote host is <%i> min\n", info.remoteOffset / 60);
}

}  // namespace zmo
