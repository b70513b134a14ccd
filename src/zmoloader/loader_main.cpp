// The order of a run.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>

#include "common/db_kind.h"
#include "common/gdlib_binding.h"
#include "common/metric_switches.h"
#include "lines.h"
#include "platform/batch.h"
#include "settings.h"
#include "zmoloader/batch.h"
#include "zmoloader/cmdline.h"
#include "zmoloader/libraries.h"
#include "zmoloader/load_files.h"
#include "zmoloader/loader.h"
#include "zmoloader/registry.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

int ProgramOf(const std::string& program) {
  const zmo::CollectionRow* c = zmo::collectionNamed(program);
  if (c == nullptr) return kProgramNone;
  return c->collection == zmo::Collection::kSnap ? kProgramSnap : kProgramStati;
}

// Steps 2 to 10: settings, libraries, arguments, switches, table key and
// logon.
int ReadRun(int argc, char** argv) {
  LoaderState& s = loaderState();
  int rc = loaderReadBinDir();
  if (rc == 0) rc = CheckLogSize(kLoaderLogName, kLoaderOldLogName);
  if (rc != 0) return rc;
  loaderLog("BinDir=%s\n", s.bin_dir.c_str());
  loaderLog("zmoloader started\n");
  rc = loaderReadKeepDays();
  if (rc != 0) return rc;
  loaderLog("About to process arguments\n");
  zmoLoaderLoadLang();
  // The binding has already written why it failed; this second line is the
  // one the loader's log has always ended a failed load with.
  if (loaderBindGdLib() != 0) loaderLog("zmoLoaderGdLib() returned unsuccessfully\n");

  rc = loaderScanArgs(argc, argv);
  if (rc != 0) return rc;
  s.prog = ProgramOf(s.program);
  rc = zmo::readMetricSwitches(
      s.prog == kProgramSnap ? zmo::MetricRun::kSnap : zmo::MetricRun::kStati, loaderQueryReg,
      loaderLog, &s.switches);
  if (rc == 0 && !s.vendor_given) rc = loaderReadVendor();
  if (rc != 0) return rc;
  if (!s.ip_given) return loaderHalt("IP address not present.");
  if (!s.pid_given) return loaderHalt("PID not present.");
  s.table_key = makeIpKey(s.ip) + makePidKey(s.pid);
  loaderLog("Table key=<%s>\n", s.table_key.c_str());
  return loaderReadLogon();
}

// Steps 11 to 13: the file names, then every file of the kind.
int WriteFiles() {
  LoaderState& s = loaderState();
  // Named before the program is checked: any program but SNAP takes the
  // statistics' name.
  s.sql_file =
      binPath(loaderProgramInfo(s.prog == kProgramSnap ? kProgramSnap : kProgramStati)->load_sql);
  loaderLog("fzmoload_sql=%s\n", s.sql_file.c_str());
  const LoaderProgramInfo* p = loaderProgramInfo(s.prog);
  if (p == nullptr) {
    loaderLog("ERROR - ERROR: Unknown calling program specified..\n");
    loaderLog("ERROR - ERROR: Programs must be SNAP or STATI\n");
    loaderLog("ERROR - ERROR: Execution halting\n");
    zmoLoaderFreeLib();
    zmo::zmoLoaderFreeGdLib();
    return kLoaderExitUsage;
  }
  // The values that go into the lines are read and checked before any
  // file is touched: a refused one leaves every file as it was.
  s.kind = zmo::dbKindFromVendor(s.vendor.c_str());
  if (s.kind != zmo::DbKind::kNone) {
    const int rc = loaderReadKindValues();
    if (rc != 0) return rc;
    if (loaderCheckLineValues() != 0) return kLoaderExitError;
  }
  s.bat_file = binPath(p->first_bat);
  loaderLog("fzmoload_bat=%s\n", s.bat_file.c_str());
  // A batch of an earlier run may still be running: wait for its end.
  s.batch_lock = zmo::LockBatchFile(s.bat_file);
  if (s.batch_lock < 0) {
    std::string text = "Could not lock file <" + s.bat_file + "> (" + std::strerror(errno) + ")";
    return loaderHalt(text.c_str());
  }
  s.bat2_file = binPath(p->second_bat);
  loaderLog("fzmoload1_bat=%s\n", s.bat2_file.c_str());
  // The Corva command window runs the second batch on by itself: its lock
  // too, so that no run writes files under a second batch that is still
  // running (its first batch killed).
  if (s.kind == zmo::DbKind::kCorva) {
    s.batch2_lock = zmo::LockBatchFile(s.bat2_file);
    if (s.batch2_lock < 0) {
      std::string text = "Could not lock file <" + s.bat2_file + "> (" + std::strerror(errno) + ")";
      return loaderHalt(text.c_str());
    }
  }
  // The first batch file is created before the kind's files; it stays
  // empty when the kind is not one of the five.
  int rc = writeLoaderFile(s.bat_file, {});
  if (rc != 0) return rc;

  if (s.kind == zmo::DbKind::kNone) {
    loaderLog("ERROR - ERROR: Unknown database specified..\n");
    loaderLog("ERROR - ERROR: Supported databases are Corva and Oracle\n");
    loaderLog("ERROR - ERROR: Execution halting\n");
    return kLoaderExitError;
  }
  loaderLog("Processing vendor %s\n", zmo::dbKindName(s.kind));
  return writeKindFiles();
}

}  // namespace

int loaderMain(int argc, char** argv) {
  if (argc < 2) {
    loaderPrintUsage();
    return kLoaderExitUsage;
  }
  int rc = ReadRun(argc, argv);
  if (rc == 0) rc = WriteFiles();
  if (rc == 0) {
    loaderSendStartMessage();
    rc = loaderStartBatch();
  }
  loaderReleaseBatchLock();
  if (rc == 0 || rc == kLoaderExitLoadFailed) {
    zmoLoaderFreeLib();
    zmo::zmoLoaderFreeGdLib();
  }
  return rc;
}

}  // namespace zmo::loader
