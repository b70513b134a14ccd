#include "registry_state.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace zmo::reg {

namespace {

// The six roots the system names, with their Windows handle values.
constexpr struct {
  std::uintptr_t value;
  const char* name;
} kRoots[kRootCount] = {{0x80000000u, "HKEY_CLASSES_ROOT"},   {0x80000001u, "HKEY_CURRENT_USER"},
                        {0x80000002u, "HKEY_LOCAL_MACHINE"},  {0x80000003u, "HKEY_USERS"},
                        {0x80000005u, "HKEY_CURRENT_CONFIG"}, {0x80000006u, "HKEY_DYN_DATA"}};

thread_local std::string t_error_text;

}  // namespace

const char* RootName(int root) { return kRoots[root].name; }

int RootIndex(HKEY key) {
  auto v = reinterpret_cast<std::uintptr_t>(key);
  for (int i = 0; i < kRootCount; ++i) {
    if (kRoots[i].value == v) return i;
  }
  return -1;
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

std::string RegistryDamageText(LONG rc) {
  if (rc != ERROR_BADDB) return "";
  return std::string("the registry store is damaged: ") + RegistryLastErrorText();
}

}  // namespace zmo
