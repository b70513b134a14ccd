// zmosnap's calls to an SAP application server: its system information, the
// logon of an external tool to the monitoring interface (XMI) with the user
// and session counts, the logoff, the search for a function module, the
// logical destination of the database host, and the operating-system
// snapshot that FILL_SNAPSHOT_DATA returns, which is written as records
// (zmosnap/records.h).
//
// Every call goes to the connection in snapRfcState().handle, which the
// collection cycle sets after RfcOpen, and returns 0 success, 1 failure or
// 28 (kShutdownInProgress) when a stop request came. The answer is polled
// every 50 ms and given up after 60 seconds.
#pragma once

#include <string>

#include "rfc/saprfc.h"

namespace zmo::snap {

// Line lengths of the internal tables, in bytes.
constexpr unsigned kTfCpuAllLeng = 48;      // CPU_ALL
constexpr unsigned kTfDiskSingleLeng = 72;  // DSK_SINGLE
constexpr unsigned kTfLanSingleLeng = 40;   // LAN_SINGLE
constexpr unsigned kTfMemAllLeng = 48;      // MEM_ALL
constexpr unsigned kUsrTblLeng = 255;       // BTCSYSLOG
constexpr unsigned kFunctionsLeng = 139;    // RFCFUNC

// Widths of the character parameters.
constexpr unsigned kExtCompanyLen = 16;
constexpr unsigned kExtProductLen = 16;
constexpr unsigned kInterfaceLen = 3;
constexpr unsigned kVersionLen = 10;
constexpr unsigned kExternalUserLen = 16;
constexpr unsigned kFuncNameLen = 30;
constexpr unsigned kDestinationLen = 32;
constexpr unsigned kLocalityLen = 10;
constexpr unsigned kLocalRemoteLen = 6;
constexpr unsigned kSessionIdLen = 24;

// The answer time limit, in seconds.
constexpr int kSnapAnswerTimeoutSeconds = 60;

// What zmosnap tells the monitoring interface about itself.
inline constexpr const char* kXmiCompany = "Velmar";
inline constexpr const char* kXmiProduct = "KLV 3.1";
inline constexpr const char* kXmiInterface = "XMB";
inline constexpr const char* kXmiVersion = "0.1";
inline constexpr const char* kXmiUser = "Velmar_User";

// The function module that names the database host's destination.
inline constexpr const char* kDbLogDestFunction = "J_8C1_GET_DB_LOG_DEST";

// The internal tables, created once per process and emptied after every
// server; ITAB_NULL until created.
struct SnapRfcTables {
  ITAB_H cpuAll = ITAB_NULL;      // TF_CPU_ALL
  ITAB_H diskSingle = ITAB_NULL;  // TF_DISK_SINGLE
  ITAB_H lanSingle = ITAB_NULL;   // TF_LAN_SINGLE
  ITAB_H memAll = ITAB_NULL;      // TF_MEM_ALL
  ITAB_H usrTbl = ITAB_NULL;      // USR_TBL
  ITAB_H functions = ITAB_NULL;   // FUNCTIONS
};

// The structure types, installed once per process; 0 = not installed.
struct SnapRfcTypes {
  RFC_TYPEHANDLE cpuAll = 0;
  RFC_TYPEHANDLE dskSingle = 0;
  RFC_TYPEHANDLE topSingle = 0;
  RFC_TYPEHANDLE memAll = 0;
  RFC_TYPEHANDLE lanSingle = 0;
  RFC_TYPEHANDLE btcSyslog = 0;
  RFC_TYPEHANDLE rfcsi = 0;
  RFC_TYPEHANDLE rfcfunc = 0;
};

// What the calls keep for the cycle and the record writers. Every text is a
// bounded, terminated copy of what the system sent.
struct SnapRfcResults {
  std::string sid;       // RFCSYSID up to its first blank
  std::string dbHost;    // RFCDBHOST up to its first blank
  int remoteOffset = 0;  // seconds: RFCTZONE, plus 3600 with daylight saving
  int users = 0;         // from the user list
  int sessions = 0;
  bool usersRead = false;     // once the user list was read on this connection
  std::string dbDestination;  // DESTINATION as it came (32 characters)
  std::string dbLocality;     // LOCALITY as it came (10 characters)
};

struct SnapRfcState {
  RFC_HANDLE handle = RFC_HANDLE_NULL;  // the current server's connection
  SnapRfcResults results;
  SnapRfcTables tables;
  SnapRfcTypes types;
  std::string exception;  // name of the last exception RfcReceive raised
};

// The one instance of the process.
SnapRfcState& snapRfcState();
// Deletes the tables and forgets everything, the type handles included
// (tests; the RFC library is to be reset with it).
void snapResetRfcState();
// Forgets the results of the server done (system information, counts,
// database destination), so nothing of it is taken for the next server.
void snapForgetServerResults();

// The error handler given to RfcEnvironment, also called with the calls'
// own texts: traces text and the library's last error.
void rfcErrorCallback(const char* text);
// Installs rfcErrorCallback with RfcEnvironment.
void snapInstallRfcErrorCallback();

// Creates the six tables not yet created and installs the eight structures
// not yet installed. 0, or 1 at the first failure (reported through
// rfcErrorCallback).
int initRfcTables();
// Empties every existing table. 0, or 1 at the first failure (traced).
int freeRfcTables();

// RFC_SYSTEM_INFO: sets sid, dbHost and remoteOffset.
int callRfcSystemInfo();
// SXMI_LOGON with the texts cut to their fields and padded with blanks.
int callXmiLogon(const char* company, const char* product, const char* interface,
                 const char* version);
// SXMI_XMB_USER_LIST_READ: sets users, sessions and usersRead from USR_TBL.
int callSxmiXmbUserListRead(const char* user);
// SXMI_LOGOFF.
int callXmiLogoff(const char* interface);
// RFC_FUNCTION_SEARCH: *exists is 1 when the system has function module
// name. 0 whether it exists or not; 1 when the search itself failed.
int callRfcFunctionSearch(const char* name, int* exists);
// J_8C1_GET_DB_LOG_DEST: sets dbDestination and dbLocality.
int callJ8c1GetDbLogDest();
// FILL_SNAPSHOT_DATA of the application server (destination nullptr) or of
// the host reached through destination, then the CPU, disk and LAN records
// of the answer (records.h). 28 when a stop request ended the writing.
int callFillSnapshotData(const char* destination, const char* locality);

// The user and session counts of a USR_TBL: the first and second run of
// digits in the line before the last. 0 with the counts set; 1 with both 0
// when the table has fewer than two lines or that line cannot be read.
int snapUserCounts(ITAB_H usrTbl, int* users, int* sessions);

// Pieces the calls share.
//
// One remote call made the way every call here makes it: sent unless a stop
// request came, the answer waited for, received into importing and tables,
// and every failure traced and reported through rfcErrorCallback.
struct SnapCall {
  const char* function = "";
  RFC_PARAMETER* exporting = nullptr;
  RFC_PARAMETER* importing = nullptr;
  RFC_TABLE* tables = nullptr;
  bool traceCallRc = true;               // trace the result of a failed RfcCall
  const char* afterCallTrace = nullptr;  // traced once RfcCall went out
  int absentCallRc = 0;  // an RfcCall result that means "no such function module"; 0: none
};
// snapCallAndReceive's result when RfcCall returned the call's absentCallRc.
constexpr int kSnapCallAbsent = -1;
// 0, 1 failure, 28 stop request, or kSnapCallAbsent.
int snapCallAndReceive(const SnapCall& call);

// A table of a call, emptied first, so that no line of an earlier answer is
// read as this one's. A table that was never created makes RfcCall fail.
RFC_TABLE snapTableParameter(const char* name, ITAB_H table, RFC_TYPEHANDLE type);
// The entry that ends a table list.
constexpr RFC_TABLE kSnapTablesEnd = {nullptr, 0, 0, 0, ITAB_NULL, RFC_ITMODE_BYREFERENCE, 0};

// A character parameter of n bytes: text cut to n and padded with blanks.
void snapFixedText(char* out, unsigned n, const char* text);

}  // namespace zmo::snap
