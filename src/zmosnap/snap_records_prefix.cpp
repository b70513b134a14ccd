// The records' time stamp and the prefix every snapshot record starts with.

#include <cstdio>

#include "common/availability.h"
#include "common/field_writer.h"
#include "common/record_layouts.h"
#include "common/system_info.h"
#include "common/time_stamps.h"
#include "platform/clock.h"
#include "zmosnap/records.h"

namespace zmo::snap {

std::tm snapRecordTime() {
  const std::time_t now = zmo::ClockNow();
  std::tm local = zmo::ClockLocalTime(now);
  const long long local_offset = zmo::LocalOffsetUTC();
  const long long shift =
      snapRecordState().gmt ? -local_offset : snapRfcState().results.remoteOffset - local_offset;
  // The wall-clock fields are moved as plain arithmetic, so a change of
  // daylight saving between the two zones cannot move them once more.
  const std::time_t moved = timegm(&local) + static_cast<std::time_t>(shift);
  std::tm out{};
  gmtime_r(&moved, &out);
  return out;
}

int writeRecordPrefix(zmo::RecordLine* line) {
  const SnapRecordState& st = snapRecordState();
  const SnapRfcResults& rfc = snapRfcState().results;
  const zmo::DbKind kind = zmo::DatabaseKind();
  char stamp[zmo::kTimeStampMax];
  const int stamp_len = zmo::formatTimeStamp(stamp, kind, snapRecordTime());
  if (line == nullptr || stamp_len < 0) return 1;

  const std::string host = zmo::serverHostName(st.server.host);
  const std::string short_host = zmo::serverShortHost(host);
  char destination[256];
  if (st.dbHostRecords) {
    std::snprintf(destination, sizeof destination, "%s_%s_%.2s", short_host.c_str(),
                  rfc.sid.c_str(), "DB");
  } else {
    zmo::formatRfcDestination(destination, sizeof destination, short_host.c_str(), rfc.sid.c_str(),
                              st.server.sysnr);
  }
  char label[256];
  zmo::formatSystemLabel(label, sizeof label, rfc.sid.c_str(), rfc.dbHost.c_str());

  // The prefix is the same in every snapshot layout.
  const zmo::RecordLayout f = zmo::snapCpuLayout();
  zmo::recordLineStart(line, kind);
  zmo::recordPutString(line, f[zmo::kSnapRfcDest], destination);
  zmo::recordPutString(line, f[zmo::kSnapHostName], host.c_str());
  zmo::recordPutString(line, f[zmo::kSnapSystemLabel], label);
  zmo::recordPutString(line, f[zmo::kSnapSysId], rfc.sid.c_str());
  zmo::recordPutString(line, f[zmo::kSnapClient], st.server.client.c_str());
  zmo::recordPutText(line, f[zmo::kSnapDate], stamp, stamp_len);
  return 0;
}

}  // namespace zmo::snap
