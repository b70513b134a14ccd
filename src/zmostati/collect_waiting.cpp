// Records that wait for the loader already. When a load fails, its file
// stays under the hand-over name and the next runs' records stay in the
// collecting file; a run of the same interval again (zmostati -nr) would
// add a second copy of a server's records to them, and the warehouse's
// marks cannot tell two copies in one load apart. Each server's records are
// followed by their interval lines, so the run looks for the lines it would
// write among those that wait, and reads nothing it finds there.

#include <fstream>
#include <string>

#include "common/record_layouts.h"
#include "common/trace_log.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"
#include "zmostati/state.h"
#include "zmostati/statrec.h"

namespace zmo::stati {

namespace {

bool IsIntervalLine(const std::string& line) {
  const char type[] = {zmo::kStatIntervalRecord, '\0'};
  const std::string quoted = std::string("\"") + type + "\"";
  return line.rfind(type, 0) == 0 || line.rfind(quoted, 0) == 0;
}

// The interval lines of the first limit bytes of path (all of it when
// limit is negative), without their line ends.
void ReadIntervalLines(const std::string& path, std::int64_t limit, std::vector<std::string>* out) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::int64_t at = 0;
  while ((limit < 0 || at < limit) && std::getline(in, line)) {
    at += static_cast<std::int64_t>(line.size()) + 1;
    if (limit >= 0 && at > limit) break;  // a line this run appended to
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsIntervalLine(line)) out->push_back(line);
  }
}

void ReadWaiting(StatiCollectRun* run) {
  const StatiSettings& s = statiState().settings;
  run->waitingRead = true;
  if (run->outStartSize > 0) ReadIntervalLines(s.outFile, run->outStartSize, &run->waiting);
  if (!s.handOverFile.empty() && s.handOverFile != s.outFile) {
    ReadIntervalLines(s.handOverFile, -1, &run->waiting);
  }
}

bool Waiting(const StatiCollectRun& run, const std::string& line) {
  for (const std::string& w : run.waiting) {
    if (w == line) return true;
  }
  return false;
}

}  // namespace

bool statiRecordsWaiting() {
  StatiCollectRun& run = statiState().collect;
  if (!run.waitingRead) ReadWaiting(&run);
  if (run.waiting.empty()) return false;
  const StatiConvertJob job = statiRunJob();
  if (job.readStartDate == nullptr) return false;
  const char kinds[] = {zmo::kStatBatchRecord, zmo::kStatNormalRecord};
  const bool read[] = {job.batchFlag, job.normalFlag};
  bool any = false;
  for (int i = 0; i < 2; ++i) {
    if (!read[i]) continue;
    any = true;
    zmo::RecordLine line;
    statiIntervalLine(job, kinds[i], &line);
    // Without its CR LF.
    if (!Waiting(run, std::string(line.text, static_cast<size_t>(line.len) - 2))) return false;
  }
  return any;
}

}  // namespace zmo::stati
