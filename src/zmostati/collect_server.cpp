// One application server of a collection run: from its server line to its
// availability line.

#include "common/gdlib_binding.h"
#include "common/server_file.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"
#include "zmostati/statrec.h"
#include "zmostati/timeconv.h"

namespace zmo::stati {

namespace {

// The steps on an open connection, in their order.
struct Step {
  const char* name;
  int (*run)();
  bool reads;  // the first step of reading the records
  // A stop that ends this step is traced as "shutdown in progress"; the
  // other steps that a stop ends are traced as having failed.
  bool tracesShutdown;
};
constexpr Step kSteps[] = {
    {"statiCallRfcSystemInfo", statiCallRfcSystemInfo, false, false},
    {"statiGetRemoteSystemQueryInterval", statiGetRemoteSystemQueryInterval, false, false},
    {"statiCreateRfcTables", statiCreateRfcTables, true, false},
    {"statiRfcInstallStructures", statiRfcInstallStructures, false, false},
    {"statiCallSapwlStatrecReadFile", statiCallSapwlStatrecReadFile, false, true},
    {"statiPutOut", statiPutOut, false, false},
};

// Runs the steps until the first failure, which marks the server failed.
// Records that wait for the loader already are not read again: the server
// counts as read. 0, or 28 when a stop request came: the run then ends
// without the server's availability line, whichever step the stop ended.
int CollectRecords(StatiCollectRun& run) {
  for (const Step& step : kSteps) {
    if (zmo::DisconnectFlag()) return zmo::kShutdownInProgress;
    if (step.reads && statiRecordsWaiting()) {
      zmo::writeTrace(
          "the records of host <%s> for this interval wait for the loader already, not read "
          "again\n",
          run.host.c_str());
      return 0;
    }
    const int rc = step.run();
    if (rc == 0) continue;
    const bool stopped = rc == zmo::kShutdownInProgress || zmo::DisconnectFlag();
    zmo::writeTrace(stopped && step.tracesShutdown ? "%s() shutdown in progress\n"
                                                   : "%s() returned unsuccessfully\n",
                    step.name);
    if (stopped) return zmo::kShutdownInProgress;
    run.failed = true;
    return 0;
  }
  return 0;
}

// The connection of a stopped run is closed and its tables deleted; its
// server gets no availability line.
int Stopped() {
  statiRfcClose();
  statiDeleteRfcTables();
  return zmo::kShutdownInProgress;
}

}  // namespace

int statiVisitServer(std::string_view line) {
  StatiCollectRun& run = statiState().collect;
  zmo::parseServerLine(line, &run.server);
  run.host = zmo::serverHostName(run.server.host);
  run.shortHost = zmo::serverShortHost(run.host);
  if (zmo::DisconnectFlag()) return zmo::kShutdownInProgress;

  const zmo::ServerLine& s = run.server;
  zmo::writeTrace(
      "about to connect to host <%s> with sid <%s>, client <%s>, sysnumber <%.2i> and user <%s> "
      "language <%s>\n",
      s.host.c_str(), s.sid.c_str(), s.client.c_str(), s.sysnr, s.user.c_str(), s.language.c_str());
  // The clear password stays in the binding's buffer until the next server.
  const char* password = zmo::zmodecrypt(s.password.c_str());
  if (zmo::DisconnectFlag()) return zmo::kShutdownInProgress;

  run.failed = false;
  if (password == nullptr) {
    // Never an open without a password: the server counts as failed.
    zmo::writeTrace("password decryption error\n");
    run.failed = true;
  } else if (statiRfcOpen(s, password) != 0) {
    zmo::writeTrace("RfcOpen() returned unsuccessfully\n");
    run.failed = true;
  } else {
    if (CollectRecords(run) != 0) return Stopped();
    zmo::writeTrace("about to close the connection\n");
    statiRfcClose();
  }
  if (statiWriteAvailRecord() != 0) {
    zmo::writeTrace("statiWriteAvailRecord() returned unsuccessfully\n");
  }
  statiDeleteRfcTables();
  return 0;
}

}  // namespace zmo::stati
