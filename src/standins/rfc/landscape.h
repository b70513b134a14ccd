// The simulated SAP landscape: one system per "*.sys" file of the directory
// named by ZMO_SAP_SYSTEMS, and the library faults of its "library.conf".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "encode.h"

namespace zmo::rfc {

// How a system answers one function module.
struct FunctionBehaviour {
  std::int64_t delay_ms = 0;  // answer is ready this long after RfcCall
  int call_rc = 0;            // RfcCall gives this instead of sending
  int listen_rc = 0;          // RfcListen gives this once the answer is due
  std::string exception;      // RfcReceive raises it (RFC_EXCEPTION)
  std::string sys_exception;  // RfcReceive raises it (RFC_SYS_EXCEPTION)
  std::string table_fault;    // RfcReceive fails to deliver this table
  bool absent = false;        // the system has no such function module
};

// A statistic record, as given in a file or made by the generator.
struct StatRecord {
  bool batch = false;
  std::string end_stamp;  // ENDDATE + ENDTIME, YYYYMMDDhhmmss
  std::vector<FieldValue> values;
};

// Rows of the operating-system tables of one host.
struct HostSnapshot {
  std::vector<std::vector<FieldValue>> cpu, mem, disk, lan;
};

struct GeneratorSpec {
  bool enabled = false;
  std::uint64_t seed = 0;
  unsigned normal_per_hour = 0;
  unsigned batch_per_hour = 0;
};

struct SimSystem {
  std::string name;  // file name without ".sys"
  std::string file;  // full path
  // Logon data.
  std::string host;
  int sysnr = 0;
  std::string client, user, password, language;
  std::string refuse;  // logon refusal text; "" = logons accepted
  // RFC_SYSTEM_INFO.
  std::string sysid, dbhost, release, tzone, dayst;
  std::string rfchost, dest, databs, dbsys, mach, opsys, ipaddr, kernel;
  std::map<std::string, FunctionBehaviour> functions;  // by upper-case name
  // Monitoring interface and operating-system data.
  int users = 0, sessions = 0;
  bool has_db_host = false;
  std::string db_destination, db_locality;
  HostSnapshot app, db;
  // Statistic records.
  GeneratorSpec generator;
  std::vector<StatRecord> records;  // sorted by end stamp

  const FunctionBehaviour& Behaviour(const std::string& function) const;
};

// Table and structure faults of the whole process: internal tables and
// structures are made before any connection is open.
struct LibraryFaults {
  std::vector<std::string> itcreate, itfree, itdelete;      // table names
  std::vector<std::pair<std::string, unsigned>> install;    // structure, size (0 = any)
  std::vector<std::pair<std::string, unsigned>> itgetline;  // table, line
};

struct Landscape {
  std::string dir;
  std::vector<SimSystem> systems;
  LibraryFaults faults;

  // The system logged on to with this host (as typed, without regard to
  // case) and system number, or nullptr.
  const SimSystem* Find(const std::string& host, int sysnr) const;
};

// The function modules the simulated systems serve.
bool IsServedFunction(const std::string& upper_name);
const std::vector<std::string>& ServedFunctions();

// Reads one system file. Returns 0, or -1 with *error "<file>:<line>: ...".
int LoadSystemFile(const std::string& path, SimSystem* out, std::string* error);
// Reads library.conf. Returns 0, or -1 with *error.
int LoadLibraryFaults(const std::string& path, LibraryFaults* out, std::string* error);
// Reads every system of dir. Returns 0, or -1 with *error.
int LoadLandscape(const std::string& dir, Landscape* out, std::string* error);

}  // namespace zmo::rfc
