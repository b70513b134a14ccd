// zmosnap's RFC and XMI calls against simulated SAP systems: the example
// landscape for what the systems answer and receive, systems of the test's
// own for faults, time-outs and stop requests on the settable clock.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/runtime_state.h"
#include "common/sap_layouts.h"
#include "common/service_control.h"
#include "common/trace_log.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/simulator.h"
#include "snap_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/scoped.h"
#include "zmosnap/records.h"
#include "zmosnap/rfc_calls.h"

using namespace zmo::snap;

namespace {

using ::testing::Not;
using zmo_test::HasText;
using zmo_test::HasTextTimes;

constexpr std::int64_t kStartMs = 1165505405000;  // 2006-12-07 15:30:05 UTC

struct Logon {
  const char* host;
  int sysnr;
  const char* client;
  const char* user;
  const char* password;
  const char* language;
};

constexpr Logon kT46 = {"sapt46.example.net", 0, "100", "ZMOMON", "Secret46", "E"};
constexpr Logon kT31 = {"sapt31.example.net", 0, "100", "ZMOMON", "init31pw", "E"};

// The logon of the test's own systems.
constexpr Logon kOwn = {"own1.example.net", 0, "100", "MONUSER", "Secret1", "E"};
constexpr const char* kOwnSystem =
    "[logon]\n"
    "host = own1.example.net\n"
    "sysnr = 00\n"
    "client = 100\n"
    "user = MONUSER\n"
    "password = Secret1\n"
    "\n"
    "[system_info]\n"
    "sysid = OWN\n"
    "dbhost = dbown\n"
    "release = 46C\n"
    "tzone = 3600\n"
    "\n"
    "[xmi]\n"
    "users = 5\n"
    "sessions = 9\n"
    "\n"
    "[database_host]\n"
    "destination = DBOWN_DB_OWN\n"
    "\n"
    "[cpu app]\n"
    "NBR_CPU = 2\n"
    "\n"
    "[disk app]\n"
    "DISKNAME = sda\n"
    "UTIL = 40\n"
    "\n";

class SnapRfcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zmo::SetTraceSwitch(1);
    zmo::setDatabaseKind(zmo::DbKind::kMssql);
    UseExampleLandscape();
  }
  void TearDown() override {
    SnapRecordState& st = snapRecordState();
    for (std::FILE* f : {st.cpuFile, st.diskFile, st.lanFile}) {
      if (f != nullptr) std::fclose(f);
    }
    snapResetRecordState();
    snapResetRfcState();
  }

  void UseExampleLandscape() {
    systems_.emplace(zmo::rfc::kSystemsEnv, std::string(ZMO_TEST_FIXTURES "/sap"));
  }
  // A landscape of the test's own: one system with extra sections, and the
  // library's faults when given.
  void UseOwnSystem(const std::string& extra, const std::string& faults = "") {
    const std::string dir = env_.Dir() + "landscape";
    std::filesystem::create_directories(dir);
    ASSERT_EQ(zmo::WriteFileAtomic(dir + "/OWN.sys", kOwnSystem + extra), 0);
    if (!faults.empty()) {
      ASSERT_EQ(zmo::WriteFileAtomic(dir + "/library.conf", "[faults]\n" + faults), 0);
    }
    systems_.reset();
    systems_.emplace(zmo::rfc::kSystemsEnv, dir);
    // The library forgets its tables and structures, and so must zmosnap.
    snapResetRfcState();
    zmo::rfc::SimReset();
  }

  // Tables, structures and a connection as the cycle has them for a server.
  void Connect(const Logon& l) {
    ASSERT_EQ(initRfcTables(), 0);
    RFC_CONNOPT_R3ONLY connopt = {l.host, l.sysnr, nullptr, nullptr};
    RFC_OPTIONS o{};
    o.destination = "";
    o.mode = RFC_MODE_R3ONLY;
    o.connopt = &connopt;
    o.client = l.client;
    o.user = l.user;
    o.password = l.password;
    o.language = l.language;
    snapRfcState().handle = RfcOpen(&o);
    ASSERT_NE(snapRfcState().handle, RFC_HANDLE_NULL);
    zmo::rfc::SimClearCallLog();
  }
  void Disconnect() {
    RfcClose(RFC_HANDLE_NULL);
    snapRfcState().handle = RFC_HANDLE_NULL;
  }

  // The collecting files, open for the records of callFillSnapshotData.
  void OpenFiles() {
    SnapRecordState& st = snapRecordState();
    st.server.host = kT46.host;
    st.server.sid = "T46";
    st.server.client = "100";
    zmo::setAllMetricSwitches(&st.switches);
    st.cpuFile = std::fopen((env_.Dir() + "cpu").c_str(), "wb");
    st.diskFile = std::fopen((env_.Dir() + "dsk").c_str(), "wb");
    st.lanFile = std::fopen((env_.Dir() + "lan").c_str(), "wb");
  }
  std::vector<std::string> Lines(const char* name) {
    SnapRecordState& st = snapRecordState();
    for (std::FILE* f : {st.cpuFile, st.diskFile, st.lanFile}) std::fflush(f);
    return SnapTestEnv::Lines(env_.Dir() + name);
  }

  // The calls the systems received since the connection, by function.
  static std::vector<zmo::rfc::SimLogEntry> Calls(const char* function) {
    std::vector<zmo::rfc::SimLogEntry> out;
    for (const zmo::rfc::SimLogEntry& e : zmo::rfc::SimCallLog()) {
      if (e.event == "call" && e.function == function) out.push_back(e);
    }
    return out;
  }
  static std::string Value(const zmo::rfc::SimLogEntry& e, const char* name) {
    for (const auto& [key, value] : e.values) {
      if (key == name) return value;
    }
    return "<absent>";
  }

  std::string Trace() const { return env_.Trace(); }

  SnapTestEnv env_;
  std::optional<zmo_test::ScopedEnv> systems_;
  zmo_test::ScopedTz tz_{"UTC0"};
  zmo::ScopedFakeClock clock_{kStartMs};
};

TEST_F(SnapRfcTest, TablesAreCreatedWithTheirLineLengthsAndStructuresInstalledOnce) {
  ASSERT_EQ(initRfcTables(), 0);
  const SnapRfcTables tables = snapRfcState().tables;
  const SnapRfcTypes types = snapRfcState().types;
  EXPECT_EQ(ItLeng(tables.cpuAll), 48u);
  EXPECT_EQ(ItLeng(tables.diskSingle), 72u);
  EXPECT_EQ(ItLeng(tables.lanSingle), 40u);
  EXPECT_EQ(ItLeng(tables.memAll), 48u);
  EXPECT_EQ(ItLeng(tables.usrTbl), 255u);
  EXPECT_EQ(ItLeng(tables.functions), 139u);
  const std::vector<RFC_TYPEHANDLE> handles = {types.cpuAll, types.dskSingle, types.topSingle,
                                               types.memAll, types.lanSingle, types.btcSyslog,
                                               types.rfcsi,  types.rfcfunc};
  for (size_t i = 0; i < handles.size(); ++i) {
    EXPECT_NE(handles[i], 0u) << i;
    if (i > 0) {
      EXPECT_GT(handles[i], handles[i - 1]) << "installed in order";
    }
  }
  // The line lengths are those of the structures the library laid out.
  for (const char* s : {"CPU_ALL", "DSK_SINGLE", "MEM_ALL", "LAN_SINGLE", "BTCSYSLOG", "RFCFUNC"}) {
    ASSERT_NE(zmo::sap::FindLayout(s, ""), nullptr) << s;
  }
  EXPECT_EQ(zmo::sap::FindLayout("CPU_ALL", "")->line_size, kTfCpuAllLeng);
  EXPECT_EQ(zmo::sap::FindLayout("DSK_SINGLE", "")->line_size, kTfDiskSingleLeng);
  EXPECT_EQ(zmo::sap::FindLayout("LAN_SINGLE", "")->line_size, kTfLanSingleLeng);
  EXPECT_EQ(zmo::sap::FindLayout("MEM_ALL", "")->line_size, kTfMemAllLeng);
  EXPECT_EQ(zmo::sap::FindLayout("BTCSYSLOG", "")->line_size, kUsrTblLeng);
  EXPECT_EQ(zmo::sap::FindLayout("RFCFUNC", "")->line_size, kFunctionsLeng);

  // A second set-up (a later run of the process) keeps what is there.
  ASSERT_EQ(initRfcTables(), 0);
  EXPECT_EQ(snapRfcState().tables.cpuAll, tables.cpuAll);
  EXPECT_EQ(snapRfcState().tables.functions, tables.functions);
  EXPECT_EQ(snapRfcState().types.rfcfunc, types.rfcfunc);
}

TEST_F(SnapRfcTest, SetUpFailureIsReportedWithTheOperation) {
  struct Case {
    const char* fault;
    const char* operation;
  };
  const Case cases[] = {
      {"itcreate = TF_CPU_ALL\n", "ItCreate TF_CPU_ALL"},
      {"itcreate = TF_DISK_SINGLE\n", "ItCreate TF_DISK_SINGLE"},
      {"itcreate = TF_LAN_SINGLE\n", "ItCreate TF_LAN_SINGLE"},
      {"itcreate = TF_MEM_ALL\n", "ItCreate TF_MEM_ALL"},
      {"itcreate = USR_TBL\n", "ItCreate USR_TBL"},
      {"itcreate = FUNCTIONS\n", "ItCreate FUNCTIONS"},
      {"install = CPU_ALL\n", "RfcInstallStructure"},
      {"install = RFCFUNC\n", "RfcInstallStructure"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    snapResetRfcState();
    UseOwnSystem("", c.fault);
    EXPECT_EQ(initRfcTables(), 1);
    EXPECT_THAT(Trace(),
                HasText(std::string("rfc error occurred\noperation/code <") + c.operation + ">\n"));
  }
}

TEST_F(SnapRfcTest, FreeEmptiesEveryTableAndReportsTheFirstThatFails) {
  UseOwnSystem("");
  Connect(kOwn);
  ItAppLine(snapRfcState().tables.cpuAll);
  ItAppLine(snapRfcState().tables.functions);
  EXPECT_EQ(freeRfcTables(), 0);
  EXPECT_EQ(ItFill(snapRfcState().tables.cpuAll), 0);
  EXPECT_EQ(ItFill(snapRfcState().tables.functions), 0);

  struct Case {
    const char* table;
    const char* trace;
  };
  const Case cases[] = {
      {"TF_CPU_ALL", "ItFree(thTfCpuAll) returned unsuccessfully\n"},
      {"TF_DISK_SINGLE", "ItFree(thTfDiskSingle) returned unsuccessfully\n"},
      {"TF_LAN_SINGLE", "ItFree(thTfLanSingle) returned unsuccessfully\n"},
      {"TF_MEM_ALL", "ItFree(thTfMemAll) returned unsuccessfully\n"},
      {"USR_TBL", "ItFree(thUsrTbl) returned unsuccessfully\n"},
      {"FUNCTIONS", "ItFree(thFunctions) returned unsuccessfully\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    snapResetRfcState();
    UseOwnSystem("", std::string("itfree = ") + c.table + "\n");
    ASSERT_EQ(initRfcTables(), 0);
    EXPECT_EQ(freeRfcTables(), 1);
    EXPECT_THAT(Trace(), HasText(c.trace));
  }
}

TEST_F(SnapRfcTest, SystemInfoGivesIdDatabaseHostAndRemoteOffset) {
  struct Case {
    Logon logon;
    const char* sid;
    const char* db_host;
    int offset;
    bool daylight;
  };
  const Case cases[] = {
      {kT31, "T31", "dbt31", 7200, true},
      {{"10.1.4.40", 1, "200", "ZMOMON", "Init40Pw", "E"}, "T40", "dbt40", -18000, false},
      {{"sapt45", 2, "300", "zmomon", "Secret45", "D"}, "T45", "sapt45", 0, false},
      {kT46, "T46", "dbt46", 7200, true},
      {{"sapt4d.example.net", 10, "800", "ZMOMON", "Secret4D", "E"}, "T4D", "dbt4d", 19800, false},
      {{"/H/gw.example.net/S/3299/H/sapt62.example.net", 0, "100", "ZMOMON", "Secret62!", "E"},
       "T62",
       "dbt62.example.net",
       36000,
       true},
      {{"sapt70.example.net", 0, "100", "ZMOMON", "Secret70", "E"}, "T70", "dbt70", -21600, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sid);
    zmo::ResetTraceLog();
    std::remove((env_.Dir() + "trace_zmosnap.log").c_str());
    zmo::SetTraceSwitch(1);
    Connect(c.logon);
    ASSERT_EQ(callRfcSystemInfo(), 0);
    EXPECT_EQ(snapRfcState().results.sid, c.sid);
    EXPECT_EQ(snapRfcState().results.dbHost, c.db_host);
    EXPECT_EQ(snapRfcState().results.remoteOffset, c.offset);
    const auto daylight = HasText("determined daylight saving at remote host\n");
    EXPECT_THAT(Trace(), c.daylight ? daylight : Not(daylight));
    EXPECT_THAT(Trace(), HasText("total offset to UTC of remote host is <" +
                                 std::to_string(c.offset / 60) + "> min\n"));
    EXPECT_THAT(Trace(),
                HasText("rfcRc <0> from ListenForRfcResponse()\nrfcRc <0> from rfcReceive()\n"));
    Disconnect();
  }
}

TEST_F(SnapRfcTest, SystemFieldsThatFillTheirWidthAreKeptWhole) {
  UseOwnSystem("");
  std::string system = kOwnSystem;
  system.replace(system.find("sysid = OWN"), 11, "sysid = ABCDEFGH");
  system.replace(system.find("dbhost = dbown"), 14, "dbhost = " + std::string(32, 'd'));
  system.replace(system.find("destination = DBOWN_DB_OWN"), 26,
                 "destination = " + std::string(32, 'D') + "\nlocality = FARAWAY123");
  ASSERT_EQ(zmo::WriteFileAtomic(env_.Dir() + "landscape/OWN.sys", system), 0);
  zmo::rfc::SimReset();
  Connect(kOwn);
  ASSERT_EQ(callRfcSystemInfo(), 0);
  EXPECT_EQ(snapRfcState().results.sid, "ABCDEFGH");
  EXPECT_EQ(snapRfcState().results.dbHost, std::string(32, 'd'));
  ASSERT_EQ(callJ8c1GetDbLogDest(), 0);
  EXPECT_EQ(snapRfcState().results.dbDestination, std::string(32, 'D'));
  EXPECT_EQ(snapRfcState().results.dbLocality, "FARAWAY123");
}

TEST_F(SnapRfcTest, XmiLogonAsTheSystemReceivedIt) {
  Connect(kT46);
  ASSERT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 0);
  const std::vector<zmo::rfc::SimLogEntry> calls = Calls("SXMI_LOGON");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].system, "T46");
  EXPECT_EQ(calls[0].result, 0);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"EXTCOMPANY", "Velmar          "},
      {"EXTPRODUCT", "KLV 3.1         "},
      {"INTERFACE", "XMB"},
      {"VERSION", "0.1       "},
  };
  EXPECT_EQ(calls[0].values, expected);
  EXPECT_TRUE(calls[0].tables.empty());
  EXPECT_THAT(
      Trace(),
      HasText("about to call RfcCallReceive with SXMI_LOGON\ncall RfcCall with SXMI_LOGON OK\n"));

  // Texts longer than their fields are cut to them.
  ASSERT_EQ(callXmiLogon("A company of many words", "P", "XMBX", "0.1.2.3.4.5.6"), 0);
  const zmo::rfc::SimLogEntry cut = Calls("SXMI_LOGON").back();
  EXPECT_EQ(Value(cut, "EXTCOMPANY"), "A company of man");
  EXPECT_EQ(Value(cut, "INTERFACE"), "XMB");
  EXPECT_EQ(Value(cut, "VERSION"), "0.1.2.3.4.");
}

TEST_F(SnapRfcTest, UsersAndSessionsFromTheUserList) {
  Connect(kT46);
  ASSERT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 0);
  ASSERT_EQ(callSxmiXmbUserListRead(kXmiUser), 0);
  EXPECT_EQ(snapRfcState().results.users, 14);
  EXPECT_EQ(snapRfcState().results.sessions, 32);
  EXPECT_EQ(snapRfcState().results.usersRead, 1);
  const zmo::rfc::SimLogEntry call = Calls("SXMI_XMB_USER_LIST_READ").at(0);
  EXPECT_EQ(Value(call, "EXTERNAL_USER_NAME"), "Velmar_User     ");
  EXPECT_EQ(call.tables, std::vector<std::string>{"USR_TBL/255"});
  ASSERT_EQ(callXmiLogoff(kXmiInterface), 0);
  EXPECT_EQ(Value(Calls("SXMI_LOGOFF").at(0), "INTERFACE"), "XMB");

  // A second read on another system counts its users, not the first's.
  Disconnect();
  UseOwnSystem("");
  Connect(kOwn);
  ASSERT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 0);
  ASSERT_EQ(callSxmiXmbUserListRead(kXmiUser), 0);
  EXPECT_EQ(snapRfcState().results.users, 5);
  EXPECT_EQ(snapRfcState().results.sessions, 9);
}

TEST_F(SnapRfcTest, UserListBeforeALogonFailsWithZeroCounts) {
  Connect(kT46);
  snapRfcState().results.users = 7;
  snapRfcState().results.usersRead = 1;
  EXPECT_EQ(callSxmiXmbUserListRead(kXmiUser), 1);
  EXPECT_EQ(snapRfcState().results.users, 0);
  EXPECT_EQ(snapRfcState().results.sessions, 0);
  EXPECT_EQ(snapRfcState().results.usersRead, 0);
  EXPECT_THAT(Trace(),
              HasText("rfcRc <2> from rfcReceive()\nRFC_EXCEPTION caught rfcException=<2>\n"
                      "rfc error occurred\noperation/code <NOT_LOGGED_ON>\nkey <NOT_LOGGED_ON>\n"));
  EXPECT_EQ(callXmiLogoff(kXmiInterface), 1);
}

TEST_F(SnapRfcTest, UserCountsFromTheLineBeforeTheLast) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    int rc, users, sessions;
  };
  const Case cases[] = {
      {"no line", {}, 1, 0, 0},
      {"one line", {"14 users, 32 sessions"}, 1, 0, 0},
      {"two lines", {"14 users, 32 sessions", "End of list"}, 0, 14, 32},
      {"three lines", {"User list", "14 users, 32 sessions", "End of list"}, 0, 14, 32},
      {"counts in the last line only", {"User list", "none", "3 users, 4 sessions"}, 0, 0, 0},
      {"one number", {"head", "7 users", "end"}, 0, 7, 0},
      {"numbers run into text", {"head", "users:12;sessions:40;", "end"}, 0, 12, 40},
      {"too many digits", {"head", "99999999999999999999 users, 3 sessions", "end"}, 0, INT_MAX, 3},
      {"digits up to the line's last byte",
       {"head", std::string(250, 'x') + "5 u 6", "end"},
       0,
       5,
       6},
      {"a line of digits", {"head", std::string(255, '9'), "end"}, 0, INT_MAX, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ITAB_H table = ItCreate("USR_TBL", kUsrTblLeng, 0, 0);
    ASSERT_NE(table, ITAB_NULL);
    for (const std::string& text : c.lines) {
      char* line = static_cast<char*>(ItAppLine(table));
      std::memset(line, ' ', kUsrTblLeng);  // blank-padded, no terminating zero
      std::memcpy(line, text.data(), std::min<size_t>(text.size(), kUsrTblLeng));
    }
    int users = -1, sessions = -1;
    EXPECT_EQ(snapUserCounts(table, &users, &sessions), c.rc);
    EXPECT_EQ(users, c.users);
    EXPECT_EQ(sessions, c.sessions);
    ItDelete(table);
  }
  int users = -1, sessions = -1;
  EXPECT_EQ(snapUserCounts(ITAB_NULL, &users, &sessions), 1);
  EXPECT_EQ(users, 0);
  EXPECT_EQ(sessions, 0);
}

TEST_F(SnapRfcTest, UserListWhoseCountLineCannotBeReadFails) {
  UseOwnSystem("", "itgetline = USR_TBL 2\n");
  Connect(kOwn);
  ASSERT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 0);
  EXPECT_EQ(callSxmiXmbUserListRead(kXmiUser), 1);
  EXPECT_EQ(snapRfcState().results.usersRead, 0);
  EXPECT_EQ(snapRfcState().results.users, 0);
  EXPECT_THAT(Trace(),
              HasText("callSxmiXmbUserListRead() USR_TBL of <3> lines holds no user counts\n"));
}

TEST_F(SnapRfcTest, FunctionSearchFoundAndNotFound) {
  struct Case {
    Logon logon;
    const char* name;
    int exists;
  };
  const Case cases[] = {
      {kT46, kDbLogDestFunction, 1},
      {kT31, kDbLogDestFunction, 0},
      {kT46, "FILL_SNAPSHOT_DATA", 1},
      {kT46, "Z_NO_SUCH_MODULE", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.logon.host) + " " + c.name);
    Connect(c.logon);
    int exists = -1;
    ASSERT_EQ(callRfcFunctionSearch(c.name, &exists), 0);
    EXPECT_EQ(exists, c.exists);
    const std::string verdict =
        c.exists ? "> exists on target system\n" : "> doesn't exist on target system\n";
    EXPECT_THAT(Trace(), HasText(std::string("function module <") + c.name + verdict));
    const zmo::rfc::SimLogEntry call = Calls("RFC_FUNCTION_SEARCH").at(0);
    EXPECT_EQ(Value(call, "FUNCNAME"),
              std::string(c.name) + std::string(30 - std::strlen(c.name), ' '));
    EXPECT_EQ(call.tables, std::vector<std::string>{"FUNCTIONS/139"});
    Disconnect();
  }
  // A hit of an earlier search does not count for the next.
  Connect(kT46);
  int exists = -1;
  ASSERT_EQ(callRfcFunctionSearch(kDbLogDestFunction, &exists), 0);
  ASSERT_EQ(exists, 1);
  ASSERT_EQ(callRfcFunctionSearch("Z_NO_SUCH_MODULE", &exists), 0);
  EXPECT_EQ(exists, 0);

  EXPECT_EQ(callRfcFunctionSearch(nullptr, &exists), 1);
  EXPECT_THAT(Trace(), HasText("callRfcFunctionSearch(): internal error. fn is <NULL>\n"));
}

TEST_F(SnapRfcTest, FunctionSearchRefusedWithAnExceptionMeansNotThere) {
  UseOwnSystem("[function RFC_FUNCTION_SEARCH]\ncall_rc = 2\n");
  Connect(kOwn);
  int exists = -1;
  EXPECT_EQ(callRfcFunctionSearch(kDbLogDestFunction, &exists), 0);
  EXPECT_EQ(exists, 0);
  EXPECT_THAT(Trace(),
              HasText("function module <J_8C1_GET_DB_LOG_DEST> doesn't exist on target system\n"));
  EXPECT_THAT(Trace(), Not(HasText("rfcRc <2> from RfcCall()")));

  // Any other refusal of the call is a failure of the search.
  UseOwnSystem("[function RFC_FUNCTION_SEARCH]\ncall_rc = 1\n");
  Connect(kOwn);
  EXPECT_EQ(callRfcFunctionSearch(kDbLogDestFunction, &exists), 1);
  EXPECT_EQ(exists, 0);
  EXPECT_THAT(Trace(), HasText("rfcRc <1> from RfcCall()\nrfcException=<1>\n"));
}

TEST_F(SnapRfcTest, DatabaseHostIsSampledThroughItsDestination) {
  Connect(kT46);
  OpenFiles();
  snapRfcState().results.sid = "T46";
  snapRfcState().results.dbHost = "dbt46";
  snapRfcState().results.usersRead = 1;
  ASSERT_EQ(callJ8c1GetDbLogDest(), 0);
  EXPECT_EQ(snapRfcState().results.dbDestination, "DBT46_DB_T46" + std::string(20, ' '));
  EXPECT_EQ(snapRfcState().results.dbLocality, "REMOTE    ");

  snapRecordState().dbHostRecords = 1;
  ASSERT_EQ(callFillSnapshotData(snapRfcState().results.dbDestination.c_str(),
                                 snapRfcState().results.dbLocality.c_str()),
            0);
  const zmo::rfc::SimLogEntry call = Calls("FILL_SNAPSHOT_DATA").at(0);
  EXPECT_EQ(Value(call, "LOGICAL_DESTINATION"), "DBT46_DB_T46" + std::string(20, ' '));
  EXPECT_EQ(Value(call, "LOCAL_REMOTE"), "REMOTE");
  const std::vector<std::string> tables = {"TF_CPU_ALL/48", "TF_DISK_SINGLE/72", "TF_LAN_SINGLE/40",
                                           "TF_MEM_ALL/48"};
  EXPECT_EQ(call.tables, tables);
  const std::string prefix =
      "sapt46_T46_DB,sapt46.example.net,T46_dbt46,T46,100,12-07-2006 15:30:05";
  EXPECT_EQ(Lines("cpu"),
            std::vector<std::string>{prefix + ",8,310,290,250,55,15,30,2,1,2100000,33554432,0,0"});
  EXPECT_EQ(Lines("dsk"), std::vector<std::string>{prefix + ",data01,72,4,9,5"});
  EXPECT_EQ(Lines("lan"), std::vector<std::string>{prefix + ",bond0,41000,39000,2,0,0"});
}

TEST_F(SnapRfcTest, ApplicationServerSnapshotWithoutADestination) {
  Connect(kT46);
  OpenFiles();
  ASSERT_EQ(callRfcSystemInfo(), 0);
  ASSERT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 0);
  ASSERT_EQ(callSxmiXmbUserListRead(kXmiUser), 0);
  ASSERT_EQ(callFillSnapshotData(nullptr, nullptr), 0);
  const zmo::rfc::SimLogEntry call = Calls("FILL_SNAPSHOT_DATA").at(0);
  EXPECT_TRUE(call.values.empty());
  // The SAP system's time: one hour ahead of UTC and in daylight saving.
  const std::string prefix =
      "sapt46_T46_00,sapt46.example.net,T46_dbt46,T46,100,12-07-2006 17:30:05";
  EXPECT_EQ(Lines("cpu"),
            std::vector<std::string>{prefix + ",4,135,120,98,38,9,53,12,3,812000,8388608,14,32"});
  EXPECT_EQ(Lines("dsk"),
            (std::vector<std::string>{prefix + ",sda,23,1,4,6", prefix + ",sdb,61,3,11,8"}));
  EXPECT_EQ(Lines("lan"), std::vector<std::string>{prefix + ",eth0,15000,13200,0,1,0"});
  EXPECT_THAT(Trace(), Not(HasText("inserting <0> for user data")));
}

TEST_F(SnapRfcTest, FailedSnapshotWritesNoRecords) {
  struct Case {
    const char* what;
    const char* section;
    const char* destination;
    const char* trace;
  };
  const Case cases[] = {
      {"unknown destination", "", "ELSEWHERE", "RFC_EXCEPTION caught rfcException=<2>\n"},
      {"system exception", "[function FILL_SNAPSHOT_DATA]\nsys_exception = SYSTEM_FAILURE\n",
       nullptr,
       "RFC_SYS_EXCEPTION caught rfcException=<3>\nrfc error occurred\noperation/code "
       "<SYSTEM_FAILURE>\n"},
      {"a table not received", "[function FILL_SNAPSHOT_DATA]\ntable_fault = TF_DISK_SINGLE\n",
       nullptr, "rfcRc <1> from rfcReceive()\nrfcException=<1>\n"},
      {"connection broken while waiting", "[function FILL_SNAPSHOT_DATA]\nlisten_rc = 6\n", nullptr,
       "ListenForRfcResponse() terminated because of unknown RfcRc <6>\nrfcRc <6> from "
       "ListenForRfcResponse()\n"
       "rfcException=<6>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    UseOwnSystem(c.section);
    Connect(kOwn);
    OpenFiles();
    EXPECT_EQ(callFillSnapshotData(c.destination, c.destination != nullptr ? "REMOTE" : nullptr),
              1);
    EXPECT_THAT(Trace(), HasText(c.trace));
    EXPECT_TRUE(Lines("cpu").empty());
    EXPECT_TRUE(Lines("dsk").empty());
    Disconnect();
  }
}

TEST_F(SnapRfcTest, FailedCallReturnsAtOnceWithoutListening) {
  UseOwnSystem("[function SXMI_LOGON]\ncall_rc = 1\n\n[function RFC_SYSTEM_INFO]\ncall_rc = 1\n");
  Connect(kOwn);
  EXPECT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), 1);
  EXPECT_EQ(clock_->NowMillis(), kStartMs);
  EXPECT_THAT(Trace(),
              HasText("about to call RfcCallReceive with SXMI_LOGON\nrfcRc <1> from RfcCall()\n"
                      "rfcException=<1>\nrfc error occurred\noperation/code <>\n"));
  EXPECT_THAT(Trace(), Not(HasText("call RfcCall with SXMI_LOGON OK")));
  EXPECT_THAT(Trace(), Not(HasText("from ListenForRfcResponse()")));

  // The system information traces no RfcCall result of its own.
  EXPECT_EQ(callRfcSystemInfo(), 1);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasTextTimes("rfcRc <1> from RfcCall()", 1));
  EXPECT_THAT(trace, HasTextTimes("rfcException=<1>", 2));
}

TEST_F(SnapRfcTest, AnswerIsGivenUpAfterSixtySeconds) {
  struct Case {
    int delay_ms;
    int rc;
    std::int64_t ended_at_ms;  // after the call
  };
  const Case cases[] = {
      {0, 0, 50},        {59950, 0, 59950},   {60000, 0, 60000},
      {61000, 0, 61000},  // 61 whole seconds are not more than 60 until the next poll
      {61001, 1, 61000}, {3600000, 1, 61000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delay_ms);
    TearDown();
    UseOwnSystem("[function SXMI_LOGON]\ndelay_ms = " + std::to_string(c.delay_ms) + "\n");
    Connect(kOwn);
    const std::int64_t start = clock_->NowMillis();
    EXPECT_EQ(callXmiLogon(kXmiCompany, kXmiProduct, kXmiInterface, kXmiVersion), c.rc);
    EXPECT_EQ(clock_->NowMillis() - start, c.ended_at_ms);
    const auto timed_out = HasText(
        "call RfcCall with SXMI_LOGON OK\nListenForRfcResponse() terminated because "
        "of RFC timeout\n"
        "rfcRc <116> from ListenForRfcResponse()\nrfcException=<116>\n");
    EXPECT_THAT(Trace(), c.rc != 0 ? timed_out : Not(timed_out));
    Disconnect();
  }
}

TEST_F(SnapRfcTest, StopRequestEndsTheWaitWithinOnePoll) {
  UseOwnSystem("[function FILL_SNAPSHOT_DATA]\ndelay_ms = 30000\n");
  Connect(kOwn);
  OpenFiles();
  const std::int64_t stop_at = clock_->NowMillis() + 5020;
  clock_->SetAdvanceHook([stop_at](std::int64_t now) {
    if (now >= stop_at && !zmo::DisconnectFlag()) zmo::Runtime().service.disconnect.store(1);
  });
  EXPECT_EQ(callFillSnapshotData(nullptr, nullptr), 28);
  clock_->SetAdvanceHook(nullptr);
  EXPECT_LE(clock_->NowMillis() - stop_at, 50);
  EXPECT_THAT(Trace(), HasText("ListenForRfcResponse:Disconnect detected, shutting down\n"
                               "ListenForRfcResponse() shutting down\n"));
  EXPECT_THAT(Trace(), Not(HasText("rfcException=")));
  EXPECT_TRUE(Lines("cpu").empty());

  // With the flag already set nothing is sent at all.
  zmo::rfc::SimClearCallLog();
  EXPECT_EQ(callRfcSystemInfo(), 28);
  EXPECT_EQ(callXmiLogoff(kXmiInterface), 28);
  EXPECT_TRUE(zmo::rfc::SimCallLog().empty());
}

TEST_F(SnapRfcTest, FailedSystemInfoLeavesNoShiftOfAnEarlierServer) {
  Connect(kT46);
  ASSERT_EQ(callRfcSystemInfo(), 0);
  ASSERT_EQ(snapRfcState().results.remoteOffset, 7200);
  Disconnect();
  UseOwnSystem("[function RFC_SYSTEM_INFO]\nsys_exception = SYSTEM_FAILURE\n");
  Connect(kOwn);
  EXPECT_EQ(callRfcSystemInfo(), 1);
  EXPECT_EQ(snapRfcState().results.remoteOffset, 0);
  EXPECT_EQ(snapRfcState().results.sid, "");
  EXPECT_EQ(snapRfcState().results.dbHost, "");

  SnapRecordState& st = snapRecordState();
  st.server.host = kOwn.host;
  st.server.sid = "OWN";
  zmo::setAllMetricSwitches(&st.switches);
  std::FILE* avail = std::fopen((env_.Dir() + "avai").c_str(), "wb");
  ASSERT_NE(avail, nullptr);
  EXPECT_EQ(writeAvailRecord(avail, 0), 0);
  std::fclose(avail);
  EXPECT_EQ(SnapTestEnv::Read(env_.Dir() + "avai"),
            "own1_OWN_00,own1.example.net,NOT KNOWN,OWN,12-07-2006 15:30:05,0\r\n");
}

TEST_F(SnapRfcTest, DestinationIsClearedBeforeItIsAskedFor) {
  UseOwnSystem("[function J_8C1_GET_DB_LOG_DEST]\nexception = NO_DESTINATION\n");
  Connect(kOwn);
  snapRfcState().results.dbDestination = "DBT46_DB_T46";
  snapRfcState().results.dbLocality = "REMOTE";
  EXPECT_EQ(callJ8c1GetDbLogDest(), 1);
  EXPECT_EQ(snapRfcState().results.dbDestination, "");
  EXPECT_EQ(snapRfcState().results.dbLocality, "");
}

TEST_F(SnapRfcTest, ErrorCallbackTracesTheLibrarysLastError) {
  UseOwnSystem("");
  snapInstallRfcErrorCallback();
  RFC_CONNOPT_R3ONLY connopt = {kOwn.host, kOwn.sysnr, nullptr, nullptr};
  RFC_OPTIONS o{};
  o.mode = RFC_MODE_R3ONLY;
  o.connopt = &connopt;
  o.client = "100";
  o.user = "MONUSER";
  o.password = "wrong";
  o.language = "E";
  EXPECT_EQ(RfcOpen(&o), RFC_HANDLE_NULL);
  EXPECT_THAT(
      Trace(),
      HasText("rfc error occurred\noperation/code <RfcOpen>\nkey <RFC_ERROR_LOGON_FAILURE>\n"
              "message <Name or password is incorrect (repeat logon)>\n"));
}

}  // namespace
