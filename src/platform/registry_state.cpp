#include "registry_state.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace zmo::reg {

namespace {

constexpr std::uintptr_t kFirstRoot = 0x80000000u;
constexpr const char* kRootNames[kRootCount] = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",  "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",            "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG"};

thread_local std::string t_error_text;

}  // namespace

const char* RootName(int root) { return kRootNames[root]; }

int RootIndex(HKEY key) {
  auto v = reinterpret_cast<std::uintptr_t>(key);
  if (v < kFirstRoot || v >= kFirstRoot + kRootCount) return -1;
  return static_cast<int>(v - kFirstRoot);
}

void RootCache::Reset() {
  if (fd >= 0) close(fd);
  *this = RootCache();
}

ProcessState& State() {
  // Never destroyed: a handle closed by another static destructor at exit
  // still finds the table.
  static ProcessState* state = new ProcessState;
  return *state;
}

void SetErrorText(std::string text) { t_error_text = std::move(text); }
void ClearErrorText() { t_error_text.clear(); }

}  // namespace zmo::reg

namespace zmo {

const char* RegistryDirectory() {
  const char* dir = std::getenv("ZMO_REGISTRY");
  return dir && *dir ? dir : "/var/lib/zmo/registry";
}

const char* RegistryLastErrorText() { return reg::t_error_text.c_str(); }

}  // namespace zmo
