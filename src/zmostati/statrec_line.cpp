// Columns 2-4 and 6-7 of a StatRecord, and the trace notes of a pass.

#include <cstring>

#include "common/availability.h"
#include "common/time_stamps.h"
#include "common/trace_log.h"
#include "statrec_internal.h"
#include "zmostati/state.h"
#include "zmostati/timeconv.h"

namespace zmo::stati {

void statiWriteSystemFields(zmo::RecordLine* line, const StatiConvertJob& job) {
  const zmo::RecordLayout f = zmo::statRecordLayout();
  char text[zmo::kRecordLineMax];
  int n = zmo::formatRfcDestination(text, sizeof text, job.shortHost, job.systemId, job.sysnr);
  zmo::recordPutText(line, f[zmo::kStatRfcDest], text, n);
  zmo::recordPutString(line, f[zmo::kStatHostName], job.host);
  n = zmo::formatSystemLabel(text, sizeof text, job.systemId, job.dbHost);
  zmo::recordPutText(line, f[zmo::kStatSystemLabel], text, n);
}

namespace {

// n characters of a stamp's date or time: a zero byte stands for a blank,
// so that the stamp keeps its length, and the first "+" is blanked.
void CopyStampPart(char* out, const char* in, int n) {
  for (int i = 0; i < n; ++i) out[i] = in[i] == '\0' ? ' ' : in[i];
  out[n] = '\0';
  statiPlusToBlank(out);
}

// One stamp of 8 date and 6 time characters, moved to GMT when the job
// says so. A stamp that cannot be moved (not a date) is written as received.
void PutStamp(zmo::RecordLine* line, const zmo::RecordField& field, const StatiConvertJob& job,
              const char* date, const char* time) {
  char d[9], t[7];
  CopyStampPart(d, date, 8);
  CopyStampPart(t, time, 6);
  if (job.gmt) {
    char gd[9], gt[7];
    if (statiConvertTimeToGMT(d, t, job.remoteOffset, gd, gt) == 0) {
      std::memcpy(d, gd, 8);
      std::memcpy(t, gt, 6);
    } else if (statiFirstNote(kNoteGmtFailed)) {
      zmo::writeTrace(
          "statiWriteInterval() time stamp <%s%s> cannot be moved to GMT, written as received\n", d,
          t);
    }
  }
  char stamp[zmo::kTimeStampMax];
  const int n = zmo::putTimeStamp(stamp, line->kind, d, t);
  zmo::recordPutText(line, field, stamp, n);
}

}  // namespace

void statiWriteInterval(zmo::RecordLine* line, const StatiConvertJob& job, const char* startDate,
                        const char* startTime, const char* endDate, const char* endTime) {
  static const zmo::RecordLayout f = zmo::statRecordLayout();
  PutStamp(line, f[zmo::kStatStartDate], job, startDate, startTime);
  PutStamp(line, f[zmo::kStatEndDate], job, endDate, endTime);
}

void statiIntervalLine(const StatiConvertJob& job, char recordKind, zmo::RecordLine* line) {
  const zmo::RecordLayout f = zmo::statRecordLayout();
  zmo::recordLineStart(line, job.kind);
  zmo::recordPutText(line, f[zmo::kStatRecordType], &zmo::kStatIntervalRecord, 1);
  statiWriteSystemFields(line, job);
  zmo::recordPutText(line, f[zmo::kStatClient], "", 0);
  statiWriteInterval(line, job, job.readStartDate, job.readStartTime, job.readEndDate,
                     job.readEndTime);
  zmo::recordPutText(line, f[zmo::kStatTcode], &recordKind, 1);
  for (int field = zmo::kStatDynpro; field <= zmo::kStatUserName; ++field) {
    zmo::recordPutText(line, f[field], "", 0);
  }
  for (int field = zmo::kStatCpuTime; field < zmo::kStatFieldCount; ++field) {
    zmo::recordPutNumber(line, f[field], 0);
  }
  zmo::recordLineEnd(line);
}

bool statiFirstNote(StatiNote note) {
  StatiState& st = statiState();
  StatiRecordNotes& notes = st.recordNotes;
  if (notes.pass != st.passCounter) {
    notes.pass = st.passCounter;
    notes.traced = 0;
  }
  if (notes.traced & note) return false;
  notes.traced |= note;
  return true;
}

}  // namespace zmo::stati
