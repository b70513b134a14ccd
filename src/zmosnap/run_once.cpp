// The console runs: -nr one cycle as the service makes it, -np the
// command-line run.

#include <cstring>
#include <string>
#include <string_view>

#include "common/db_kind.h"
#include "common/gdlib_binding.h"
#include "common/metric_switches.h"
#include "common/runtime_state.h"
#include "common/server_file.h"
#include "common/service_control.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "visit.h"
#include "zmosnap/cmdline.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// Every server line of the -if file, visited as the cycle does.
int VisitServerFile(const std::string& path) {
  std::string& data = snapState().inBuffer;
  switch (zmo::readServerFile(path.c_str(), &data)) {
    case 0:
      break;
    case 1:
      zmo::writeTrace("could not open input file\n");
      return 1;
    case 2:
      zmo::writeTrace("getFileSize() failed\n");
      return 1;
    default:
      zmo::writeTrace("reading the input file failed\n");
      return 1;
  }
  size_t pos = 0;
  std::string_view line;
  while (zmo::nextServerLine(data, &pos, &line)) snapVisitServer(line, kCommandLineVisit);
  closeInFile();
  return 0;
}

// The one server the options name, without an availability record.
int VisitNamedServer(const SnapCmdLine& cmd) {
  SnapRecordState& rec = snapRecordState();
  rec.server = cmd.server;
  rec.dbHostRecords = false;
  if (snapOpenServer(cmd.password, kCommandLineVisit) != 0) return 1;
  snapQueryServer(kCommandLineVisit, QueryPlan{true, false});
  snapCloseConnection();
  return 0;
}

}  // namespace

int snapCmdLineRun(int argc, char** argv) {
  SnapCmdLine cmd;
  if (snapParseCmdLine(argc, argv, &cmd) != 0) return 1;
  if (cmd.debug) zmo::SetTraceSwitch(true);
  zmo::setDatabaseKind(cmd.dbKind);
  // Without a BinDir zmogdlib is looked for beside the program, where an
  // installation puts it.
  zmo::setGdLibDirectory(zmo::ProgramDir().c_str());
  // No registry is read: every record field is written.
  zmo::setAllMetricSwitches(&snapRecordState().switches);

  if (openSnapFiles() != 0) return 1;
  if (openAvailFile() != 0) {
    zmo::writeTrace("openAvailFile() returned unsuccessfully\n");
    closeSnapFiles();
    return 1;
  }
  // As a cycle does: the record stamps are moved from the collector's zone
  // to the SAP system's by this offset.
  zmo::writeTrace("about to determine local offset to UTC\n");
  zmo::getTotalLocalOffsetUTC();
  snapInstallRfcErrorCallback();
  const int rc = cmd.inFile.empty() ? VisitNamedServer(cmd) : VisitServerFile(cmd.inFile);
  closeAvailFile();
  closeSnapFiles();
  return rc;
}

void snapRunOnce(int argc, char** argv) {
  SnapState& st = snapState();
  st.runCounter = 1;
  if (initRfcTables() != 0) {
    zmo::writeTrace("initRfcTables() returned unsuccessfully\n");
    return;
  }
  if (argc >= 2 && std::strcmp(argv[1], "-np") == 0) {
    snapCmdLineRun(argc, argv);
    return;
  }
  // As a service pass would: the trace switch, the metric switches, a cycle.
  queryRegForFormat(true);
  snapGetMetricFilters();
  if (!zmo::DisconnectFlag()) snapStartQuery(argc, argv);
}

}  // namespace zmo::snap
