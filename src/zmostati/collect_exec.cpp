// Starting zmomsg and zmoloader, with the hand-over of the statistic data
// file before the loader. The run's mark says, at each step of the
// hand-over, what a restart after a kill has to finish; the interval is
// stored as collected before the loader starts, so a loader that outlives
// a killed collector never loads an interval that is collected again.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/handover.h"
#include "common/pipeline.h"
#include "common/run_mark.h"
#include "common/trace_log.h"
#include "zmostati/collect.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// Elements of the argument vector that the start trace shows at most.
constexpr size_t kTracedElements = 8;

// The hand-over name of the statistic data file, as the trace lines name it.
constexpr const char* kHandOver = zmo::pipelineFile(zmo::PipelineFile::kStati).hand_over;

void NoteHandOver(zmo::HandOverStep step, const zmo::HandOverFile&, const char* from,
                  const char* to) {
  switch (step) {
    case zmo::HandOverStep::kEmptyLeftover:
      zmo::writeTrace("file %s exists and is zero bytes in length\n", kHandOver);
      zmo::writeTrace("trying to delete %s\n", kHandOver);
      break;
    case zmo::HandOverStep::kDeleteFailed:
      zmo::writeTrace("cannot delete file %s, skipping insertion this cycle\n", kHandOver);
      break;
    case zmo::HandOverStep::kLeftoverWithData:
      zmo::writeTrace("file %s exists and contains data\n", kHandOver);
      zmo::writeTrace("%s waits for the loader; the records of this run stay in <%s>\n", kHandOver,
                      statiState().settings.outFile.c_str());
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

namespace {

// Hands the collecting file over and stores the interval as collected.
// Returns 0 (handed over), kHandOverPending or kHandOverFailed (the
// records stay in the collecting file, the interval counts as collected
// all the same).
int HandOver() {
  const StatiState& st = statiState();
  const StatiSettings& s = st.settings;
  const std::string mark_path = statiRunMarkPath();
  zmo::RunMark mark;
  mark.interval = statiIntervalText(st.current);
  mark.state = zmo::RunMarkState::kHandingOver;
  if (zmo::writeRunMark(mark_path, mark) != 0) {
    zmo::writeTrace("run mark <%s> could not be written\n", mark_path.c_str());
    return zmo::kHandOverFailed;
  }
  zmo::writeTrace("about to rename file\n");
  const zmo::HandOverFile file{s.outFile, s.handOverFile};
  const int rc = zmo::handOverFiles(&file, 1, NoteHandOver);
  if (rc != 0) {
    // The records stay: a restart must neither cut them back nor hand over.
    mark.state = zmo::RunMarkState::kKept;
    if (zmo::writeRunMark(mark_path, mark) != 0) {
      zmo::writeTrace("run mark <%s> could not be written\n", mark_path.c_str());
      return zmo::kHandOverFailed;
    }
  }
  statiStoreCollected(st.current);
  std::remove(mark_path.c_str());
  return rc;
}

}  // namespace

int statiExecCommand(const std::string& program, const std::vector<std::string>& argv,
                     int* exit_code) {
  const StatiSettings& s = statiState().settings;
  if (!argv.empty() && argv[0] == s.loaderPath && HandOver() == zmo::kHandOverFailed) {
    return zmo::kHandOverFailed;
  }
  TraceStart(program, argv);
  return zmo::execCommand(program, argv, exit_code);
}

}  // namespace zmo::stati
