// Stand-ins for the warehouse database client tools that the loader's batch
// files start: sqlldr73, sqlldr80, sqlldr, sqlplus, bcp, isql, corvacmd,
// corva and tesseledit300. Each checks its command line against the forms
// the loader writes and its input files (a control file that parses, data
// lines that fit the table, a script that exists), records the call, writes
// its report where the tool would (standard output, which the batch
// redirects, or the log its options name) and can be told to fail.
//
// No database stands behind them: a "load" checks every data line and
// counts the rows it would have loaded. The Oracle-kind tools (sqlldr73,
// sqlldr80, sqlldr, sqlplus) are the exception when their data source names
// a PostgreSQL warehouse (kWarehousePrefix): they then load and run the
// scripts for real.
#pragma once

namespace zmo::dbtools {

// Names a file that receives one line per call: the tool's name and each
// argument, quoted by the Windows command-line rules where needed, so that
// zmo::SplitCommandLine gives the call back. Created mode 0600 (arguments
// hold passwords).
constexpr const char* kCallLogEnv = "ZMO_DBTOOLS_LOG";
// Tells tools to fail: a comma-separated list of "<tool>" (exit code 1) or
// "<tool>:<exit code>". A tool on the list records its call, reports the
// failure and ends with that code without doing its work.
constexpr const char* kFailEnv = "ZMO_DBTOOLS_FAIL";

// A data source "pg:<socket directory>:<port>:<database>" names a
// PostgreSQL warehouse: the Oracle-kind tools connect to the database on
// that socket with the user and password of their logon.
constexpr const char* kWarehousePrefix = "pg:";

// Exit codes of the stand-ins. A failure never ends with 0 or 2, the codes
// a batch reads as done: the load batches go on after 2 only behind the
// load tools (sqlldr, bcp, the Corva and Tessel load scripts), and take any
// other code of a script tool as a failed load.
constexpr int kToolOk = 0;
// Failed: the call cannot be served (command line, input files, logon), or
// its work was undone (a statement failed under "whenever sqlerror exit",
// the connection was lost, the work could not be committed).
constexpr int kToolFailed = 1;
// Done, but records were rejected (they are in the log and the bad file),
// or a statement failed and the script went on past it.
constexpr int kToolRejected = 2;

// Runs the stand-in named tool with the program's argv. Returns its exit code.
int dbtoolMain(const char* tool, int argc, char** argv);

}  // namespace zmo::dbtools
