// Basic Windows types and result codes, as the system's callers use them.
// Written for this project; only what the programs call is here.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using LANGID = WORD;
using LCID = DWORD;
using LCTYPE = DWORD;
using REGSAM = DWORD;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using HANDLE = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Calling convention markers carry no meaning on Linux.
#define WINAPI
#define APIENTRY

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

// Result codes the callers branch on.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_MOD_NOT_FOUND = 126;
constexpr LONG ERROR_PROC_NOT_FOUND = 127;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_KEY_DELETED = 1018;
constexpr LONG ERROR_SERVICE_REQUEST_TIMEOUT = 1053;
constexpr LONG ERROR_SERVICE_ALREADY_RUNNING = 1056;
constexpr LONG ERROR_SERVICE_DOES_NOT_EXIST = 1060;
constexpr LONG ERROR_SERVICE_CANNOT_ACCEPT_CTRL = 1061;
constexpr LONG ERROR_SERVICE_NOT_ACTIVE = 1062;
constexpr LONG ERROR_FAILED_SERVICE_CONTROLLER_CONNECT = 1063;
constexpr LONG ERROR_SERVICE_MARKED_FOR_DELETE = 1072;
constexpr LONG ERROR_SERVICE_EXISTS = 1073;
constexpr LONG ERROR_SHUTDOWN_IN_PROGRESS = 1115;

// Thread-local last error, as GetLastError reports it.
extern "C" DWORD GetLastError();
extern "C" void SetLastError(DWORD code);
