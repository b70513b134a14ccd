// SAPWL_STATREC_READ_FILE: the remote interval, the tables the record
// switches ask for, and the wait for the answer with its time-out and the
// stop request.

#include <string>
#include <utility>
#include <vector>

#include "rfc_test_env.h"

using namespace zmo::stati;

namespace {

using namespace stati_rfc_test;
using Lines = std::vector<std::string>;

class RfcStatrecReadTest : public StatiRfcTest {
 protected:
  // The read call the system received last.
  static zmo::rfc::SimLogEntry LastRead() {
    const auto calls = Calls();
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->function == "SAPWL_STATREC_READ_FILE") return *it;
    }
    ADD_FAILURE() << "no read call";
    return {};
  }
};

TEST_F(RfcStatrecReadTest, SendsTheRemoteInterval) {
  Prepare("T46");
  StatiTestEnv::Fill(&statiState().remote, "20240304", "100001", "20240304", "110000");
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  const std::vector<std::pair<std::string, std::string>> sent = {
      {"READ_END_DATE", "20240304"},   {"READ_END_TIME", "110000"},
      {"READ_START_DATE", "20240304"}, {"READ_START_TIME", "100001"},
      {"READ_CONTINUE_RECORDNO", "0"},
  };
  EXPECT_EQ(LastRead().values, sent);
}

TEST_F(RfcStatrecReadTest, TakesOnlyTheRecordsOfTheInterval) {
  Prepare("T46");
  // The first half hour holds the probe records of both kinds and the
  // dialog step that ends at 10:30:00.
  StatiTestEnv::Fill(&statiState().remote, "20240304", "100001", "20240304", "103000");
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  EXPECT_EQ(ItFill(statiRfcSession().batchTable), 1);
  EXPECT_EQ(ItFill(statiRfcSession().normalTable), 2);
}

// The record switches of the settings decide which tables go with the call;
// both switched off, the call carries none.
struct FlagCase {
  int batch;
  int normal;
  Lines tables;
  int batchLines;
  int normalLines;
};

TEST_F(RfcStatrecReadTest, RecordSwitchesChooseTheTables) {
  const std::vector<FlagCase> cases = {
      {1, 1, {"V2_BTC_STEP_RECORDS/576", "V2_NORMAL_RECORDS/672"}, 2, 3},
      {1, 0, {"V2_BTC_STEP_RECORDS/576"}, 2, 0},
      {0, 1, {"V2_NORMAL_RECORDS/672"}, 0, 3},
      {0, 0, {}, 0, 0},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "batch " << c.batch << ", normal " << c.normal);
    statiState().settings.batchFlag = c.batch;
    statiState().settings.normalFlag = c.normal;
    Prepare("T46");
    ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
    EXPECT_EQ(LastRead().tables, c.tables);
    EXPECT_EQ(ItFill(statiRfcSession().batchTable), c.batchLines);
    EXPECT_EQ(ItFill(statiRfcSession().normalTable), c.normalLines);
    statiRfcClose();
    statiDeleteRfcTables();
  }
}

// RetrievalWait in minutes against the answer's delay: an answer in the
// time-out's last second is taken, a later one fails the server with 116.
struct WaitCase {
  const char* name;
  const char* retrievalWait;
  int delay_ms;
  int rc;
  std::int64_t ends_ms;  // after the call was sent
};

TEST_F(RfcStatrecReadTest, AnswerWithinTheTimeOutIsTakenLaterOneEndsWith116) {
  const std::vector<WaitCase> cases = {
      {"in the 300th second", "5", 300990, 0, 301000},
      {"after 301 s", "5", 301010, 1, 301000},
      {"after 61 s with one minute", "1", 61010, 1, 61000},
      {"a slow answer with ten minutes", "10", 590000, 0, 590000},
  };
  for (const WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    StatiTestEnv::Set("RetrievalWait", c.retrievalWait);
    OwnLandscape("T46",
                 "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = " + std::to_string(c.delay_ms));
    Prepare("T46");
    const size_t mark = TraceLines().size();
    const std::int64_t sent_ms = zmo::ClockNowMillis();
    EXPECT_EQ(statiCallSapwlStatrecReadFile(), c.rc);
    EXPECT_EQ(zmo::ClockNowMillis() - sent_ms, c.ends_ms);
    const Lines trace = TraceLinesFrom(mark);
    const std::string seconds = std::to_string(std::stoi(c.retrievalWait) * 60);
    const Lines wait = {"statiServer.Version=<46C>",
                        std::string("found value <") + c.retrievalWait +
                            "> of <RetrievalWait> of subkey <" + StatiTestEnv::KeyPath() + ">",
                        "Retrieval wait time set to <" + seconds + ">"};
    if (c.rc == 0) {
      EXPECT_EQ(trace, (wait + Lines{"rfcRc <0> from ListenForRfcResponse()",
                                     "rfcRc <0> from rfcReceive()"}));
      EXPECT_EQ(ItFill(statiRfcSession().normalTable), 3);
    } else {
      EXPECT_EQ(trace, (wait + Lines{"ListenForRfcResponse() terminated because of RFC timeout",
                                     "rfcRc <116> from ListenForRfcResponse()",
                                     "rfcRc <116> from ListenForRfcResponse()",
                                     "rfc error occurred", "operation/code <>", "key <>",
                                     "status <>", "message <>", "internal status <> "}));
      EXPECT_EQ(ItFill(statiRfcSession().normalTable), 0);
    }
    statiRfcClose();
    statiDeleteRfcTables();
  }
}

// A stop request at any moment of a long wait: the wait ends with 28 at the
// next poll, the read fails, and the caller finds the flag set.
TEST_F(RfcStatrecReadTest, StopDuringTheWaitEndsItWithinOnePoll) {
  OwnLandscape("T46", "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = 200000");
  for (std::int64_t stop_after : {1, 50, 77, 150000}) {
    SCOPED_TRACE(stop_after);
    SetDisconnect(0);
    Prepare("T46");
    const std::int64_t stop_ms = zmo::ClockNowMillis() + stop_after;
    clock_->SetAdvanceHook([stop_ms](std::int64_t now) {
      if (now >= stop_ms) SetDisconnect(1);
    });
    const size_t mark = TraceLines().size();
    EXPECT_EQ(statiCallSapwlStatrecReadFile(), 1);
    clock_->SetAdvanceHook(nullptr);
    EXPECT_GE(zmo::ClockNowMillis(), stop_ms);
    EXPECT_LE(zmo::ClockNowMillis() - stop_ms, 50);
    EXPECT_TRUE(zmo::DisconnectFlag());
    EXPECT_EQ(TraceLinesFrom(mark), (Lines{"statiServer.Version=<46C>"} + WaitTimeLines() +
                                     Lines{"ListenForRfcResponse() shutting down",
                                           "ListenForRfcResponse() shutting down"}));
    EXPECT_EQ(ItFill(statiRfcSession().normalTable), 0);
    statiRfcClose();
    statiDeleteRfcTables();
  }
}

TEST_F(RfcStatrecReadTest, ListenEndsWith28WithinOnePoll) {
  OwnLandscape("T46", "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = 200000");
  Prepare("T46");
  RFC_TABLE none[] = {{nullptr, 0, 0, 0, ITAB_NULL, RFC_ITMODE_BYREFERENCE, 0}};
  char date[] = "20240304", start[] = "100001", end[] = "110000";
  RFC_PARAMETER exporting[] = {{"READ_START_DATE", 0, TYPDATE, 8, date},
                               {"READ_START_TIME", 0, TYPTIME, 6, start},
                               {"READ_END_DATE", 0, TYPDATE, 8, date},
                               {"READ_END_TIME", 0, TYPTIME, 6, end},
                               {nullptr, 0, 0, 0, nullptr}};
  ASSERT_EQ(RfcCall(statiRfcSession().handle, "SAPWL_STATREC_READ_FILE", exporting, none), RFC_OK);
  const std::int64_t stop_ms = zmo::ClockNowMillis() + 4321;
  clock_->SetAdvanceHook([stop_ms](std::int64_t now) {
    if (now >= stop_ms) SetDisconnect(1);
  });
  EXPECT_EQ(zmo::ListenForRfcResponse(statiRfcSession().handle, kStatiAnswerWait), 28);
  clock_->SetAdvanceHook(nullptr);
  EXPECT_LE(zmo::ClockNowMillis() - stop_ms, 50);
}

TEST_F(RfcStatrecReadTest, StopBeforeTheCallSendsNothing) {
  Prepare("T46");
  zmo::rfc::SimClearCallLog();
  SetDisconnect(1);
  EXPECT_EQ(statiCallSapwlStatrecReadFile(), 28);
  EXPECT_TRUE(Calls().empty());
}

// Failures of the answer: each fails the server, and nothing received is
// left in the tables.
struct AnswerFault {
  const char* name;
  const char* behaviour;
  Lines lines;  // the lines after "rfcRc <0> from ListenForRfcResponse()"
};

TEST_F(RfcStatrecReadTest, FailedAnswerFailsTheServer) {
  const std::vector<AnswerFault> cases = {
      {"a table that does not arrive",
       "table_fault = V2_NORMAL_RECORDS",
       {"rfcRc <1> from rfcReceive()", "rfc error occurred", "operation/code <>"}},
      {"an exception",
       "exception = NO_DATA_FOUND",
       {"rfc error occurred", "operation/code <NO_DATA_FOUND>"}},
      {"a system exception",
       "sys_exception = SYSTEM_FAILURE",
       {"rfc error occurred", "operation/code <SYSTEM_FAILURE>"}},
  };
  for (const AnswerFault& c : cases) {
    SCOPED_TRACE(c.name);
    OwnLandscape("T46", std::string("[function SAPWL_STATREC_READ_FILE]\n") + c.behaviour);
    Prepare("T46");
    EXPECT_EQ(statiCallSapwlStatrecReadFile(), 1);
    Lines after = TraceLines();
    size_t at = after.size();
    for (size_t i = 0; i < after.size(); ++i) {
      if (after[i] == "rfcRc <0> from ListenForRfcResponse()") at = i + 1;
    }
    after.erase(after.begin(), after.begin() + std::min(at, after.size()));
    ASSERT_GE(after.size(), c.lines.size());
    after.resize(c.lines.size());
    EXPECT_EQ(after, c.lines);
    EXPECT_EQ(ItFill(statiRfcSession().batchTable), 0);
    EXPECT_EQ(ItFill(statiRfcSession().normalTable), 0);
    statiRfcClose();
    statiDeleteRfcTables();
  }
}

TEST_F(RfcStatrecReadTest, RefusedCallFailsTheServer) {
  OwnLandscape("T46", "[function SAPWL_STATREC_READ_FILE]\ncall_rc = 1");
  Prepare("T46");
  EXPECT_EQ(statiCallSapwlStatrecReadFile(), 1);
  EXPECT_EQ(TraceLines().back(), "unknown rfc rc");
}

}  // namespace
