// The records' time stamp and the prefix every snapshot record starts with.

#include <cstdio>

#include "common/availability.h"
#include "common/field_writer.h"
#include "common/system_info.h"
#include "common/time_stamps.h"
#include "platform/clock.h"
#include "zmosnap/records.h"

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

int writeRecordPrefix(std::FILE* file) {
  const SnapRecordState& st = snapRecordState();
  const SnapRfcResults& rfc = snapRfcState().results;
  char stamp[zmo::kTimeStampMax];
  const int stamp_len = zmo::formatTimeStamp(stamp, zmo::DatabaseKind(), snapRecordTime());
  if (file == nullptr || stamp_len < 0) return 1;

  const std::string host = zmo::serverHostName(st.server.host);
  const std::string short_host = zmo::serverShortHost(host);
  char destination[256];
  if (st.dbHostRecords) {
    std::snprintf(destination, sizeof destination, "%s_%s_%.2s", short_host.c_str(), rfc.sid.c_str(), "DB");
  } else {
    zmo::formatRfcDestination(destination, sizeof destination, short_host.c_str(), rfc.sid.c_str(),
                              st.server.sysnr);
  }
  char label[256];
  zmo::formatSystemLabel(label, sizeof label, rfc.sid.c_str(), rfc.dbHost.c_str());

  int rc = snapPutText(file, zmo::kDestinationWidth, 1, destination);
  rc |= snapPutSeparator(file);
  rc |= snapPutText(file, zmo::kHostNameWidth, 1, host.c_str());
  rc |= snapPutSeparator(file);
  rc |= snapPutText(file, zmo::kSystemLabelWidth, 1, label);
  rc |= snapPutSeparator(file);
  rc |= snapPutText(file, zmo::kSysIdWidth, 1, rfc.sid.c_str());
  rc |= snapPutSeparator(file);
  rc |= snapPutText(file, kSnapClientWidth, 0, st.server.client.c_str());
  rc |= snapPutSeparator(file);
  rc |= snapPutText(file, stamp_len, 0, stamp);
  return rc != 0 ? 1 : 0;
}
