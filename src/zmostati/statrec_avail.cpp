// statiWriteAvailRecord: one availability line per server and run, in the
// AvailRecord form both collectors share.

#include <string>

#include "common/availability.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "statrec_internal.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

constexpr const char* kNotKnown = "NOT_KNOWN";

}  // namespace

int statiWriteAvailRecord() {
  const StatiCollectRun& run = statiState().collect;
  if (run.availFile == nullptr) {
    zmo::writeTrace("statiWriteAvailRecord() no open availability file\n");
    return 1;
  }
  const StatiRfcSession& session = statiRfcSession();
  char destination[256];
  zmo::formatRfcDestination(destination, sizeof destination, run.shortHost.c_str(),
                            run.server.sid.c_str(), run.server.sysnr);
  std::string label = kNotKnown;
  if (!run.failed) {
    char text[256];
    zmo::formatSystemLabel(text, sizeof text, session.systemId.c_str(), session.dbHost.c_str());
    label = text;
  }
  zmo::AvailLine line;
  line.destination = destination;
  line.host = run.host.c_str();
  line.label = label.c_str();
  line.sid = run.server.sid.c_str();
  line.stamp = zmo::ClockLocalTime(zmo::ClockNow());
  line.available = run.failed ? 0 : 1;
  int cut = 0;
  const int rc = zmo::writeAvailLine(run.availFile, zmo::DatabaseKind(), line, &cut);
  if (cut && statiFirstNote(kNoteTextCut)) {
    zmo::writeTrace(
        "statiWriteAvailRecord() a text longer than its Oracle column was cut to fit\n");
  }
  if (rc != 0) {
    zmo::writeTrace("statiWriteAvailRecord() writing the availability line failed\n");
    return 1;
  }
  return 0;
}

}  // namespace zmo::stati
