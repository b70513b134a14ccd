// The registry with the Windows names, over a file-backed store shared by
// every process (see docs/registry.md). Keys are separated by '\'; key and
// value names match without regard to case and keep their case.
#pragma once

#include <string>

#include "platform/wintypes.h"

struct ZmoRegKey;  // opaque open key
using HKEY = ZmoRegKey*;
using PHKEY = HKEY*;

// The six root keys, with their Windows values.
#define HKEY_CLASSES_ROOT ((HKEY)(std::uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(std::uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(std::uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(std::uintptr_t)0x80000003u)
#define HKEY_CURRENT_CONFIG ((HKEY)(std::uintptr_t)0x80000005u)
#define HKEY_DYN_DATA ((HKEY)(std::uintptr_t)0x80000006u)

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Access rights (kept for the callers; the store grants what is asked).
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

extern "C" {
LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM sam, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                     REGSAM sam, void* security, PHKEY result, LPDWORD disposition);
LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD data_size);
LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD data_size);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPSTR class_name, LPDWORD class_size, PFILETIME last_write);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR value_name, LPDWORD value_name_size,
                   LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD data_size);
LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key);
LONG RegDeleteValueA(HKEY key, LPCSTR value_name);
LONG RegQueryInfoKeyA(HKEY key, LPSTR class_name, LPDWORD class_size, LPDWORD reserved,
                      LPDWORD sub_keys, LPDWORD max_sub_key_len, LPDWORD max_class_len,
                      LPDWORD values, LPDWORD max_value_name_len, LPDWORD max_value_len,
                      LPDWORD security_descriptor, PFILETIME last_write);
LONG RegCloseKey(HKEY key);
}

namespace zmo {
// Directory of the store: $ZMO_REGISTRY, or /var/lib/zmo/registry.
const char* RegistryDirectory();
// The last error text of the store in this thread (a damaged file names the
// file and line), or "" when the last call had none.
const char* RegistryLastErrorText();
// "the registry store is damaged: <file>:<line>: <what is wrong>" when rc is
// ERROR_BADDB (a damaged file is refused as a missing key would be), else "".
std::string RegistryDamageText(LONG rc);
}  // namespace zmo
