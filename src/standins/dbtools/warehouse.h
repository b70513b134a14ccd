// Internal: the PostgreSQL warehouse that can stand behind the Oracle-kind
// tools. A data source of the form "pg:<socket directory>:<port>:<database>"
// names it; any other data source leaves the tools checking only.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "control_file.h"
#include "tools.h"

struct pg_conn;  // libpq's connection, kept out of the tools' headers

namespace zmo::dbtools {

struct WarehouseSource {
  std::string socket_dir;  // empty: libpq's default
  std::string port;        // empty: libpq's default
  std::string database;
};

// True when the data source names a PostgreSQL warehouse (kWarehousePrefix).
bool IsWarehouseSource(const std::string& source);
// Parses "pg:<socket directory>:<port>:<database>", taken apart from the
// right so that the directory may hold a colon. The port is digits or empty,
// the database not empty. Returns 0, or -1 with *why.
int ParseWarehouseSource(const std::string& source, WarehouseSource* out, std::string* why);

// True for a name that goes into SQL unquoted: a letter or "_", then
// letters, digits and "_", at most 63 characters.
bool PlainSqlName(const std::string& name);

// One connection. Statements run as the Oracle tools run them: in a
// transaction that the first statement opens, each one guarded, so that a
// failed statement is undone alone and the work goes on; a commit or a
// rollback ends the transaction.
// The session must stay where it is while connected (libpq keeps its
// address for the notices).
struct PgSession {
  pg_conn* conn = nullptr;
  // Receives the server's notices (a drop of a table that is not there, say).
  std::function<void(const std::string&)> on_notice;
};

// What a statement gave.
struct PgOutcome {
  bool ok = false;
  bool lost = false;                 // the session cannot go on (connection gone, guard refused)
  std::string tag;                   // command tag: "INSERT 0 3", "DELETE 2", "CREATE TABLE", ...
  std::string error;                 // the server's message when !ok
  std::vector<std::string> columns;  // of a query
  std::vector<std::vector<std::string>> rows;  // of a query; a null as ""
};

// Connects with the logon's user and password to the source's database.
// The client encoding is WIN1252, the code page of every file the system
// writes. Returns 0, or -1 with *error (which never holds the password).
int PgConnect(const WarehouseSource& source, const Logon& logon, const std::string& program,
              PgSession* session, std::string* error);
// PgConnect for a tool: reports the connection, or refuses the call.
// Returns 0, or kToolFailed.
int PgConnectTool(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                  PgSession* session);
void PgDisconnect(PgSession* session);

// Runs one statement, as written, guarded. Returns 0 when it ran, -1 when it
// failed (*out says why).
int PgRunStatement(PgSession* session, const std::string& sql, PgOutcome* out);

// Prepares the one statement of a load, with n text parameters. Returns 0, or
// -1 with *error.
int PgPrepareLoad(PgSession* session, const std::string& sql, int n, std::string* error);
// Runs the prepared statement with the values, guarded. Returns as
// PgRunStatement.
int PgRunLoad(PgSession* session, const std::vector<std::string>& values, PgOutcome* out);

// Appends the next rows of a COPY to *piece, in COPY's text form (tab
// between values, LF after each row); returns false after the last.
using CopyProducer = std::function<bool(std::string* piece)>;

// Runs "copy <table> (<columns>) from stdin" with the rows the producer
// makes, each piece sent as soon as it is made, guarded as one statement:
// the rows go in all together or, on any failure, none. Returns as
// PgRunStatement.
int PgCopyRows(PgSession* session, const std::string& sql, const CopyProducer& produce,
               PgOutcome* out);

// Ends the open transaction, if any, with a commit or a rollback. Returns 0,
// or -1 with *error.
int PgEndTransaction(PgSession* session, bool commit, std::string* error);

// sqlldr into the warehouse: the control file's table is emptied (truncate)
// and every record of reader (the open data file) that fits the fields and
// converts to the columns is inserted; the others go to the bad file. The
// records go in chunks of kChunkRecords through COPY; a chunk that fails is
// loaded again in halves, and so on down to a few records loaded row by
// row, so that each record the table refuses is rejected with its reason
// and the others still load. All in one transaction, committed at the end.
// Returns the tool's exit code.
int LoadIntoWarehouse(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                      const ControlFile& control, RecordReader* reader);

// sqlplus on the warehouse: runs the script. Returns the tool's exit code.
int RunScriptInWarehouse(ToolRun* run, const Logon& logon, const WarehouseSource& source,
                         const std::string& script);

}  // namespace zmo::dbtools
