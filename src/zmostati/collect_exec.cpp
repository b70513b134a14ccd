// Starting zmomsg and zmoloader, with the hand-over of the statistic data
// file before the loader.

#include <algorithm>
#include <string>
#include <vector>

#include "common/handover.h"
#include "common/trace_log.h"
#include "zmostati/collect.h"
#include "zmostati/state.h"

namespace {

// Elements of the argument vector that the start trace shows at most.
constexpr size_t kTracedElements = 8;

void NoteHandOver(zmo::HandOverStep step, const zmo::HandOverFile&, const char* from,
                  const char* to) {
  switch (step) {
    case zmo::HandOverStep::kEmptyLeftover:
      zmo::writeTrace("file zmostati.dat exists and is zero bytes in length\n");
      zmo::writeTrace("trying to delete zmostati.dat\n");
      break;
    case zmo::HandOverStep::kDeleteFailed:
      zmo::writeTrace("cannot delete file zmostati.dat, skipping insertion this cycle\n");
      break;
    case zmo::HandOverStep::kLeftoverWithData:
      zmo::writeTrace("file zmostati.dat exists and contains data\n");
      zmo::writeTrace("trying to move zmostati.dat to the ArchiveData directory\n");
      break;
    case zmo::HandOverStep::kRenameFailed:
      zmo::writeTrace("rename of <%s> to <%s> failed \n", from, to);
      break;
  }
}

// "About to execute <program> with parameters <e0><e1>...." with the
// elements there are, up to the first eight.
void TraceStart(const std::string& program, const std::vector<std::string>& argv) {
  std::string text = "About to execute <" + program + "> with parameters ";
  const size_t n = std::min(argv.size(), kTracedElements);
  for (size_t i = 0; i < n; ++i) text += "<" + argv[i] + ">";
  zmo::writeTrace("%s.\n", text.c_str());
}

}  // namespace

int statiExecCommand(const std::string& program, const std::vector<std::string>& argv) {
  const StatiSettings& s = statiState().settings;
  if (!argv.empty() && argv[0] == s.loaderPath) {
    zmo::writeTrace("about to rename file\n");
    const zmo::HandOverFile file{s.outFile, s.handOverFile, s.archiveFile};
    if (zmo::handOverFiles(&file, 1, NoteHandOver) != 0) return zmo::kHandOverFailed;
  }
  TraceStart(program, argv);
  return zmo::execCommand(program, argv);
}
