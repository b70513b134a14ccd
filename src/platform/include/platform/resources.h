// String resources and locale with the Windows names. A message catalog is a
// data file opened with LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
// LoadStringA reads its texts by id; FreeLibrary (dynlib.h) closes it.
#pragma once

#include "platform/dynlib.h"
#include "platform/wintypes.h"

constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x00000003;  // "ENU", "DEU", ...
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

extern "C" {
// Copies at most size - 1 characters of string id into buf, ends it with NUL
// and returns the copied length; 0 when the id is missing.
int LoadStringA(HINSTANCE module, UINT id, LPSTR buf, int size);
// Language of the process locale (LC_ALL, LC_MESSAGES, LANG); the C locale is
// US English (0x0409).
LANGID GetUserDefaultLangID();
LCID GetThreadLocale();
// Answers LOCALE_SABBREVLANGNAME for a language or locale id. Returns the
// number of characters written including the NUL, or with size 0 the size
// needed; 0 on failure.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);
}
