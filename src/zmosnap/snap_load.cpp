// The hand-over of the previous cycle's files to the loader, and its start.

#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handover.h"
#include "common/pipeline.h"
#include "common/run_mark.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmosnap/config.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

void NoteHandOver(zmo::HandOverStep step, const zmo::HandOverFile&, const char* from,
                  const char* to) {
  switch (step) {
    case zmo::HandOverStep::kEmptyLeftover:
      zmo::writeTrace("file <%s> exists and is zero bytes in length\n", from);
      zmo::writeTrace("trying to delete file <%s>\n", from);
      break;
    case zmo::HandOverStep::kDeleteFailed:
      zmo::writeTrace("cannot delete file <%s>, skipping insertion this cycle\n", from);
      break;
    case zmo::HandOverStep::kLeftoverWithData:
      zmo::writeTrace("file <%s> exits and contains data \n", from);
      zmo::writeTrace("file <%s> waits for the loader; the records stay in the collecting files\n",
                      from);
      break;
    case zmo::HandOverStep::kRenameFailed:
      zmo::writeTrace("rename of <%s> to <%s> failed \n", from, to);
      break;
  }
}

// Renames the collecting files under the cycle's mark, so that a kill in
// the middle leaves a hand-over the next start completes.
int HandOver(const std::array<zmo::HandOverFile, kSnapFileCount>& files) {
  zmo::RunMark mark;
  mark.state = zmo::RunMarkState::kHandingOver;
  if (zmo::writeRunMark(snapRunMarkPath(), mark) != 0) {
    zmo::writeTrace("run mark <%s> could not be written\n", snapRunMarkPath().c_str());
    return zmo::kHandOverFailed;
  }
  const int rc = zmo::handOverFiles(files.data(), files.size(), NoteHandOver);
  std::remove(snapRunMarkPath().c_str());
  return rc;
}

}  // namespace

int snapLoad() {
  const SnapState& st = snapState();
  std::array<zmo::HandOverFile, kSnapFileCount> files;
  for (int k = 0; k < kSnapFileCount; ++k) {
    files[k] = {st.files[k].collecting, st.files[k].handOver};
  }
  zmo::writeTrace("about to rename files\n");
  for (const zmo::HandOverFile& f : files) {
    // The first cycle of a process has not opened its files yet.
    if (f.collecting.empty()) {
      zmo::writeTrace("no collecting files of an earlier cycle to hand over\n");
      return 1;
    }
  }
  const int rc = HandOver(files);
  if (rc == zmo::kHandOverFailed) return rc;
  // With an unloaded file still under a hand-over name (kHandOverPending)
  // the loader is started for it; the new records wait.

  const std::string& loader = st.settings.loaderPath;
  zmo::writeTrace("about to execute command <%s>\n", loader.c_str());
  char ip[zmo::kIpAddressSize];
  zmo::myIPaddress(ip);
  zmo::writeTrace("snapLoad() IP address returned <%s>\n", ip);
  zmo::LoaderCall call;
  call.host = ip;
  call.pid = std::to_string(getpid());
  zmo::writeTrace("snapLoad() PID returned <%s>\n", call.pid.c_str());
  // "-p SNAP" alone has no leading blank; the command line joins the
  // elements with blanks all the same.
  const std::vector<std::string> argv = zmo::loaderArgv(zmo::Collection::kSnap, loader, call);
  if (zmo::execCommand(loader, argv) != 0) {
    zmo::writeTrace("execCommand() returned unsuccessfully\n");
    return 1;
  }
  return 0;
}

}  // namespace zmo::snap
