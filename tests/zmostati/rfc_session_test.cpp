// The connection, the error handler and RFC_SYSTEM_INFO against the example
// landscape.

#include <string>
#include <utility>
#include <vector>

#include "rfc_test_env.h"

using namespace zmo::stati;

namespace {

using namespace stati_rfc_test;
using Lines = std::vector<std::string>;

class RfcSessionTest : public StatiRfcTest {};

// The value a logon sent, from the call log.
std::string OpenValue(const zmo::rfc::SimLogEntry& open, const std::string& name) {
  for (const auto& [key, value] : open.values) {
    if (key == name) return value;
  }
  return "<not sent>";
}

TEST_F(RfcSessionTest, OpenSendsTheServerLinesFields) {
  ASSERT_EQ(Open("T62"), 0);
  EXPECT_NE(statiRfcSession().handle, RFC_HANDLE_NULL);
  const auto log = zmo::rfc::SimCallLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].event, "open");
  EXPECT_EQ(log[0].system, "T62");
  const std::vector<std::pair<std::string, std::string>> sent = {
      {"DESTINATION", "T62"},
      {"MODE", "0"},
      {"HOST", "/H/gw.example.net/S/3299/H/sapt62.example.net"},  // the router string, whole
      {"SYSNR", "0"},
      {"GWHOST", ""},
      {"GWSERV", ""},
      {"CLIENT", "100"},
      {"USER", "ZMOMON"},
      {"PASSWORD", "Secret62!"},
      {"LANGUAGE", "E"},
      {"TRACE", "0"},
  };
  for (const auto& [name, value] : sent) EXPECT_EQ(OpenValue(log[0], name), value) << name;
}

TEST_F(RfcSessionTest, OpenWithTheSystemNumberAndLanguageOfTheLine) {
  ASSERT_EQ(Open("T4D"), 0);
  ASSERT_EQ(Open("T45"), 0);
  const auto log = zmo::rfc::SimCallLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(OpenValue(log[0], "SYSNR"), "10");
  EXPECT_EQ(OpenValue(log[1], "SYSNR"), "2");
  EXPECT_EQ(OpenValue(log[1], "LANGUAGE"), "D");
  EXPECT_EQ(OpenValue(log[1], "USER"), "zmomon");
}

TEST_F(RfcSessionTest, RefusedLogonGivesNoHandle) {
  const FixtureServer server = Fixture("T46");
  ASSERT_EQ(Open("T46"), 0);
  ASSERT_EQ(statiCallRfcSystemInfo(), 0);
  ASSERT_EQ(statiRfcSession().release, "46C");
  EXPECT_EQ(statiRfcOpen(server.line, "wrong"), 1);
  EXPECT_EQ(statiRfcSession().handle, RFC_HANDLE_NULL);
  // Nothing of the server before is left to be taken for this one's.
  EXPECT_EQ(statiRfcSession().release, "");
  EXPECT_EQ(statiRfcSession().systemId, "");
  EXPECT_EQ(statiState().remoteOffsetSeconds, 0);
}

TEST_F(RfcSessionTest, CloseClosesEveryConnection) {
  ASSERT_EQ(Open("T31"), 0);
  ASSERT_EQ(Open("T40"), 0);
  statiRfcClose();
  EXPECT_EQ(statiRfcSession().handle, RFC_HANDLE_NULL);
  int closes = 0;
  for (const auto& e : zmo::rfc::SimCallLog()) closes += e.event == "close";
  EXPECT_EQ(closes, 2);
}

TEST_F(RfcSessionTest, ErrorHandlerTracesTheTextAndTheLastError) {
  const FixtureServer server = Fixture("T46");
  ASSERT_EQ(statiRfcOpen(server.line, "wrong"), 1);
  statiRfcErrorHandler("my own text");
  EXPECT_EQ(TraceLines(), (Lines{"rfc error occurred", "operation/code <my own text>",
                                 "key <RFC_ERROR_LOGON_FAILURE>", "status <RfcOpen>",
                                 "message <Name or password is incorrect (repeat logon)>",
                                 "internal status <simulated system> "}));
}

TEST_F(RfcSessionTest, ErrorHandlerWithoutTextOrError) {
  statiRfcErrorHandler(nullptr);
  EXPECT_EQ(TraceLines(), (Lines{"rfc error occurred", "operation/code <>", "key <>", "status <>",
                                 "message <>", "internal status <> "}));
}

TEST_F(RfcSessionTest, InstalledHandlerHearsTheLibrary) {
  statiInstallRfcErrorHandler();
  const FixtureServer server = Fixture("T46");
  ASSERT_EQ(statiRfcOpen(server.line, "wrong"), 1);
  EXPECT_EQ(TraceLinesStarting("operation/code"), Lines{"operation/code <RfcOpen>"});
  RfcEnvironment(nullptr);
}

// Every system of the example landscape: identity, release and offset, and
// the exact lines of a call that went well.
struct SystemInfoCase {
  const char* system;
  const char* systemId;
  const char* dbHost;
  const char* release;
  int offset;
  bool daylight;
};

TEST_F(RfcSessionTest, SystemInfoOfEveryExampleSystem) {
  const std::vector<SystemInfoCase> cases = {
      // RFCTZONE 3600 with a lower-case daylight flag: 7200 s.
      {"T31", "T31", "dbt31", "31I", 7200, true},
      {"T40", "T40", "dbt40", "40B", -18000, false},
      {"T45", "T45", "sapt45", "45B", 0, false},
      {"T46", "T46", "dbt46", "46C", 7200, true},
      {"T4D", "T4D", "dbt4d", "46D", 19800, false},
      // A database host with dots is whole; "1" is a daylight flag too.
      {"T62", "T62", "dbt62.example.net", "620", 36000, true},
      {"T70", "T70", "dbt70", "700", -21600, true},
  };
  for (const SystemInfoCase& c : cases) {
    SCOPED_TRACE(c.system);
    const size_t mark = TraceLines().size();
    ASSERT_EQ(Open(c.system), 0);
    ASSERT_EQ(statiCallRfcSystemInfo(), 0);
    EXPECT_EQ(statiRfcSession().systemId, c.systemId);
    EXPECT_EQ(statiRfcSession().dbHost, c.dbHost);
    EXPECT_EQ(statiRfcSession().release, c.release);
    EXPECT_EQ(statiState().remoteOffsetSeconds, c.offset);
    Lines expected = WaitTimeLines() +
                     Lines{"rfcRc <0> from ListenForRfcResponse()", "rfcRc <0> from rfcReceive()"};
    if (c.daylight) expected.push_back("determined daylight saving at remote host");
    expected.push_back("total offset to UTC of remote host is <" + std::to_string(c.offset / 60) +
                       "> min");
    EXPECT_EQ(TraceLinesFrom(mark), expected);
    statiRfcClose();
  }
}

TEST_F(RfcSessionTest, LowerCaseDaylightFlagAddsAnHour) {
  ASSERT_EQ(Open("T31"), 0);
  ASSERT_EQ(statiCallRfcSystemInfo(), 0);
  EXPECT_EQ(statiState().remoteOffsetSeconds, 7200);
  const Lines lines = TraceLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "determined daylight saving at remote host");
  EXPECT_EQ(lines.back(), "total offset to UTC of remote host is <120> min");
}

TEST_F(RfcSessionTest, SystemIdIsUpperCased) {
  std::string text;
  ASSERT_EQ(zmo::ReadWholeFile(FixtureDir() + "/T46.sys", &text), 0);
  const size_t at = text.find("sysid = T46");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 11, "sysid = t4x");
  const std::string dir = (env_.dir() / "lower").string();
  std::filesystem::create_directories(dir);
  ASSERT_EQ(zmo::WriteFileAtomic(dir + "/T46.sys", text), 0);
  UseLandscape(dir);
  ASSERT_EQ(Open("T46"), 0);
  ASSERT_EQ(statiCallRfcSystemInfo(), 0);
  EXPECT_EQ(statiRfcSession().systemId, "T4X");
}

// A failed call leaves the session without identity and the offset at 0,
// and says why.
struct FailureCase {
  const char* name;
  const char* behaviour;  // of RFC_SYSTEM_INFO
  Lines trace;            // the lines after the wait-time lines
};

TEST_F(RfcSessionTest, FailedSystemInfoCallsFailTheServer) {
  const std::vector<FailureCase> cases = {
      {"the call is refused", "call_rc = 1", {"unknown rfc rc"}},
      {"the call raises", "call_rc = 2", {"rfc error occurred", "operation/code <>"}},
      {"the connection breaks while waiting",
       "delay_ms = 100\nlisten_rc = 1",
       {"ListenForRfcResponse() terminated because of unknown RfcRc <1>",
        "rfcRc <1> from ListenForRfcResponse()", "rfcRc <1> from ListenForRfcResponse()",
        "rfc error occurred", "operation/code <>"}},
      {"an exception",
       "exception = NOT_AUTHORIZED",
       {"rfcRc <0> from ListenForRfcResponse()", "rfc error occurred",
        "operation/code <NOT_AUTHORIZED>"}},
      {"a system exception",
       "sys_exception = SYSTEM_FAILURE",
       {"rfcRc <0> from ListenForRfcResponse()", "rfc error occurred",
        "operation/code <SYSTEM_FAILURE>"}},
      // The receive fails without an exception: nothing was filled, so the
      // server fails rather than being read from an empty record.
      {"the receive fails",
       "absent = yes",
       {"rfcRc <0> from ListenForRfcResponse()", "rfcRc <1> from rfcReceive()",
        "rfc error occurred", "operation/code <>"}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    OwnLandscape("T46", std::string("[function RFC_SYSTEM_INFO]\n") + c.behaviour);
    ASSERT_EQ(Open("T46"), 0);
    const size_t mark = TraceLines().size();
    EXPECT_EQ(statiCallRfcSystemInfo(), 1);
    EXPECT_EQ(statiRfcSession().release, "");
    EXPECT_EQ(statiRfcSession().systemId, "");
    EXPECT_EQ(statiState().remoteOffsetSeconds, 0);
    Lines got;
    for (const std::string& line : TraceLinesFrom(mark)) {
      // Only the handler's first two lines name this failure; the error
      // fields after them come from the library.
      if (line.rfind("key <", 0) == 0 || line.rfind("status <", 0) == 0 ||
          line.rfind("message <", 0) == 0 || line.rfind("internal status <", 0) == 0) {
        continue;
      }
      got.push_back(line);
    }
    const bool waited = std::string(c.behaviour).rfind("call_rc", 0) != 0;
    EXPECT_EQ(got, (waited ? WaitTimeLines() : Lines{}) + c.trace);
    statiRfcClose();
  }
}

TEST_F(RfcSessionTest, ExceptionNameIsKept) {
  OwnLandscape("T46", "[function RFC_SYSTEM_INFO]\nexception = NOT_AUTHORIZED");
  ASSERT_EQ(Open("T46"), 0);
  EXPECT_EQ(statiCallRfcSystemInfo(), 1);
  EXPECT_EQ(statiRfcSession().exception, "NOT_AUTHORIZED");
  const Lines lines = TraceLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 4], "key <NOT_AUTHORIZED>");
  EXPECT_EQ(lines[lines.size() - 3], "status <RfcReceive>");
}

TEST_F(RfcSessionTest, StopBeforeTheCallSendsNothing) {
  ASSERT_EQ(Open("T46"), 0);
  SetDisconnect(1);
  EXPECT_EQ(statiCallRfcSystemInfo(), 28);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(statiRfcSession().release, "");
}

// A stop while the answer is awaited: the call fails and the caller finds
// the flag set.
TEST_F(RfcSessionTest, StopDuringTheWait) {
  OwnLandscape("T46", "[function RFC_SYSTEM_INFO]\ndelay_ms = 60000");
  ASSERT_EQ(Open("T46"), 0);
  const std::int64_t stop_ms = kStartMs + 20000;
  clock_->SetAdvanceHook([stop_ms](std::int64_t now) {
    if (now >= stop_ms) SetDisconnect(1);
  });
  const size_t mark = TraceLines().size();
  EXPECT_EQ(statiCallRfcSystemInfo(), 1);
  clock_->SetAdvanceHook(nullptr);
  EXPECT_LE(zmo::ClockNowMillis() - stop_ms, 50);
  EXPECT_TRUE(zmo::DisconnectFlag());
  EXPECT_EQ(TraceLinesFrom(mark),
            WaitTimeLines() + Lines({"ListenForRfcResponse() shutting down",
                                     "ListenForRfcResponse() shutting down"}));
  EXPECT_EQ(statiRfcSession().release, "");
}

TEST_F(RfcSessionTest, UnreadableWaitTimeKeepsTheLastOne) {
  // The configuration key is gone altogether: the reader cannot open it.
  HKEY root = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Velmar", 0, KEY_ALL_ACCESS, &root),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteKeyA(root, "Monitoring for Orvane"), ERROR_SUCCESS);
  RegCloseKey(root);
  statiState().rfcTimeoutSeconds = 2;
  OwnLandscape("T46", "[function RFC_SYSTEM_INFO]\ndelay_ms = 10000");
  ASSERT_EQ(Open("T46"), 0);
  EXPECT_EQ(statiCallRfcSystemInfo(), 1);
  EXPECT_EQ(TraceLinesStarting("statiGetWaitTime"), Lines{"statiGetWaitTime() failed."});
  EXPECT_EQ(TraceLinesStarting("ListenForRfcResponse() terminated"),
            Lines{"ListenForRfcResponse() terminated because of RFC timeout"});
  EXPECT_EQ(zmo::ClockNowMillis() - kStartMs, 3000);
}

}  // namespace
