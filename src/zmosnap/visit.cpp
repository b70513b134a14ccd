#include "visit.h"

#include <array>
#include <string>

#include "common/gdlib_binding.h"
#include "common/rfc_options.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "zmosnap/known_systems.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// The connection options of an empty client or language field.
constexpr const char* kDefaultClient = "000";
constexpr const char* kDefaultLanguage = "E";

bool Stopped(const VisitMode& mode) {
  if (!mode.stopTests || !zmo::DisconnectFlag()) return false;
  zmo::writeTrace("zmosnapNormalRegistry:Disconnect flag set to True\n");
  return true;
}

// Overwrites a clear password before its memory goes.
void Forget(std::string* password) {
  password->assign(password->size(), '\0');
  password->clear();
}

// The XMI logon, user list and logoff. The step result; *logged_on tells
// whether the logon succeeded.
int QueryXmi(const VisitMode& mode, bool* logged_on) {
  *logged_on = false;
  zmo::writeTrace("about to call callXmiLogon()\n");
  int step = callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion);
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (step != 0) {
    zmo::writeTrace("callXmiLogon() failed\n");
    return 1;
  }
  *logged_on = true;
  zmo::writeTrace("about to call callSxmiXmbUserListRead()\n");
  step = callSxmiXmbUserListRead(kXmiUser);
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (step != 0) {
    zmo::writeTrace("callSxmiXmbUserListRead() failed\n");
    step = 1;
  }
  zmo::writeTrace("about to call callXmiLogoff()\n");
  const int logoff = callXmiLogoff(kXmiInterface);
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (logoff != 0) zmo::writeTrace("%s", mode.logoffFailure);
  return step;
}

// The snapshot of the server itself. 0, 1 or 28. The -np run, which
// counts it, traces its announcement after the call.
int FillOwnSnapshot(const VisitMode& mode) {
  const char* about = "about to call callFillSnapshotData(NULL,NULL)\n";
  if (!mode.snapshotCounts) zmo::writeTrace("%s", about);
  const int rc = callFillSnapshotData(nullptr, nullptr);
  if (mode.snapshotCounts) zmo::writeTrace("%s", about);
  const bool shutdown = zmo::DisconnectFlag();
  if (rc != 0) {
    zmo::writeTrace(shutdown ? "callFillSnapshotData() shutdown in progress\n"
                             : "callFillSnapshotData(NULL,NULL) failed\n");
  }
  zmo::writeTrace(shutdown ? "called callFillSnapshotData() shutdown in progress\n"
                           : "called callFillSnapshotData(NULL,NULL)\n");
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  return rc == 0 ? 0 : 1;
}

// The database host of the server's system, when this cycle has not
// sampled it yet and the system names it. 0, or 28.
int SampleDatabaseHost(const VisitMode& mode) {
  SnapRecordState& rec = snapRecordState();
  SnapRfcResults& results = snapRfcState().results;
  const std::string sid = rec.server.sid;
  int unknown = 0;
  if (isUnknownSystem(sid.c_str(), &unknown) != 0) {
    zmo::writeTrace(
        "db info for this system not retrieved. isUnknownSystem() returned unsuccessfully\n");
    return 0;
  }
  if (!unknown) {
    zmo::writeTrace("db info was already retrieved for this system\n");
    return 0;
  }
  zmo::writeTrace("about to call J_8C1_GET_DB_LOG_DEST\n");
  int exists = 0;
  int rc = callRfcFunctionSearch(kDbLogDestFunction, &exists);
  if (rc != 0) {
    zmo::writeTrace(zmo::DisconnectFlag() ? "callRfcFunctionSearch() shutdown in progress\n"
                                          : "callRfcFunctionSearch() failed\n");
  }
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (rc != 0 || !exists) return 0;

  zmo::writeTrace("about to retrieve db info for newly encountered r3 system <%s>\n", sid.c_str());
  // The call clears the destination first, so a failed one leaves none.
  rc = callJ8c1GetDbLogDest();
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (rc != 0) {
    zmo::writeTrace(
        "db info for this system not retrieved. callJ8c1GetDbLogDest() returned "
        "unsuccessfully\n");
    return 0;
  }
  const std::string destination = results.dbDestination;
  const std::string locality = results.dbLocality;
  rec.dbHostRecords = true;
  rc = callFillSnapshotData(destination.c_str(), locality.c_str());
  rec.dbHostRecords = false;
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (rc != 0) {
    zmo::writeTrace(
        "db info for this system not retrieved. callFillSnapshotData(%s,%s) returned "
        "unsuccessfully\n",
        destination.c_str(), locality.c_str());
  }
  if (addSystem(sid.c_str()) != 0) {
    zmo::writeTrace("addSystem(%s) returned unsuccessfully. db info may be retrieved twice\n",
                    sid.c_str());
  }
  return 0;
}

// The connection options of the current server, traced as they go out.
void FillOptions(const std::string& password, zmo::RfcServerOptions* o) {
  const zmo::ServerLine& server = snapRecordState().server;
  zmo::fillRfcOptions(server, password.c_str(), kDefaultClient, kDefaultLanguage, o);
  zmo::writeTrace(
      "about to connect to host <%s>, sid <%s>, client <%s>, sysnumber <%.2i> with user <%s> "
      "language <%s>\n",
      server.host.c_str(), server.sid.c_str(), o->options.client, server.sysnr, server.user.c_str(),
      o->options.language);
}

}  // namespace

int snapOpenServer(const std::string& password, const VisitMode& mode) {
  zmo::RfcServerOptions options;
  FillOptions(password, &options);
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  snapRfcState().handle = RfcOpen(&options.options);
  if (snapRfcState().handle != RFC_HANDLE_NULL) return 0;
  zmo::writeTrace("RfcOpen() returned unsuccessfully\n");
  return 1;
}

int snapQueryServer(const VisitMode& mode, const QueryPlan& plan) {
  SnapRfcResults& results = snapRfcState().results;
  results.usersRead = false;
  results.users = 0;
  results.sessions = 0;
  zmo::writeTrace("about to call callRfcSystemInfo()\n");
  int step = callRfcSystemInfo();
  if (Stopped(mode)) return zmo::kShutdownInProgress;
  if (step != 0) {
    zmo::writeTrace("callRfcSystemInfo() failed\n");
    return 1;
  }
  bool logged_on = false;
  step = QueryXmi(mode, &logged_on);
  if (step == zmo::kShutdownInProgress) return step;
  if (plan.logonRequired && !logged_on) return step;
  const int snapshot = FillOwnSnapshot(mode);
  if (snapshot == zmo::kShutdownInProgress) return snapshot;
  if (mode.snapshotCounts && snapshot != 0) step = 1;
  if (plan.databaseHost && SampleDatabaseHost(mode) == zmo::kShutdownInProgress) {
    return zmo::kShutdownInProgress;
  }
  return step;
}

void snapCloseConnection() {
  RfcClose(RFC_HANDLE_NULL);
  snapRfcState().handle = RFC_HANDLE_NULL;
  freeRfcTables();
}

int snapVisitServer(std::string_view line, const VisitMode& mode) {
  SnapRecordState& rec = snapRecordState();
  rec.dbHostRecords = false;
  zmo::parseServerLine(line, &rec.server);
  const char* clear = zmo::zmodecrypt(rec.server.password.c_str());
  if (clear == nullptr) {
    zmo::writeTrace("zmodecrypt() returned unsuccessfully, server <%s> skipped\n",
                    rec.server.host.c_str());
    return 0;
  }
  std::string password = clear;
  const int open = snapOpenServer(password, mode);
  Forget(&password);
  if (open == zmo::kShutdownInProgress) return open;
  int step = 1;
  if (open != 0) {
    if (!mode.availOnFailedOpen) return 0;
  } else {
    step = snapQueryServer(mode, QueryPlan{});
    if (step == zmo::kShutdownInProgress) return step;
    zmo::writeTrace("about to close the connection\n");
    snapCloseConnection();
  }
  const std::array<SnapFile, kSnapFileCount>& files = snapState().files;
  writeAvailRecord(files[kSnapAvailFile].file, step == 0 ? 1 : 0);
  return 0;
}

}  // namespace zmo::snap
