// zmostati's RFC session with one SAP application server: the connection,
// the system's identity, release and time zone, the two internal tables in
// the release's layout of the statistic records, the structures behind them,
// and the call that fills the tables for the remote interval.
//
// Order per server (the collection run): statiRfcOpen,
// statiCallRfcSystemInfo, statiGetRemoteSystemQueryInterval,
// statiCreateRfcTables, statiRfcInstallStructures,
// statiCallSapwlStatrecReadFile, the record conversion (which reads
// statiRfcSession().batchTable and normalTable), statiRfcClose, and
// statiDeleteRfcTables after the availability record.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "common/rfc_call.h"
#include "common/sap_layouts.h"
#include "common/server_file.h"
#include "rfc/saprfc.h"

namespace zmo::stati {

// The session state of the process. The connection items are set anew for
// each server; the type handles live as long as the process, so that every
// structure is installed once.
struct StatiRfcSession {
  RFC_HANDLE handle = RFC_HANDLE_NULL;  // 0 = no connection
  std::string systemId;                 // RFCSYSID up to its first blank, upper-cased
  std::string dbHost;                   // RFCDBHOST up to its first blank
  std::string release;                  // the first three characters of RFCSAPRL
  // The statistic record layout of release, resolved once with it
  // (statiSetRelease); none when the release is not recognised.
  std::optional<zmo::sap::StatLayout> layout;
  ITAB_H batchTable = ITAB_NULL;   // V2_BTC_STEP_RECORDS
  ITAB_H normalTable = ITAB_NULL;  // V2_NORMAL_RECORDS
  std::string exception;           // name of the last exception RfcReceive raised
  // By zmo::sap::StatLayout: SAPWLPFBTC and SAPWLPFNRM; 0 = not installed.
  std::array<RFC_TYPEHANDLE, zmo::sap::kStatLayoutCount> batchTypes{};
  std::array<RFC_TYPEHANDLE, zmo::sap::kStatLayoutCount> normalTypes{};
};

// The one instance.
StatiRfcSession& statiRfcSession();
// Back to the start values (tests; the RFC library must be reset with it,
// since the installed structures are forgotten).
void statiResetRfcSession();

// Forgets the previous server's connection items and opens a connection to
// server with the clear-text password. 0, or 1 when RfcOpen gave no handle.
int statiRfcOpen(const zmo::ServerLine& server, const char* password);
// Closes every connection of the process (RfcClose of the null handle).
void statiRfcClose();

// Sets the session's release and resolves its statistic record layout
// (zmo::sap::StatLayoutOfRelease), the one resolution for the server.
void statiSetRelease(const std::string& release);
// The type handle of the batch (batch true) or normal structure in a layout.
RFC_TYPEHANDLE& statiTypeHandle(bool batch, zmo::sap::StatLayout layout);

// The RFC error handler: traces text and the library's last error.
void statiRfcErrorHandler(const char* text);

// Asks the system for its identity, release and time zone; sets the
// session's system id, database host and release and statiState()'s remote
// offset. 0, 1 failure, 28 shutdown.
int statiCallRfcSystemInfo();
// Deletes any tables left and creates both in the line sizes of the
// session's release. 0, or 1 when a table cannot be created; an unrecognised
// release is reported and gives no tables and 0.
int statiCreateRfcTables();
// Deletes both tables if they exist.
void statiDeleteRfcTables();
// Installs the ten structures not yet installed in this process, reporting
// each that fails. 0, or 1 when one of the first four batch layouts failed
// (which ends the installation) or when a table the read call passes for
// the session's release has no installed type; a failure of any other
// layout is only reported.
int statiRfcInstallStructures();
// Whether the read call passes the batch table (batch true) or the normal
// table: the settings ask for those records and the release's table exists.
bool statiReadPassesTable(bool batch);
// Reads the statistic records of the remote interval into the tables the
// settings' batch and normal flags ask for. 0, 1 failure, 28 shutdown.
int statiCallSapwlStatrecReadFile();

// The call-and-wait of both remote calls: sends function on the session's
// connection, waits for the answer and receives it into importing and
// tables, reporting every failure through the error handler. 0, 1 failure,
// 28 shutdown (the disconnect flag was set before or right after the call;
// a stop seen while waiting gives 1 and leaves the flag to the caller).
int statiRfcCallAndReceive(const char* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                           RFC_TABLE* tables);

// The answer wait of both remote calls (zmo::ListenForRfcResponse): the
// time-out is RetrievalWait, read again from the registry at every wait
// (statiGetWaitTime); the last one read stays when it cannot be read.
extern const zmo::RfcWaitSpec kStatiAnswerWait;

}  // namespace zmo::stati
