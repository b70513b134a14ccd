// statiPutOut: the received tables of one server, line by line, straight
// into the open statistic data file. One line is built at a time in a
// buffer on the stack and written with one fwrite; nothing is allocated
// per record.

#include <cstdio>

#include "common/field_writer.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "statrec_internal.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// Traces a line's cut fields and clamped numbers, once each in a pass.
void NoteLine(const zmo::RecordLine& line, int i, const char* tag) {
  if (line.cut && statiFirstNote(kNoteTextCut)) {
    zmo::writeTrace(
        "statiPutOut() a text longer than its Oracle column was cut to fit, first in line <%i> - "
        "<%s>\n",
        i, tag);
  }
  if (line.clamped && statiFirstNote(kNoteNumberClamped)) {
    zmo::writeTrace(
        "statiPutOut() a measure that does not fit its column was written as the nearest value "
        "that does, first in line <%i> - <%s>\n",
        i, tag);
  }
}

void Prefetch(const void* line, unsigned size) {
  if (line == nullptr) return;
  const char* p = static_cast<const char*>(line);
  for (unsigned off = 0; off < size; off += 64) __builtin_prefetch(p + off);
}

int ConvertTable(const StatiContext& ctx, zmo::sap::StatLayout layout, bool batch, ITAB_H table) {
  const char* tag = zmo::sap::StatLayoutTag(layout);
  StatiBranch branch;
  const char* missing = nullptr;
  if (statiResolveBranch(layout, batch, &branch, &missing) != 0) {
    zmo::writeTrace("statiPutOut() layout %s - %s has no usable field %s\n",
                    batch ? zmo::sap::kBatchStructure : zmo::sap::kNormalStructure, tag, missing);
    return 1;
  }
  const int n = ItFill(table);
  if (n > 0 && ItLeng(table) < branch.layout->line_size) {
    // Reading the layout's positions would run past the end of each line.
    zmo::writeTrace("statiPutOut() lines of %u bytes are shorter than the %u of layout %s - %s\n",
                    ItLeng(table), branch.layout->line_size, branch.layout->structure, tag);
    return 1;
  }
  zmo::RecordLine line;
  const void* next = n > 0 ? ItGetLine(table, 1) : nullptr;
  for (int i = 1; i <= n; ++i) {
    if (zmo::DisconnectFlag()) return zmo::kShutdownInProgress;
    const auto* bytes = static_cast<const unsigned char*>(next);
    // The next line is fetched into the cache while this one is converted.
    next = i < n ? ItGetLine(table, static_cast<unsigned>(i + 1)) : nullptr;
    Prefetch(next, branch.layout->line_size);
    if (bytes == nullptr) {
      if (batch) {
        zmo::writeTrace(
            "ItGetLine(thV2BtcStepRecords,i) returned unsuccessfully for line <%i> - <%s>\n", i,
            tag);
      } else {
        zmo::writeTrace(
            "ItGetLine(tV2NormalRecords_%s,i) returned unsuccessfully for line <%i> - <%s>\n", tag,
            i, tag);
      }
      return 1;
    }
    if (!statiConvertLine(branch, ctx, bytes, &line)) continue;
    if (zmo::recordLineWrite(ctx.job->file, line) != 0) {
      zmo::writeTrace("statiPutOut() writing line <%i> - <%s> to the statistic data file failed\n",
                      i, tag);
      return 1;
    }
    NoteLine(line, i, tag);
  }
  return 0;
}

// After a table converted whole: its interval line, when the job has one.
int WriteIntervalLine(const StatiContext& ctx, char recordKind) {
  if (ctx.job->readStartDate == nullptr) return 0;
  zmo::RecordLine line;
  statiIntervalLine(*ctx.job, recordKind, &line);
  if (zmo::recordLineWrite(ctx.job->file, line) == 0) return 0;
  zmo::writeTrace("statiPutOut() writing the interval line to the statistic data file failed\n");
  return 1;
}

}  // namespace

int statiConvertTables(const StatiConvertJob& job) {
  if (!job.layout) {
    statiRfcErrorHandler("unrecognized SAP level encountered");
    return 0;
  }
  if (job.kind == zmo::DbKind::kNone || job.file == nullptr) {
    zmo::writeTrace("statiPutOut() no database kind or no open statistic data file\n");
    return 1;
  }
  StatiContext ctx;
  statiStartContext(job, &ctx);
  if (job.batchFlag) {
    int rc = ConvertTable(ctx, *job.layout, true, job.batchTable);
    if (rc == 0) rc = WriteIntervalLine(ctx, zmo::kStatBatchRecord);
    if (rc != 0) return rc;
  }
  if (job.normalFlag) {
    int rc = ConvertTable(ctx, *job.layout, false, job.normalTable);
    if (rc == 0) rc = WriteIntervalLine(ctx, zmo::kStatNormalRecord);
    return rc;
  }
  return 0;
}

StatiConvertJob statiRunJob() {
  const StatiState& st = statiState();
  const StatiRfcSession& session = statiRfcSession();
  StatiConvertJob job;
  job.file = st.collect.outFile;
  job.kind = zmo::DatabaseKind();
  job.layout = session.layout;
  job.batchTable = session.batchTable;
  job.normalTable = session.normalTable;
  job.batchFlag = st.settings.batchFlag;
  job.normalFlag = st.settings.normalFlag;
  job.host = st.collect.host.c_str();
  job.shortHost = st.collect.shortHost.c_str();
  job.systemId = session.systemId.c_str();
  job.dbHost = session.dbHost.c_str();
  job.sysnr = st.collect.server.sysnr;
  job.gmt = st.settings.gmtSwitch;
  job.remoteOffset = st.remoteOffsetSeconds;
  job.allMetrics = st.switches.all;
  job.metrics = st.switches.on.data();
  // The interval lines need the whole read interval; a run always has it.
  const StatiInterval& r = st.remote;
  if (r.startDate.size() == 8 && r.startTime.size() == 6 && r.endDate.size() == 8 &&
      r.endTime.size() == 6) {
    job.readStartDate = r.startDate.c_str();
    job.readStartTime = r.startTime.c_str();
    job.readEndDate = r.endDate.c_str();
    job.readEndTime = r.endTime.c_str();
  }
  return job;
}

int statiPutOut() { return statiConvertTables(statiRunJob()); }

}  // namespace zmo::stati
