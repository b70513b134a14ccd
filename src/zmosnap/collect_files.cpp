// The collecting files of a cycle and their hand-over names.

#include <array>
#include <cstdio>
#include <string>

#include "common/pipeline.h"
#include "common/run_mark.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmosnap/config.h"
#include "zmosnap/records.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

// A file of a cycle and its row in the pipeline's contract.
struct FileNames {
  SnapFileKind kind;
  zmo::PipelineFile file;
};

constexpr FileNames kSnapNames[] = {
    {kSnapCpuFile, zmo::PipelineFile::kSnapCpu},
    {kSnapDiskFile, zmo::PipelineFile::kSnapDisk},
    {kSnapLanFile, zmo::PipelineFile::kSnapLan},
};
constexpr FileNames kAvailNames[] = {
    {kSnapAvailFile, zmo::PipelineFile::kSnapAvail},
};

// The collecting file and hand-over name of one file in the cycle's
// directory.
zmo::HandOverFile Paths(const std::string& dir, const FileNames& names) {
  const zmo::PipelineFileRow& row = zmo::pipelineFile(names.file);
  return {zmo::JoinPath(dir, row.collecting), zmo::JoinPath(dir, row.hand_over)};
}

// The record writers take the snapshot files from their own state.
void ShareSnapFiles() {
  const std::array<SnapFile, kSnapFileCount>& files = snapState().files;
  SnapRecordState& r = snapRecordState();
  r.cpuFile = files[kSnapCpuFile].file;
  r.diskFile = files[kSnapDiskFile].file;
  r.lanFile = files[kSnapLanFile].file;
  r.cpuFileName = files[kSnapCpuFile].collecting;
}

void Close(SnapFile* f) {
  if (f->file == nullptr) return;
  std::fclose(f->file);
  f->file = nullptr;
}

// Names and opens the files of one group for appending (the writers put
// CR LF themselves). On a failure the group's files opened so far are
// closed again.
template <size_t N>
int OpenGroup(const FileNames (&names)[N], const char* failure) {
  const std::string dir = snapFileDirectory();
  if (dir.empty()) {
    zmo::writeTrace("failed to get module file name\n");
    return kSnapNoFileDirectory;
  }
  std::array<SnapFile, kSnapFileCount>& files = snapState().files;
  for (size_t i = 0; i < N; ++i) {
    SnapFile& f = files[names[i].kind];
    Close(&f);
    const zmo::HandOverFile paths = Paths(dir, names[i]);
    f.collecting = paths.collecting;
    f.handOver = paths.hand_over;
    f.file = std::fopen(f.collecting.c_str(), "ab");
    if (f.file == nullptr) {
      zmo::writeTrace(failure, f.collecting.c_str());
      for (size_t j = 0; j < i; ++j) Close(&files[names[j].kind]);
      return kSnapFileOpenFailed;
    }
  }
  return 0;
}

}  // namespace

std::string snapFileDirectory() {
  const std::string& bin = snapState().settings.binDir;
  return bin.empty() ? zmo::ProgramDir() : bin;
}

int openSnapFiles() {
  const int rc = OpenGroup(kSnapNames, "failed to open snipsnap file <%s>\n");
  ShareSnapFiles();
  return rc;
}

std::array<zmo::HandOverFile, kSnapFileCount> snapHandOverFiles() {
  const std::string dir = snapFileDirectory();
  std::array<zmo::HandOverFile, kSnapFileCount> files;
  for (const FileNames& n : kSnapNames) files[n.kind] = Paths(dir, n);
  for (const FileNames& n : kAvailNames) files[n.kind] = Paths(dir, n);
  return files;
}

std::string snapRunMarkPath() { return zmo::JoinPath(snapFileDirectory(), "zmosnipsnap.mark"); }

int snapSettleEarlierCycle() {
  const std::string mark = snapRunMarkPath();
  const auto files = snapHandOverFiles();
  std::string interval;
  int bad_line = 0;
  switch (zmo::recoverRun(mark, files.data(), files.size(), &interval, &bad_line)) {
    case zmo::RunRecovery::kNone:
    case zmo::RunRecovery::kKept:
      return 0;
    case zmo::RunRecovery::kCutBack:
      zmo::writeTrace("records of a cycle that did not end removed from the collecting files\n");
      return 0;
    case zmo::RunRecovery::kHandedOver:
      zmo::writeTrace("hand-over of a cycle that was cut short completed\n");
      return 0;
    case zmo::RunRecovery::kDamaged:
      zmo::writeTrace(
          "run mark <%s> line %i is damaged; the collecting files are left as they are\n",
          mark.c_str(), bad_line);
      return 0;
    case zmo::RunRecovery::kFailed:
      break;
  }
  zmo::writeTrace("the cycle that left <%s> could not be settled\n", mark.c_str());
  return 1;
}

int snapMarkCycle() {
  zmo::RunMark mark;
  for (const zmo::HandOverFile& f : snapHandOverFiles()) {
    const std::int64_t size = zmo::FileSize64(f.collecting.c_str());
    mark.lengths.push_back(size < 0 ? 0 : size);
  }
  if (zmo::writeRunMark(snapRunMarkPath(), mark) == 0) return 0;
  zmo::writeTrace("run mark <%s> could not be written\n", snapRunMarkPath().c_str());
  return 1;
}

int openAvailFile() { return OpenGroup(kAvailNames, "failed to open availibility file <%s>\n"); }

void closeSnapFiles() {
  for (const FileNames& n : kSnapNames) Close(&snapState().files[n.kind]);
  ShareSnapFiles();
}

void closeAvailFile() { Close(&snapState().files[kSnapAvailFile]); }

}  // namespace zmo::snap
