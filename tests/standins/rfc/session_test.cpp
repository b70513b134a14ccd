// Connections and the asynchronous call protocol: logon checks, answers
// scheduled on the clock, configured faults, the last error and the call log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "rfc_test_util.h"

namespace {

using rfc_test::kBaseSystem;
using rfc_test::Params;
using rfc_test::Tables;

class SessionTest : public rfc_test::RfcTest {
 protected:
  void SetUp() override {
    RfcTest::SetUp();
    WriteSystem("s01", kBaseSystem);
  }
};

std::vector<std::string> g_operations;
void RecordOperation(const char* operation) { g_operations.push_back(operation); }

TEST_F(SessionTest, LogonWithTheSystemsDataGivesAHandle) {
  RFC_HANDLE h = OpenBase();
  EXPECT_NE(h, RFC_HANDLE_NULL);
  // The user is matched without regard to case, the language by its letter.
  RFC_HANDLE h2 = Open("APP1.EXAMPLE.NET", 0, "100", "monuser", "Secret1", "e");
  EXPECT_NE(h2, RFC_HANDLE_NULL);
  EXPECT_NE(h, h2);
  RfcClose(RFC_HANDLE_NULL);
}

TEST_F(SessionTest, RefusedLogonsGiveNoHandleAndSayWhy) {
  struct Case {
    const char* host;
    int sysnr;
    const char* client;
    const char* user;
    const char* password;
    const char* language;
    const char* key;
    std::string message;
  };
  const std::string dir = dir_.path();
  const Case kCases[] = {
      {"app1.example.net", 0, "100", "MONUSER", "secret1", "E", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"app1.example.net", 0, "100", "OTHER", "Secret1", "E", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"app1.example.net", 0, "200", "MONUSER", "Secret1", "E", "RFC_ERROR_LOGON_FAILURE",
       "Client 200 is not available in this system"},
      {"app1.example.net", 0, "100", "MONUSER", "Secret1", "D", "RFC_ERROR_LOGON_FAILURE",
       "Language D is not installed"},
      {"app1.example.net", 0, "100", "MONUSER", nullptr, "E", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"app2.example.net", 0, "100", "MONUSER", "Secret1", "E", "RFC_ERROR_COMMUNICATION",
       "partner app2.example.net system number 00 not reached: no simulated system in " + dir +
           " has this host and system number"},
      {"app1.example.net", 1, "100", "MONUSER", "Secret1", "E", "RFC_ERROR_COMMUNICATION",
       "partner app1.example.net system number 01 not reached: no simulated system in " + dir +
           " has this host and system number"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(Open(c.host, c.sysnr, c.client, c.user, c.password, c.language), RFC_HANDLE_NULL);
    RFC_ERROR_INFO info;
    ASSERT_EQ(RfcLastError(&info), 0);
    EXPECT_STREQ(info.key, c.key);
    EXPECT_EQ(info.message, c.message);
    EXPECT_STREQ(info.status, "RfcOpen");
  }
}

TEST_F(SessionTest, ConfiguredRefusalAndBrokenLandscapes) {
  WriteSystem("s01", std::string(kBaseSystem)
                         .insert(std::string(kBaseSystem).find("\n[system_info]"),
                                 "refuse = User MONUSER is locked\n"));
  EXPECT_EQ(OpenBase(), RFC_HANDLE_NULL);
  EXPECT_EQ(LastMessage(), "User MONUSER is locked");

  WriteSystem("s01", std::string(kBaseSystem) + "[xmi]\nusers = lots\n");
  EXPECT_EQ(OpenBase(), RFC_HANDLE_NULL);
  EXPECT_EQ(LastMessage(),
            dir_.File("s01.sys") + ":17: 'users' must be a whole number from 0 to 9999999");

  unsetenv(zmo::rfc::kSystemsEnv);
  EXPECT_EQ(OpenBase(), RFC_HANDLE_NULL);
  EXPECT_EQ(LastMessage(),
            "ZMO_SAP_SYSTEMS is not set: no simulated SAP system can be reached (this build makes "
            "no real connection)");
}

TEST_F(SessionTest, OptionsTheStandInCannotServe) {
  EXPECT_EQ(RfcOpen(nullptr), RFC_HANDLE_NULL);
  RFC_OPTIONS o{};
  EXPECT_EQ(RfcOpen(&o), RFC_HANDLE_NULL);
  EXPECT_EQ(LastMessage(), "RfcOpen needs options with connection options");
  RFC_CONNOPT_R3ONLY c{"app1.example.net", 0, nullptr, nullptr};
  o.connopt = &c;
  o.mode = static_cast<RFC_MODE>(1);
  o.client = "100";
  o.user = "MONUSER";
  o.password = "Secret1";
  EXPECT_EQ(RfcOpen(&o), RFC_HANDLE_NULL);
  EXPECT_EQ(LastMessage(), "connection mode 1 is not supported (host and system number only)");
}

TEST_F(SessionTest, ErrorHandlerIsCalledWithTheOperation) {
  g_operations.clear();
  RFC_ENV env{RecordOperation, nullptr};
  RfcEnvironment(&env);
  EXPECT_EQ(Open("app1.example.net", 0, "100", "MONUSER", "wrong"), RFC_HANDLE_NULL);
  EXPECT_EQ(RfcListen(4711), RFC_FAILURE);
  EXPECT_EQ(g_operations, (std::vector<std::string>{"RfcOpen", "RfcListen"}));
  RFC_ERROR_INFO_EX ex;
  ASSERT_EQ(RfcLastErrorEx(&ex), 0);
  EXPECT_EQ(ex.group, RFC_ERROR_PROGRAM);
  EXPECT_STREQ(ex.message, "invalid handle");
  RfcEnvironment(nullptr);
}

TEST_F(SessionTest, LastErrorIsEmptyAtTheStart) {
  RFC_ERROR_INFO info;
  std::memset(&info, 'x', sizeof info);
  EXPECT_EQ(RfcLastError(&info), 1);
  EXPECT_STREQ(info.key, "");
  EXPECT_STREQ(info.message, "");
  EXPECT_EQ(RfcLastError(nullptr), 1);
  RFC_ERROR_INFO_EX ex;
  EXPECT_EQ(RfcLastErrorEx(&ex), 1);
}

// The answer is due at the call's time plus the function's delay: RfcListen
// says RFC_RETRY until that very millisecond.
TEST_F(SessionTest, DelayedAnswerIsNotReadyBeforeItsTime) {
  WriteSystem("s01", std::string(kBaseSystem) + "[function RFC_SYSTEM_INFO]\ndelay_ms = 301000\n");
  zmo::ScopedFakeClock clock(1'700'000'000'000);
  RFC_HANDLE h = OpenBase();
  ASSERT_NE(h, RFC_HANDLE_NULL);
  ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  EXPECT_EQ(RfcListen(h), RFC_RETRY);
  clock->Advance(300'000);
  EXPECT_EQ(RfcListen(h), RFC_RETRY);  // a collector with a 300 s limit gives up here
  clock->Advance(999);
  EXPECT_EQ(RfcListen(h), RFC_RETRY);
  clock->Advance(1);
  EXPECT_EQ(RfcListen(h), RFC_OK);
  EXPECT_EQ(RfcListen(h), RFC_OK);  // stays ready until received
  Params in;
  in.Out("RFCSI_EXPORT", 200);
  EXPECT_EQ(RfcReceive(h, in.list(), nullptr, nullptr), RFC_OK);
  EXPECT_EQ(RfcListen(h), RFC_FAILURE);  // nothing outstanding any more
  EXPECT_EQ(LastMessage(), "no call outstanding");
  RfcClose(h);
}

TEST_F(SessionTest, ReceiveWaitsForALateAnswerOnTheClock) {
  WriteSystem("s01", std::string(kBaseSystem) + "[function RFC_SYSTEM_INFO]\ndelay_ms = 61000\n");
  zmo::ScopedFakeClock clock(5'000);
  RFC_HANDLE h = OpenBase();
  ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  Params in;
  in.Out("RFCSI_EXPORT", 200);
  EXPECT_EQ(RfcReceive(h, in.list(), nullptr, nullptr), RFC_OK);
  EXPECT_EQ(clock->NowMillis(), 66'000);
  RfcClose(h);
}

TEST_F(SessionTest, ConfiguredExceptionReachesReceiveWithItsName) {
  struct Case {
    const char* section;
    RFC_RC rc;
    const char* exception;
    const char* key;
  };
  for (const Case& c :
       {Case{"exception = NO_DATA_FOUND\n", RFC_EXCEPTION, "NO_DATA_FOUND", "NO_DATA_FOUND"},
        Case{"sys_exception = SYSTEM_FAILURE\n", RFC_SYS_EXCEPTION, "SYSTEM_FAILURE",
             "SYSTEM_FAILURE"}}) {
    SCOPED_TRACE(c.section);
    WriteSystem("s01", std::string(kBaseSystem) + "[function SXMI_LOGON]\n" + c.section);
    RFC_HANDLE h = OpenBase();
    Params out;
    out.Text("EXTCOMPANY", "Velmar").Text("INTERFACE", "XMB");
    ASSERT_EQ(RfcCall(h, "SXMI_LOGON", out.list(), nullptr), RFC_OK);
    EXPECT_EQ(RfcListen(h), RFC_OK);
    Params in;
    in.Out("SESSIONID", 24);
    char* exception = nullptr;
    EXPECT_EQ(RfcReceive(h, in.list(), nullptr, &exception), c.rc);
    ASSERT_NE(exception, nullptr);
    EXPECT_STREQ(exception, c.exception);
    RFC_ERROR_INFO info;
    RfcLastError(&info);
    EXPECT_STREQ(info.key, c.key);
    EXPECT_EQ(in.Value("SESSIONID"), std::string(24, '\x01'));  // nothing delivered
    RfcClose(h);
  }
}

TEST_F(SessionTest, ConfiguredCallAndListenFailures) {
  WriteSystem("s01", std::string(kBaseSystem) +
                         "[function RFC_FUNCTION_SEARCH]\ncall_rc = 2\n\n"
                         "[function RFC_SYSTEM_INFO]\nlisten_rc = 1\ndelay_ms = 100\n");
  zmo::ScopedFakeClock clock(0);
  RFC_HANDLE h = OpenBase();
  EXPECT_EQ(RfcCall(h, "RFC_FUNCTION_SEARCH", nullptr, nullptr), RFC_EXCEPTION);
  EXPECT_EQ(RfcListen(h), RFC_FAILURE);  // nothing was sent
  ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  EXPECT_EQ(RfcListen(h), RFC_RETRY);
  clock->Advance(100);
  EXPECT_EQ(RfcListen(h), RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "connection to partner broken while waiting for the answer of RFC_SYSTEM_INFO");
  EXPECT_EQ(RfcReceive(h, nullptr, nullptr, nullptr), RFC_FAILURE);
  // The connection takes the next call.
  ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  EXPECT_EQ(RfcReceive(h, nullptr, nullptr, nullptr),
            RFC_FAILURE);  // the receive meets the fault too
  RfcClose(h);
}

TEST_F(SessionTest, AbsentFunctionModuleFailsTheReceive) {
  WriteSystem("s01", std::string(kBaseSystem) + "[function FILL_SNAPSHOT_DATA]\nabsent = yes\n");
  RFC_HANDLE h = OpenBase();
  for (const char* f : {"FILL_SNAPSHOT_DATA", "J_8C1_GET_DB_LOG_DEST", "Z_NO_SUCH_MODULE"}) {
    SCOPED_TRACE(f);
    ASSERT_EQ(RfcCall(h, f, nullptr, nullptr), RFC_OK);
    EXPECT_EQ(RfcReceive(h, nullptr, nullptr, nullptr), RFC_FAILURE);
    RFC_ERROR_INFO info;
    RfcLastError(&info);
    EXPECT_STREQ(info.key, "FU_NOT_FOUND");
    EXPECT_EQ(std::string(info.message),
              std::string("Function module \"") + f + "\" not found in system S01");
  }
  RfcClose(h);
}

TEST_F(SessionTest, TableFaultFailsTheReceiveAndLeavesTheTable) {
  WriteSystem("s01", std::string(kBaseSystem) +
                         "[function SAPWL_STATREC_READ_FILE]\ntable_fault = V2_NORMAL_RECORDS\n");
  RFC_HANDLE h = OpenBase();
  ITAB_H normal = ItCreate("V2_NORMAL_RECORDS", 672, 0, 0);
  ItAppLine(normal);
  Params out;
  out.Text("READ_START_DATE", "20240304", TYPDATE).Text("READ_START_TIME", "100001", TYPTIME);
  out.Text("READ_END_DATE", "20240304", TYPDATE).Text("READ_END_TIME", "110000", TYPTIME);
  Tables t;
  t.Add("V2_NORMAL_RECORDS", normal);
  ASSERT_EQ(RfcCall(h, "SAPWL_STATREC_READ_FILE", out.list(), t.list()), RFC_OK);
  EXPECT_EQ(RfcReceive(h, nullptr, t.list(), nullptr), RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "table V2_NORMAL_RECORDS of SAPWL_STATREC_READ_FILE could not be received");
  EXPECT_EQ(ItFill(normal), 1);
  ItDelete(normal);
  RfcClose(h);
}

TEST_F(SessionTest, CallsOnBadHandlesAndOverlappingCallsFail) {
  EXPECT_EQ(RfcCall(99, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "invalid handle");
  EXPECT_EQ(RfcReceive(99, nullptr, nullptr, nullptr), RFC_FAILURE);
  RFC_HANDLE h = OpenBase();
  EXPECT_EQ(RfcCall(h, nullptr, nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(RfcReceive(h, nullptr, nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "no call outstanding");
  ASSERT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  EXPECT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "the answer of RFC_SYSTEM_INFO has not been received yet");
  ITAB_H t = ItCreate("USR_TBL", 255, 0, 0);
  ItDelete(t);
  RfcReceive(h, nullptr, nullptr, nullptr);
  Tables stale;
  stale.Add("USR_TBL", t);
  EXPECT_EQ(RfcCall(h, "SXMI_XMB_USER_LIST_READ", nullptr, stale.list()), RFC_FAILURE);
  EXPECT_EQ(LastMessage(), "SXMI_XMB_USER_LIST_READ: table USR_TBL: unknown table handle");
  RfcClose(h);
}

TEST_F(SessionTest, CloseOfTheNullHandleClosesEveryConnection) {
  RFC_HANDLE a = OpenBase(), b = OpenBase(), c = OpenBase();
  RfcClose(b);
  EXPECT_EQ(RfcCall(b, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(RfcCall(a, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
  RfcClose(RFC_HANDLE_NULL);
  EXPECT_EQ(RfcCall(a, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  EXPECT_EQ(RfcCall(c, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  RfcClose(12345);  // unknown handles are ignored
}

TEST_F(SessionTest, CallLogHoldsWhatTheSystemReceived) {
  zmo::ScopedFakeClock clock(42);
  RFC_HANDLE bad = Open("app1.example.net", 0, "100", "MONUSER", "nope", "E");
  RFC_HANDLE h = OpenBase();
  Params out;
  out.Text("EXTCOMPANY", "Velmar          ").Text("VERSION", "0.1", TYPC).Int("COUNT", -3);
  out.Text("RAW", std::string("\x01\xAB", 2), TYPX);
  ITAB_H usr = ItCreate("USR_TBL", 255, 0, 0);
  Tables t;
  t.Add("usr_tbl", usr);
  ASSERT_EQ(RfcCall(h, "sxmi_logon", out.list(), t.list()), RFC_OK);
  RfcClose(RFC_HANDLE_NULL);
  const auto log = zmo::rfc::SimCallLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(bad, RFC_HANDLE_NULL);
  EXPECT_EQ(log[0].event, "open");
  EXPECT_EQ(log[0].system, "s01");
  EXPECT_EQ(log[0].result, 0);
  EXPECT_EQ(log[0].values,
            (std::vector<std::pair<std::string, std::string>>{{"DESTINATION", "S01"},
                                                              {"MODE", "0"},
                                                              {"HOST", "app1.example.net"},
                                                              {"SYSNR", "0"},
                                                              {"GWHOST", ""},
                                                              {"GWSERV", ""},
                                                              {"CLIENT", "100"},
                                                              {"USER", "MONUSER"},
                                                              {"PASSWORD", "nope"},
                                                              {"LANGUAGE", "E"},
                                                              {"TRACE", "0"}}));
  EXPECT_EQ(log[1].result, static_cast<int>(h));
  EXPECT_EQ(log[2].event, "call");
  EXPECT_EQ(log[2].function, "SXMI_LOGON");
  EXPECT_EQ(log[2].at_ms, 42);
  EXPECT_EQ(log[2].values,
            (std::vector<std::pair<std::string, std::string>>{{"EXTCOMPANY", "Velmar          "},
                                                              {"VERSION", "0.1"},
                                                              {"COUNT", "-3"},
                                                              {"RAW", "01AB"}}));
  EXPECT_EQ(log[2].tables, (std::vector<std::string>{"USR_TBL/255"}));
  EXPECT_EQ(log[3].event, "close");
  zmo::rfc::SimClearCallLog();
  EXPECT_TRUE(zmo::rfc::SimCallLog().empty());
  ItDelete(usr);
}

TEST_F(SessionTest, CallLogFileMasksThePassword) {
  const std::string path = dir_.File("calls.log");
  setenv(zmo::rfc::kCallLogEnv, path.c_str(), 1);
  zmo::ScopedFakeClock clock(7);
  RFC_HANDLE h = OpenBase();
  Params out;
  out.Text("FUNCNAME", "RFC\tX");
  RfcCall(h, "RFC_FUNCTION_SEARCH", out.list(), nullptr);
  RfcClose(h);
  std::string text;
  ASSERT_EQ(zmo::ReadWholeFile(path, &text), 0);
  EXPECT_EQ(text,
            "7\ts01\topen\t-\t1\tDESTINATION=S01\tMODE=0\tHOST=app1.example.net\tSYSNR=0\tGWHOST="
            "\tGWSERV=\t"
            "CLIENT=100\tUSER=MONUSER\tPASSWORD=***\tLANGUAGE=E\tTRACE=0\n"
            "7\ts01\tcall\tRFC_FUNCTION_SEARCH\t0\tFUNCNAME=RFC\\x09X\n"
            "7\ts01\tclose\t-\t1\n");
}

TEST_F(SessionTest, ResetForgetsEverything) {
  RFC_HANDLE h = OpenBase();
  ITAB_H t = ItCreate("T", 10, 0, 0);
  zmo::rfc::SimReset();
  EXPECT_EQ(ItFill(t), -1);
  EXPECT_EQ(RfcCall(h, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_FAILURE);
  zmo::rfc::SimReset();
  RFC_ERROR_INFO info;
  EXPECT_EQ(RfcLastError(&info), 1);
  EXPECT_TRUE(zmo::rfc::SimCallLog().empty());
}

}  // namespace
