#include "common/handover.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/trace_log.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/process.h"

namespace zmo {
namespace {

// Frees the hand-over name of one file: an empty leftover is deleted; one
// with data has not been loaded and stays. 0, kHandOverPending or
// kHandOverFailed.
int ClearHandOverName(const HandOverFile& f, HandOverNote note) {
  const char* name = f.hand_over.c_str();
  if (!FileExists(name)) return 0;
  if (FileSize64(name) == 0) {
    note(HandOverStep::kEmptyLeftover, f, name, nullptr);
    if (std::remove(name) != 0) {
      note(HandOverStep::kDeleteFailed, f, name, nullptr);
      return kHandOverFailed;
    }
    return 0;
  }
  note(HandOverStep::kLeftoverWithData, f, name, nullptr);
  return kHandOverPending;
}

}  // namespace

int handOverFiles(const HandOverFile* files, size_t count, HandOverNote note) {
  int pending = 0;
  for (size_t i = 0; i < count; ++i) {
    const int rc = ClearHandOverName(files[i], note);
    if (rc == kHandOverFailed) return rc;
    if (rc == kHandOverPending) pending = rc;
  }
  if (pending != 0) return pending;
  // The names are free now; a file that appeared under one meanwhile makes
  // its rename fail rather than be replaced.
  for (size_t i = 0; i < count; ++i) {
    const HandOverFile& f = files[i];
    if (RenameNoReplace(f.collecting.c_str(), f.hand_over.c_str()) == 0) continue;
    note(HandOverStep::kRenameFailed, f, f.collecting.c_str(), f.hand_over.c_str());
    while (i-- > 0) {
      RenameNoReplace(files[i].hand_over.c_str(), files[i].collecting.c_str());
    }
    return kHandOverFailed;
  }
  return 0;
}

int execCommand(const std::string& path, const std::vector<std::string>& argv, int* exit_code) {
  std::vector<const char*> elements;
  elements.reserve(argv.size() + 1);
  for (const std::string& a : argv) elements.push_back(a.c_str());
  elements.push_back(nullptr);
  const std::intptr_t rc = CurrentEnv().Spawn(_P_WAIT, path.c_str(), elements.data());
  const int err = errno;
  writeTrace("spawn(%s) returned <%d>.\n", path.c_str(), static_cast<int>(rc));
  if (rc == -1) {
    writeTrace("errno is <%d> (%s).\n", err, std::strerror(err));
    return 1;
  }
  if (exit_code != nullptr) *exit_code = static_cast<int>(rc);
  return 0;
}

}  // namespace zmo
