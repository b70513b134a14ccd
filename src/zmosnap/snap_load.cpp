// The hand-over of the previous cycle's files to the loader, and its start.

#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handover.h"
#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmosnap/config.h"
#include "zmosnap/state.h"

namespace {

// Archive prefixes, by file kind.
constexpr const char* kArchivePrefix[kSnapFileCount] = {"avl_m_", "cpu_m_", "dsk_m_", "lan_m_"};

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
      zmo::writeTrace("trying to move file <%s> to the ArchiveData directory\n", from);
      break;
    case zmo::HandOverStep::kRenameFailed:
      zmo::writeTrace("rename of <%s> to <%s> failed \n", from, to);
      break;
  }
}

// "YYYYMMDDhhmm" of the local time now.
std::string ArchiveStamp() {
  const std::tm t = zmo::ClockLocalTime(zmo::ClockNow());
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%.4i%.2i%.2i%.2i%.2i", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min);
  return stamp;
}

}  // namespace

int snapLoad() {
  const SnapState& st = snapState();
  const std::string archive_dir = zmo::JoinPath(st.settings.binDir, "ArchiveData");
  const std::string stamp = ArchiveStamp();
  std::array<zmo::HandOverFile, kSnapFileCount> files;
  for (int k = 0; k < kSnapFileCount; ++k) {
    const SnapFile& f = st.files[k];
    files[k] = {f.collecting, f.handOver,
                zmo::JoinPath(archive_dir, kArchivePrefix[k] + stamp + ".dat")};
  }
  zmo::writeTrace("about to rename files\n");
  for (const zmo::HandOverFile& f : files) {
    // The first cycle of a process has not opened its files yet.
    if (f.collecting.empty()) {
      zmo::writeTrace("no collecting files of an earlier cycle to hand over\n");
      return 1;
    }
  }
  if (zmo::handOverFiles(files.data(), files.size(), NoteHandOver) != 0) {
    return zmo::kHandOverFailed;
  }

  const std::string& loader = st.settings.loaderPath;
  zmo::writeTrace("about to execute command <%s>\n", loader.c_str());
  char ip[zmo::kIpAddressSize];
  zmo::myIPaddress(ip);
  zmo::writeTrace("snapLoad() IP address returned <%s>\n", ip);
  const std::string pid = std::to_string(getpid());
  zmo::writeTrace("snapLoad() PID returned <%s>\n", pid.c_str());
  // "-p SNAP" alone has no leading blank; the command line joins the
  // elements with blanks all the same.
  const std::vector<std::string> argv = {loader, " -a", "-p SNAP", std::string(" -h ") + ip,
                                         " -i " + pid};
  if (zmo::execCommand(loader, argv) != 0) {
    zmo::writeTrace("execCommand() returned unsuccessfully\n");
    return 1;
  }
  return 0;
}
