// The RFC client interface the collectors call: connections, remote calls
// answered asynchronously, and structure types. This build answers from
// simulated SAP systems (see rfc/simulator.h and docs/rfc-simulator.md); no
// network connection is ever made.
#pragma once

#include "rfc/sapitab.h"

extern "C" {

typedef unsigned int RFC_HANDLE;
constexpr RFC_HANDLE RFC_HANDLE_NULL = 0;

// Results of the remote-call functions.
typedef enum {
  RFC_OK = 0,
  RFC_FAILURE = 1,        // the library or the connection failed
  RFC_EXCEPTION = 2,      // the function module raised a named exception
  RFC_SYS_EXCEPTION = 3,  // a system error on the remote side
  RFC_CLOSED = 6,         // the partner closed the connection
  RFC_RETRY = 7           // RfcListen: no answer yet
} RFC_RC;

// Elementary types. A structure installed with RfcInstallStructure or
// RfcInstallUnicodeStructure gets a type handle above these.
typedef unsigned int RFC_TYPEHANDLE;
typedef enum {
  TYPC = 0,      // characters
  TYPDATE = 1,   // date YYYYMMDD
  TYPP = 2,      // packed decimal
  TYPTIME = 3,   // time hhmmss
  TYPX = 4,      // raw bytes
  TYPNUM = 6,    // digits
  TYPFLOAT = 7,  // 8-byte float
  TYPINT = 8,    // 4-byte integer
  TYPINT2 = 9    // 2-byte integer
} RFCTYPE;

// Connection mode; the collectors log on with host and system number.
typedef enum { RFC_MODE_R3ONLY = 0 } RFC_MODE;

typedef struct {
  const char* hostname;  // host name, or a router string "/H/.../H/host"
  int sysnr;             // system number 0-99
  const char* gateway_host;
  const char* gateway_service;
} RFC_CONNOPT_R3ONLY;

typedef struct {
  const char* destination;
  RFC_MODE mode;
  void* connopt;  // RFC_CONNOPT_R3ONLY*
  const char* client;
  const char* user;
  const char* password;
  const char* language;
  int trace;
} RFC_OPTIONS;

// One parameter of a call; a list ends with an entry whose name is null.
// nlen 0 means the name is NUL-terminated.
typedef struct {
  const void* name;
  unsigned nlen;
  RFC_TYPEHANDLE type;
  unsigned leng;
  void* addr;
} RFC_PARAMETER;

typedef enum { RFC_ITMODE_BYREFERENCE = 0 } RFC_ITMODE;  // accepted and not used

// One table of a call; a list ends with an entry whose name is null.
typedef struct {
  const void* name;
  unsigned nlen;
  RFC_TYPEHANDLE type;
  unsigned leng;
  ITAB_H ithandle;
  RFC_ITMODE itmode;
  int newitab;
} RFC_TABLE;

// Field of a structure for RfcInstallStructure; offset is filled in.
typedef struct {
  const char* name;
  RFC_TYPEHANDLE type;
  unsigned length;
  unsigned decimals;
  unsigned offset;
} RFC_TYPE_ELEMENT;

// Field of a structure with explicit offsets for the 1-, 2- and 4-byte
// character forms.
typedef struct {
  const char* name;
  RFC_TYPEHANDLE type;
  unsigned decimals;
  unsigned c1_length;
  unsigned c1_offset;
  unsigned c2_length;
  unsigned c2_offset;
  unsigned c4_length;
  unsigned c4_offset;
} RFC_UNICODE_TYPE_ELEMENT;

// Last error, as RfcLastError gives it.
typedef struct {
  char key[33];
  char status[128];
  char message[256];
  char intstat[128];
} RFC_ERROR_INFO;

// Error groups of RfcLastErrorEx.
typedef enum {
  RFC_ERROR_PROGRAM = 101,
  RFC_ERROR_COMMUNICATION = 102,
  RFC_ERROR_LOGON_FAILURE = 103,
  RFC_ERROR_SYSTEM_FAILURE = 104,
  RFC_ERROR_APPLICATION_EXCEPTION = 105,
  RFC_ERROR_RESOURCE = 106
} RFC_ERROR_GROUP;

typedef struct {
  int group;
  char key[33];
  char message[513];
} RFC_ERROR_INFO_EX;

// The library calls the error handler with the name of the failing
// operation whenever it records an error.
typedef void (*RFC_ERROR_HANDLER)(const char* operation);
typedef void* (*RFC_ALLOCATE)(void* old_ptr, unsigned size);

typedef struct {
  RFC_ERROR_HANDLER errorhandler;
  RFC_ALLOCATE allocate;  // accepted and not used
} RFC_ENV;

// Opens a connection; RFC_HANDLE_NULL on failure (RfcLastError says why).
RFC_HANDLE RfcOpen(RFC_OPTIONS* options);
// Sends a call without waiting; the answer is collected with RfcListen and
// RfcReceive. Tables are the ones the answer will fill.
RFC_RC RfcCall(RFC_HANDLE handle, const char* function, RFC_PARAMETER* exporting,
               RFC_TABLE* tables);
// RFC_OK once the answer of the outstanding call is there, RFC_RETRY before.
RFC_RC RfcListen(RFC_HANDLE handle);
// Takes the answer (waiting for it through the clock when it is not there
// yet): fills the importing parameters and the tables. On RFC_EXCEPTION and
// RFC_SYS_EXCEPTION *exception names the exception until the next call on
// the handle.
RFC_RC RfcReceive(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables, char** exception);
// Closes one connection; RFC_HANDLE_NULL closes every connection.
void RfcClose(RFC_HANDLE handle);
void RfcEnvironment(RFC_ENV* env);
// Fill info with the last recorded error: 0, or 1 (info cleared) when none.
int RfcLastError(RFC_ERROR_INFO* info);
int RfcLastErrorEx(RFC_ERROR_INFO_EX* info);
// Installs a structure whose offsets the library lays out itself (each field
// aligned to its size: 2-byte and 4-byte integers, 8-byte floats); writes
// the offsets into elements.
RFC_RC RfcInstallStructure(const char* name, RFC_TYPE_ELEMENT* elements, unsigned entries,
                           RFC_TYPEHANDLE* type_handle);
RFC_RC RfcInstallUnicodeStructure(const char* name, RFC_UNICODE_TYPE_ELEMENT* elements,
                                  unsigned entries, unsigned flags, void* reserved,
                                  RFC_TYPEHANDLE* type_handle);
}
