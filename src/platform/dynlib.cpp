#include "platform/dynlib.h"

#include <dlfcn.h>

#include "module.h"

namespace {
thread_local DWORD t_last_error = 0;
}

extern "C" DWORD GetLastError() { return t_last_error; }
extern "C" void SetLastError(DWORD code) { t_last_error = code; }

extern "C" HMODULE LoadLibraryA(LPCSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* dl = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto* m = new ZmoModule;
  m->dl = dl;
  return m;
}

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !module->dl || !name) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* sym = dlsym(module->dl, name);
  if (!sym) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(sym);
}

extern "C" BOOL FreeLibrary(HMODULE module) {
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (module->dl) dlclose(module->dl);
  delete module;
  return TRUE;
}
