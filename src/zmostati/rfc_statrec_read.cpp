// SAPWL_STATREC_READ_FILE: the statistic records of the remote interval
// into the batch and normal tables.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/trace_log.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

constexpr unsigned kDateLen = 8;
constexpr unsigned kTimeLen = 6;
constexpr unsigned kFileErrorLen = 128;

// A date or time parameter: exactly n characters, blank-padded.
void Fixed(char* out, size_t n, const std::string& text) {
  std::memset(out, ' ', n);
  std::memcpy(out, text.data(), std::min(n, text.size()));
}

RFC_TABLE TableParameter(const char* name, ITAB_H table, RFC_TYPEHANDLE type) {
  return {name, 0, type, ItLeng(table), table, RFC_ITMODE_BYREFERENCE, 0};
}

}  // namespace

bool statiReadPassesTable(bool batch) {
  const StatiSettings& settings = statiState().settings;
  const StatiRfcSession& s = statiRfcSession();
  return batch ? settings.batchFlag && s.batchTable != ITAB_NULL
               : settings.normalFlag && s.normalTable != ITAB_NULL;
}

int statiCallSapwlStatrecReadFile() {
  const StatiState& st = statiState();
  const StatiRfcSession& s = statiRfcSession();
  zmo::writeTrace("statiServer.Version=<%s>\n", s.release.c_str());

  char endDate[kDateLen], endTime[kTimeLen], startDate[kDateLen], startTime[kTimeLen];
  Fixed(endDate, kDateLen, st.remote.endDate);
  Fixed(endTime, kTimeLen, st.remote.endTime);
  Fixed(startDate, kDateLen, st.remote.startDate);
  Fixed(startTime, kTimeLen, st.remote.startTime);
  std::int32_t continueRecordNo = 0;
  RFC_PARAMETER exporting[] = {
      {"READ_END_DATE", 0, TYPDATE, kDateLen, endDate},
      {"READ_END_TIME", 0, TYPTIME, kTimeLen, endTime},
      {"READ_START_DATE", 0, TYPDATE, kDateLen, startDate},
      {"READ_START_TIME", 0, TYPTIME, kTimeLen, startTime},
      {"READ_CONTINUE_RECORDNO", 0, TYPINT, sizeof continueRecordNo, &continueRecordNo},
      {nullptr, 0, 0, 0, nullptr}};
  char fileError[kFileErrorLen];
  std::int32_t recordsRead = 0;
  RFC_PARAMETER importing[] = {{"FILE_ERROR", 0, TYPC, kFileErrorLen, fileError},
                               {"RECORDS_READ", 0, TYPINT, sizeof recordsRead, &recordsRead},
                               {nullptr, 0, 0, 0, nullptr}};

  RFC_TABLE tables[3];
  int count = 0;
  if (!s.layout) {
    statiRfcErrorHandler("unrecognized SAP level encountered");
  } else {
    if (statiReadPassesTable(true)) {
      tables[count++] =
          TableParameter("V2_BTC_STEP_RECORDS", s.batchTable, statiTypeHandle(true, *s.layout));
    }
    if (statiReadPassesTable(false)) {
      tables[count++] =
          TableParameter("V2_NORMAL_RECORDS", s.normalTable, statiTypeHandle(false, *s.layout));
    }
  }
  tables[count] = {nullptr, 0, 0, 0, ITAB_NULL, RFC_ITMODE_BYREFERENCE, 0};
  return statiRfcCallAndReceive("SAPWL_STATREC_READ_FILE", exporting, importing, tables);
}

}  // namespace zmo::stati
