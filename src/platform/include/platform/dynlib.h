// Dynamic libraries with the Windows names: LoadLibraryA, GetProcAddress and
// FreeLibrary over dlopen. LoadLibraryExA with LOAD_LIBRARY_AS_DATAFILE opens a
// message catalog (see resources.h); FreeLibrary closes either kind.
#pragma once

#include "platform/wintypes.h"

struct ZmoModule;  // opaque: a shared object or a data file
using HMODULE = ZmoModule*;
using HINSTANCE = HMODULE;
using FARPROC = void (*)();

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

extern "C" {
HMODULE LoadLibraryA(LPCSTR path);
HMODULE LoadLibraryExA(LPCSTR path, HANDLE reserved, DWORD flags);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
}
