// The collecting files of a cycle and their hand-over names.

#include <array>
#include <cstdio>
#include <string>

#include "common/run_mark.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "zmosnap/config.h"
#include "zmosnap/records.h"
#include "zmosnap/state.h"

namespace zmo::snap {

namespace {

struct FileNames {
  SnapFileKind kind;
  const char* collecting;
  const char* handOver;
};

constexpr FileNames kSnapNames[] = {
    {kSnapCpuFile, "zmosnipsnap.cpu", "zmosnap.cpu"},
    {kSnapDiskFile, "zmosnipsnap.dsk", "zmosnap.dsk"},
    {kSnapLanFile, "zmosnipsnap.lan", "zmosnap.lan"},
};
constexpr FileNames kAvailNames[] = {
    {kSnapAvailFile, "zmosnapavai.dat", "zmoavai.dat"},
};

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
    f.collecting = zmo::JoinPath(dir, names[i].collecting);
    f.handOver = zmo::JoinPath(dir, names[i].handOver);
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
  for (const FileNames& n : kSnapNames) {
    files[n.kind] = {zmo::JoinPath(dir, n.collecting), zmo::JoinPath(dir, n.handOver)};
  }
  for (const FileNames& n : kAvailNames) {
    files[n.kind] = {zmo::JoinPath(dir, n.collecting), zmo::JoinPath(dir, n.handOver)};
  }
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
