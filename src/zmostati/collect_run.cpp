// One collection run, from the start message to the loader start.
//
// A run either completes or leaves the statistic data file as it found it:
// a stop request (28) or a failure before the hand-over cuts the file back
// to its length at the start of the run, so the interval, which the work
// loop will propose again, is never loaded twice. A complete collection
// whose hand-over alone failed counts as collected; its records stay in the
// collecting file, and the next run's hand-over takes them along.
//
// A kill gives no orderly end: the run's mark beside the collecting file
// tells the next start what to finish (common/run_mark.h).

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "common/gdlib_binding.h"
#include "common/handover.h"
#include "common/message_catalog.h"
#include "common/run_mark.h"
#include "common/server_file.h"
#include "common/service_control.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmostati/collect.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

void FreeCatalog() {
  zmo::writeTrace(zmo::freeLang() == 0 ? "statiStartQuery() FreeLibrary returned successfully\n"
                                       : "statiStartQuery() FreeLibrary returned unsuccessfully\n");
}

// Undoes what the run wrote to the statistic data file and lets go of
// everything the run holds.
int EndIncomplete(int result) {
  statiFreeInBuffer();
  statiCutBackOutFile();
  closeAvailFile();
  FreeCatalog();
  return result;
}

// Settles a run that a kill cut short. Returns 0 (go on), 1 (the collecting
// file could not be put right: no run may append to it) or
// kStatiRunRecovered (the cut-short run's interval is stored now).
int SettleEarlierRun() {
  const StatiSettings& s = statiState().settings;
  const std::string mark_path = statiRunMarkPath();
  const zmo::HandOverFile file{s.outFile, s.handOverFile.empty() ? s.outFile : s.handOverFile};
  std::string text;
  int bad_line = 0;
  switch (zmo::recoverRun(mark_path, &file, 1, &text, &bad_line)) {
    case zmo::RunRecovery::kNone:
      return 0;
    case zmo::RunRecovery::kCutBack:
      zmo::writeTrace("records of a run that did not end removed from <%s>\n", s.outFile.c_str());
      return 0;
    case zmo::RunRecovery::kDamaged:
      zmo::writeTrace("run mark <%s> line %i is damaged; <%s> is left as it is\n",
                      mark_path.c_str(), bad_line, s.outFile.c_str());
      return 0;
    case zmo::RunRecovery::kFailed:
      zmo::writeTrace("the run that left <%s> could not be settled\n", mark_path.c_str());
      return 1;
    case zmo::RunRecovery::kHandedOver:
    case zmo::RunRecovery::kKept:
      break;
  }
  zmo::writeTrace("a run that was cut short after its collection handed over <%s>\n", text.c_str());
  StatiInterval interval;
  if (!statiState().storesInterval || statiParseIntervalText(text, &interval) != 0) return 0;
  statiStoreCollected(interval);
  return kStatiRunRecovered;
}

// Marks the run before it appends: its collecting file's length and its
// interval. 0 or 1.
int WriteCollectingMark() {
  const StatiState& st = statiState();
  zmo::RunMark mark;
  mark.lengths.push_back(st.collect.outStartSize);
  mark.interval = statiIntervalText(st.current);
  if (zmo::writeRunMark(statiRunMarkPath(), mark) == 0) return 0;
  zmo::writeTrace("run mark <%s> could not be written\n", statiRunMarkPath().c_str());
  return 1;
}

int OpenFiles() {
  const StatiSettings& s = statiState().settings;
  if (statiOpenInFile() != 0) {
    zmo::writeTrace("unable to open input file <%s>\n", s.serverFile.c_str());
    return 1;
  }
  if (statiOpenOutFile() != 0) {
    zmo::writeTrace("unable to open output file <%s>\n", s.outFile.c_str());
    return 1;
  }
  if (WriteCollectingMark() != 0) return 1;
  if (statiOpenAvailFile() != 0) {
    zmo::writeTrace("unable to open availability file <%s>\n", s.availFile.c_str());
    return 1;
  }
  if (zmo::getTotalLocalOffsetUTC() != 0) {
    zmo::writeTrace("unable to get total local offset to UTC\n");
    return 1;
  }
  return 0;
}

void HandOver() {
  const StatiSettings& s = statiState().settings;
  if (s.handOverFile.empty()) {
    // A -np run: the records stay in the -of file and no loader starts.
    std::remove(statiRunMarkPath().c_str());
    zmo::writeTrace("special run: records written to <%s>, no loader started\n", s.outFile.c_str());
    return;
  }
  int loader_exit = 0;
  const int rc = statiExecCommand(s.loaderPath, s.ldrArg, &loader_exit);
  if (rc == zmo::kHandOverFailed) {
    zmo::writeTrace("hand-over failed: the records stay in <%s> for the next run\n",
                    s.outFile.c_str());
  } else if (rc != 0) {
    zmo::writeTrace("statiExecCommand() returned unsuccessfully\n");
  } else if (loader_exit != 0) {
    // The loader keeps its data file for the next load; a one-shot run
    // says so in its exit code.
    zmo::writeTrace(
        "zmoloader ended with <%i>: the load failed, its file is kept for the next "
        "load\n",
        loader_exit);
    statiState().loadFailed = true;
  }
}

// One run at a time on a statistic data file: the service's pass and a
// zmostati -nr typed meanwhile would both append to it, and neither could
// see the other's records of the same interval. The lock lasts the run, the
// hand-over and the load included; the loader does not inherit it.
class RunLock {
 public:
  explicit RunLock(const std::string& path) : fd_(zmo::LockFileExclusive(path)) {
    if (fd_ < 0) zmo::writeTrace("could not lock <%s>: %s\n", path.c_str(), std::strerror(errno));
  }
  ~RunLock() {
    if (fd_ >= 0) close(fd_);
  }
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace

int statiStartQuery() {
  StatiState& st = statiState();
  closeOutFile();
  closeAvailFile();
  st.collect = StatiCollectRun{};
  zmo::setGdLibDirectory(st.settings.binDir.c_str());
  const RunLock lock(st.settings.outFile + ".lock");
  if (!lock.held()) return 1;
  const int settled = SettleEarlierRun();
  if (settled != 0) return settled;

  statiGetMetricFilters();
  if (zmo::loadLang() != 0) zmo::writeTrace("zmostatiLoadLang() returned unsuccessfully\n");
  statiSendStartMessages();

  if (OpenFiles() != 0) {
    statiSendEndMessage();
    return EndIncomplete(1);
  }
  size_t pos = 0;
  std::string_view line;
  while (zmo::nextServerLine(st.collect.inBuffer, &pos, &line)) {
    if (statiVisitServer(line) != 0) return EndIncomplete(zmo::kShutdownInProgress);
  }
  statiSendEndMessage();

  statiFreeInBuffer();
  if (closeAvailFile() != 0) zmo::writeTrace("closeAvailFile() returned unsuccessfully\n");
  if (closeOutFile() != 0) {
    // Records that did not reach the disk make an incomplete interval.
    zmo::writeTrace("closeOutFile() returned unsuccessfully\n");
    return EndIncomplete(1);
  }
  HandOver();
  FreeCatalog();
  return 0;
}

}  // namespace zmo::stati
