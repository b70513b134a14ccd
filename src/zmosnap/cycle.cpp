// One collection cycle from its settings to its closed files.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/handover.h"
#include "common/message_catalog.h"
#include "common/pipeline.h"
#include "common/server_file.h"
#include "common/service_control.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/resources.h"
#include "visit.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/known_systems.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

constexpr UINT kStartMessageId = 1488;
constexpr const char* kStartMessage = "Monitoring for Orvane auto loader started";
constexpr int kStartMessageSize = 256;  // the catalog text's buffer, its end included
constexpr const char* kEndMessage = "Collection of SNAP records has ended";

// Runs zmomsg with one message for the SNAP summary log.
void SendMessage(const std::string& text) {
  const std::string& zmomsg = snapState().settings.zmomsgPath;
  const std::vector<std::string> argv =
      zmo::zmomsgArgv(zmo::PipelineProgram::kSnap, zmo::Collection::kSnap, zmomsg, text, false);
  if (zmo::execCommand(zmomsg, argv) != 0) {
    zmo::writeTrace("execCommand() returned unsuccessfully\n");
  }
}

// The start message, in the catalog's language when it can be had.
void SendStartMessage() {
  zmo::writeTrace("about to execute command <%s>\n", snapState().settings.zmomsgPath.c_str());
  zmo::loadLang();
  std::string message = kStartMessage;
  if (!zmo::catalogText(zmo::Catalog(), kStartMessageId, kStartMessageSize, &message)) {
    zmo::writeTrace("snapStartQuery() LoadString returned unsuccessfully\n");
  }
  SendMessage(message);
  zmo::writeTrace(zmo::freeLang() == 0 ? "snapStartQuery() returned successfully\n"
                                       : "snapStartQuery() returned unsuccessfully\n");
}

// Reads the server file, the configured one or else the default. 0, or 1
// after tracing the failure.
int ReadServerFile() {
  zmo::writeTrace("about to open input file\n");
  int rc = openInFile();
  if (rc >= 1 && rc <= 4) {
    zmo::writeTrace("about to open default input file\n");
    rc = openDefaultInFile();
  }
  if (rc == 0) return 0;
  if (rc <= 4) {
    zmo::writeTrace("openDefaultInFile() returned unsuccessfully\n");
  } else if (rc == 5) {
    zmo::writeTrace("getFileSize() returned unsuccessfully\n");
  } else {
    zmo::writeTrace("reading the input file returned unsuccessfully\n");
  }
  return 1;
}

int OpenCollectingFiles() {
  zmo::writeTrace("about to open snipsnap files\n");
  if (openSnapFiles() != 0) {
    zmo::writeTrace("openSnapFiles() returned unsuccessfully\n");
    return 1;
  }
  zmo::writeTrace("about to open availability file\n");
  if (openAvailFile() != 0) {
    zmo::writeTrace("openAvailFile() returned unsuccessfully\n");
    return 1;
  }
  return 0;
}

// The end of a cycle that failed before its servers.
int FailedCycle() {
  zmo::writeTrace("about to close input, snipsnap and availablity files\n");
  closeInFile();
  closeSnapFiles();
  closeAvailFile();
  std::remove(snapRunMarkPath().c_str());
  zmo::writeTrace("about to execute command <%s>\n", snapState().settings.zmomsgPath.c_str());
  SendMessage(kEndMessage);
  return 1;
}

// Every end of a cycle that reached its servers: the connection, the
// buffer, the files and the list of systems go, whatever the result. The
// collecting files keep what was written.
int EndCycle(int result) {
  if (result == zmo::kShutdownInProgress) snapCloseConnection();
  zmo::writeTrace("about to close snipsnap and availablity files\n");
  closeAvailFile();
  closeSnapFiles();
  // The records written are the cycle's: they stay for the hand-over.
  std::remove(snapRunMarkPath().c_str());
  closeInFile();
  removeAllSystem();
  return result;
}

}  // namespace

int snapStartQuery(int, char**) {
  SnapState& st = snapState();
  snapRecordState().dbHostRecords = false;
  removeAllSystem();

  zmo::writeTrace("about to query registry for format\n");
  if (queryRegForFormat(false) != 0) {
    zmo::writeTrace("queryRegForFormat() returned unsuccessfully\n");
    return 1;
  }
  zmo::writeTrace("about to query registry for aggregation\n");
  bool aggregate = false;
  queryRegForAggregation(&aggregate);
  zmo::writeTrace("aggregation for this run is enabled\n");

  SendStartMessage();
  if (snapSettleEarlierCycle() != 0) return FailedCycle();
  snapLoad();

  if (ReadServerFile() != 0 || OpenCollectingFiles() != 0 || snapMarkCycle() != 0) {
    return FailedCycle();
  }
  zmo::writeTrace("about to determine local offset to UTC\n");
  zmo::getTotalLocalOffsetUTC();
  if (st.runCounter == 1) snapInstallRfcErrorCallback();

  const std::string_view data = st.inBuffer;
  size_t pos = 0;
  std::string_view line;
  while (zmo::nextServerLine(data, &pos, &line)) {
    if (snapVisitServer(line, kServiceVisit) == zmo::kShutdownInProgress) {
      return EndCycle(zmo::kShutdownInProgress);
    }
  }
  return EndCycle(0);
}

}  // namespace zmo::snap
