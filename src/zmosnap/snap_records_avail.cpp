// The availability record of one server and cycle.

#include "common/availability.h"
#include "common/message_catalog.h"
#include "common/trace_log.h"
#include "platform/resources.h"
#include "zmosnap/records.h"

namespace zmo::snap {

namespace {

// Catalog text of the label of a server that was not available.
constexpr UINT kNotKnownTextId = 1513;
constexpr const char* kNotKnown = "NOT KNOWN";

std::string UnavailableLabel() {
  char text[256];
  HINSTANCE catalog = zmo::Catalog();
  if (catalog != nullptr && LoadStringA(catalog, kNotKnownTextId, text, sizeof text) > 0)
    return text;
  return kNotKnown;
}

}  // namespace

int writeAvailRecord(std::FILE* file, int available) {
  const SnapRecordState& st = snapRecordState();
  int rc = 0;
  if (st.switches.all || st.switches.group[zmo::kGroupSnapAvail]) {
    const std::string host = zmo::serverHostName(st.server.host);
    const std::string short_host = zmo::serverShortHost(host);
    char destination[256];
    zmo::formatRfcDestination(destination, sizeof destination, short_host.c_str(),
                              st.server.sid.c_str(), st.server.sysnr);
    char label[256];
    if (available) {
      zmo::formatSystemLabel(label, sizeof label, st.server.sid.c_str(),
                             snapRfcState().results.dbHost.c_str());
    } else {
      std::snprintf(label, sizeof label, "%s", UnavailableLabel().c_str());
    }
    zmo::AvailLine line;
    line.destination = destination;
    line.host = host.c_str();
    line.label = label;
    line.sid = st.server.sid.c_str();
    line.stamp = snapRecordTime();
    line.available = available ? 1 : 0;
    int cut = 0;
    const int written =
        file == nullptr ? 2 : zmo::writeAvailLine(file, zmo::DatabaseKind(), line, &cut);
    if (cut) zmo::writeTrace("writeAvailRecord() a text longer than its column was cut to it\n");
    if (written == 1)
      zmo::writeTrace("writeAvailRecord() the time stamp has no form, no record written\n");
    if (written == 2)
      zmo::writeTrace("writeAvailRecord() writing the availability record failed\n");
    rc = written == 0 ? 0 : 1;
  }
  // The record is the last thing done for a server: what its system
  // information said must not reach the next one.
  snapForgetServerResults();
  return rc;
}

}  // namespace zmo::snap
