// One application server of a cycle: connect, system info, XMI logon, user
// list, logoff, the server's snapshot, its database host's snapshot (once
// per system id and cycle), close and availability record. The service
// cycle and the -np run visit servers alike but for what VisitMode says.
#pragma once

#include <string>
#include <string_view>

#include "common/server_file.h"

namespace zmo::snap {

struct VisitMode {
  // Test the disconnect flag before the open and after every call (the
  // service cycle; a console run has no stop request).
  bool stopTests = true;
  // A server that cannot be opened gets an availability record with 0.
  bool availOnFailedOpen = true;
  // A failed snapshot of the server itself makes its availability 0.
  bool snapshotCounts = false;
  const char* logoffFailure = "XMI logoff failed\n";
};

inline constexpr VisitMode kServiceVisit{};
inline constexpr VisitMode kCommandLineVisit{false, false, true, "callXmiLogoff() failed\n"};

// Visits the server of one line of the server file. 0 when it was done
// (whatever the server answered: its availability record tells), 28 when a
// stop request came; the connection is then left for the caller to close.
int snapVisitServer(std::string_view line, const VisitMode& mode);

// Opens the connection to the server of snapRecordState() with the clear
// password, tracing the options. 0 with snapRfcState().handle set, 1 when
// RfcOpen refused, 28 on a stop request (nothing opened then).
int snapOpenServer(const std::string& password, const VisitMode& mode);

// What snapQueryServer asks of a server after its system information.
struct QueryPlan {
  // The snapshot only after a successful XMI logon, whatever the user list
  // gave (the -np run without a server file); else whatever XMI said.
  bool logonRequired = false;
  // The database host, once per system id and cycle.
  bool databaseHost = true;
};

// The calls on the open connection to the current server: system info,
// then XMI logon, user list and logoff, the server's own snapshot and its
// database host's. Returns the step result: 0 when system info, logon and
// user list all succeeded, 1 when one failed, 28 on a stop request.
int snapQueryServer(const VisitMode& mode, const QueryPlan& plan);

// Closes every connection and empties the tables.
void snapCloseConnection();

}  // namespace zmo::snap
