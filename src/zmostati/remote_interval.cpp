// The current interval in the remote system's time, for the RFC read.

#include <ctime>

#include "common/system_info.h"
#include "common/trace_log.h"
#include "zmostati/state.h"
#include "zmostati/timeconv.h"

namespace zmo::stati {

namespace {

// Moves one end by shift seconds. Returns 0 or 1.
int Shift(const std::string& date, const std::string& time, int shift, std::string* outDate,
          std::string* outTime) {
  std::tm tm;
  if (statiConvertTimeString2TmUTC(date.c_str(), time.c_str(), &tm) != 0) {
    zmo::writeTrace(
        "statiConvertTimeString2TmUTC() returned unsuccessfully for date <%.8s>, time "
        "<%.6s>\n",
        date.c_str(), time.c_str());
    return 1;
  }
  tm.tm_sec += shift;
  char d[8], t[6];
  if (statiConvertTimeTmUtc2String(d, t, &tm) != 0) {
    zmo::writeTrace(
        "statiConvertTimeTmUTC2String() returned unsuccessfully for date <%.8s>, time "
        "<%.6s>\n",
        date.c_str(), time.c_str());
    return 1;
  }
  outDate->assign(d, sizeof d);
  outTime->assign(t, sizeof t);
  return 0;
}

}  // namespace

int statiGetRemoteSystemQueryInterval() {
  StatiState& st = statiState();
  const int shift = st.remoteOffsetSeconds - zmo::LocalOffsetUTC();
  zmo::writeTrace("total offset of local to remote system is <%i> min\n", shift / 60);
  StatiInterval remote = st.current;
  if (Shift(st.current.startDate, st.current.startTime, shift, &remote.startDate,
            &remote.startTime) != 0 ||
      Shift(st.current.endDate, st.current.endTime, shift, &remote.endDate, &remote.endTime) != 0) {
    return 1;
  }
  st.remote = remote;
  zmo::writeTrace("determined remote connection interval from %.8s %.6s to %.8s %.6s\n",
                  remote.startDate.c_str(), remote.startTime.c_str(), remote.endDate.c_str(),
                  remote.endTime.c_str());
  return 0;
}

}  // namespace zmo::stati
