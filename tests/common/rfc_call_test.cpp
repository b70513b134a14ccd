// The shared call-and-wait: RfcCall, then RfcListen polled every 50 ms on
// the clock seam until the answer, the time-out or a stop request.

#include "common/rfc_call.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/service_control.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "rfc/saprfc.h"
#include "rfc/simulator.h"
#include "test_support.h"

namespace {

using ::testing::IsEmpty;
using zmo_test::TempDir;

constexpr std::int64_t kStartMs = 1709553600000;  // 2024-03-04 12:00:00 UTC

// One system; the behaviour of RFC_SYSTEM_INFO is appended per test.
constexpr const char* kSystem =
    "[logon]\n"
    "host = app1.example.net\n"
    "sysnr = 00\n"
    "client = 100\n"
    "user = MONUSER\n"
    "password = Secret1\n"
    "\n"
    "[system_info]\n"
    "sysid = S01\n"
    "dbhost = db1\n"
    "release = 46C\n"
    "tzone = 3600\n"
    "\n";

int g_timeout_seconds = 300;
int g_timeout_asks = 0;
int TestTimeout() {
  ++g_timeout_asks;
  return g_timeout_seconds;
}

void SetDisconnect(int on) { zmo::Runtime().service.disconnect.store(on); }

class RfcCallTest : public zmo_test::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    zmo::rfc::SimReset();
    setenv(zmo::rfc::kSystemsEnv, landscape_.path().c_str(), 1);
    g_timeout_seconds = 300;
    g_timeout_asks = 0;
    wait_.timeout_seconds = TestTimeout;
  }
  void TearDown() override {
    RfcEnvironment(nullptr);
    zmo::rfc::SimReset();
    unsetenv(zmo::rfc::kSystemsEnv);
    RuntimeTest::TearDown();
  }

  // The system, with this behaviour of RFC_SYSTEM_INFO, and a connection.
  void Connect(const std::string& behaviour) {
    std::string text = kSystem;
    if (!behaviour.empty()) text += "[function RFC_SYSTEM_INFO]\n" + behaviour + "\n";
    ASSERT_EQ(zmo::WriteFileAtomic(landscape_.File("S01.sys"), text), 0);
    zmo::rfc::SimReset();
    RFC_CONNOPT_R3ONLY connection = {"app1.example.net", 0, nullptr, nullptr};
    RFC_OPTIONS options = {};
    options.destination = "S01";
    options.mode = RFC_MODE_R3ONLY;
    options.connopt = &connection;
    options.client = "100";
    options.user = "MONUSER";
    options.password = "Secret1";
    options.language = "E";
    handle_ = RfcOpen(&options);
    ASSERT_NE(handle_, RFC_HANDLE_NULL);
  }
  // Sends RFC_SYSTEM_INFO and notes when.
  void Send() {
    ASSERT_EQ(RfcCall(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr), RFC_OK);
    sent_ms_ = zmo::ClockNowMillis();
  }
  std::int64_t Elapsed() const { return zmo::ClockNowMillis() - sent_ms_; }

  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const auto& e : zmo::rfc::SimCallLog()) {
      if (e.event == "call") calls.push_back(e.function);
    }
    return calls;
  }

  TempDir landscape_;
  zmo::ScopedFakeClock clock_{kStartMs};
  zmo::RfcWaitSpec wait_;
  RFC_HANDLE handle_ = RFC_HANDLE_NULL;
  std::int64_t sent_ms_ = 0;
};

// When the answer comes, against the time-out: an answer is taken until a
// poll finds none after more than the time-out's whole seconds. The polls
// fall on every 50 ms after the call, so the wait ends on the first poll at
// or after the answer, or on the first poll past the time-out's last second.
struct WaitCase {
  const char* name;
  int delay_ms;
  int timeout_s;
  int rc;
  std::int64_t ends_ms;
  std::vector<std::string> trace;
};

TEST_F(RfcCallTest, AnswerWithinTheTimeOutIsTakenOneAfterItEndsWith116) {
  const std::string timeout = "ListenForRfcResponse() terminated because of RFC timeout";
  const std::vector<WaitCase> cases = {
      {"at once", 0, 300, 0, 50, {}},
      {"between two polls", 120, 300, 0, 150, {}},
      {"at the time-out", 300000, 300, 0, 300000, {}},
      {"in the second after it", 300990, 300, 0, 301000, {}},
      {"just past that second", 301010, 300, 116, 301000, {timeout}},
      {"an hour late", 3600000, 300, 116, 301000, {timeout}},
      {"61 s against 60 s", 61010, 60, 116, 61000, {timeout}},
      {"time-out of 0", 990, 0, 0, 1000, {}},
      {"late against 0", 1010, 0, 116, 1000, {timeout}},
  };
  for (const WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    Connect("delay_ms = " + std::to_string(c.delay_ms));
    g_timeout_seconds = c.timeout_s;
    Send();
    EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), c.rc);
    EXPECT_EQ(Elapsed(), c.ends_ms);
    EXPECT_EQ(TraceTexts(), c.trace);
  }
}

TEST_F(RfcCallTest, TimeOutIsAskedOnceAtTheStartOfEveryWait) {
  Connect("delay_ms = 10000");
  Send();
  ASSERT_EQ(zmo::ListenForRfcResponse(handle_, wait_), 0);
  EXPECT_EQ(g_timeout_asks, 1);
  char* exception = nullptr;
  ASSERT_EQ(RfcReceive(handle_, nullptr, nullptr, &exception), RFC_OK);
  Send();
  ASSERT_EQ(zmo::ListenForRfcResponse(handle_, wait_), 0);
  EXPECT_EQ(g_timeout_asks, 2);
}

TEST_F(RfcCallTest, OtherListenResultIsTracedAndReturned) {
  Connect("delay_ms = 200\nlisten_rc = 6");
  Send();
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), RFC_CLOSED);
  EXPECT_EQ(Elapsed(), 200);
  EXPECT_EQ(TraceTexts(), std::vector<std::string>{
                              "ListenForRfcResponse() terminated because of unknown RfcRc <6>"});
}

TEST_F(RfcCallTest, OwnTraceTextsAreUsed) {
  wait_.timeout_trace = "waited too long\n";
  wait_.unknown_rc_trace = "listen gave %i\n";
  wait_.shutdown_trace = "ListenForRfcResponse:Disconnect detected, shutting down\n";
  g_timeout_seconds = 1;
  Connect("delay_ms = 5000");
  Send();
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), zmo::kRfcAnswerTimedOut);
  SetDisconnect(1);
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), zmo::kShutdownInProgress);
  SetDisconnect(0);
  Connect("delay_ms = 10\nlisten_rc = 1");
  Send();
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), RFC_FAILURE);
  EXPECT_EQ(TraceTexts(),
            (std::vector<std::string>{"waited too long",
                                      "ListenForRfcResponse:Disconnect detected, shutting down",
                                      "listen gave 1"}));
}

TEST_F(RfcCallTest, StopBeforeTheWaitEndsItAtOnce) {
  Connect("delay_ms = 10000");
  Send();
  SetDisconnect(1);
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), zmo::kShutdownInProgress);
  EXPECT_EQ(Elapsed(), 0);
  EXPECT_THAT(TraceTexts(), IsEmpty());  // no shutdown text given
}

// A stop request arriving at any moment of the wait ends it at the next
// poll at the latest: never later than 50 ms after the request.
TEST_F(RfcCallTest, StopDuringTheWaitEndsItWithinOnePoll) {
  for (std::int64_t stop_at : {1, 49, 50, 51, 12345, 299999}) {
    SCOPED_TRACE(stop_at);
    SetDisconnect(0);
    Connect("delay_ms = 600000");
    g_timeout_seconds = 900;
    Send();
    const std::int64_t stop_ms = sent_ms_ + stop_at;
    clock_->SetAdvanceHook([stop_ms](std::int64_t now) {
      if (now >= stop_ms) SetDisconnect(1);
    });
    EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), zmo::kShutdownInProgress);
    clock_->SetAdvanceHook(nullptr);
    EXPECT_GE(zmo::ClockNowMillis(), stop_ms);
    EXPECT_LE(zmo::ClockNowMillis() - stop_ms, zmo::kRfcPollMillis);
  }
}

// An answer that is there when the stop comes is not taken: the stop wins.
TEST_F(RfcCallTest, StopWinsOverAnAnswerThatIsThere) {
  Connect("delay_ms = 100");
  Send();
  clock_->SetAdvanceHook([this](std::int64_t now) {
    if (now >= sent_ms_ + 100) SetDisconnect(1);
  });
  EXPECT_EQ(zmo::ListenForRfcResponse(handle_, wait_), zmo::kShutdownInProgress);
  clock_->SetAdvanceHook(nullptr);
}

TEST_F(RfcCallTest, CallAndListenSendsAndWaits) {
  Connect("delay_ms = 250");
  zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
  const std::int64_t start = zmo::ClockNowMillis();
  EXPECT_EQ(zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step), 0);
  EXPECT_EQ(step, zmo::RfcCallStep::kListen);
  EXPECT_EQ(zmo::ClockNowMillis() - start, 250);
  EXPECT_EQ(Calls(), std::vector<std::string>{"RFC_SYSTEM_INFO"});
  char* exception = nullptr;
  EXPECT_EQ(RfcReceive(handle_, nullptr, nullptr, &exception), RFC_OK);
}

// A line asked for after the call is traced once the call went out and
// before the wait; a call that failed or never went out traces nothing.
TEST_F(RfcCallTest, CallAndListenTracesAfterTheCallBeforeTheWait) {
  struct Case {
    const char* config;
    bool stopped;
    std::vector<std::string> trace;
  } cases[] = {
      {"delay_ms = 9000",
       false,
       {"sent", "ListenForRfcResponse() terminated because of RFC timeout"}},
      {"", false, {"sent"}},
      {"call_rc = 1", false, {}},
      {"", true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.config);
    g_timeout_seconds = 2;
    Connect(c.config);
    SetDisconnect(c.stopped ? 1 : 0);
    const size_t before = TraceTexts().size();
    zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
    zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step, "sent\n");
    const std::vector<std::string> all = TraceTexts();
    EXPECT_EQ(std::vector<std::string>(all.begin() + before, all.end()), c.trace);
    SetDisconnect(0);
  }
}

TEST_F(RfcCallTest, CallAndListenGivesTheWaitsResult) {
  g_timeout_seconds = 2;
  Connect("delay_ms = 9000");
  zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
  EXPECT_EQ(zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step),
            zmo::kRfcAnswerTimedOut);
  EXPECT_EQ(step, zmo::RfcCallStep::kListen);
}

TEST_F(RfcCallTest, CallAndListenSendsNothingOnceStopped) {
  Connect("");
  SetDisconnect(1);
  zmo::RfcCallStep step = zmo::RfcCallStep::kListen;
  EXPECT_EQ(zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step),
            zmo::kShutdownInProgress);
  EXPECT_EQ(step, zmo::RfcCallStep::kStopped);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(g_timeout_asks, 0);
}

TEST_F(RfcCallTest, CallAndListenGivesAFailedCallsResult) {
  for (int call_rc : {1, 2, 3}) {
    SCOPED_TRACE(call_rc);
    Connect("call_rc = " + std::to_string(call_rc));
    zmo::RfcCallStep step = zmo::RfcCallStep::kStopped;
    EXPECT_EQ(zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step),
              call_rc);
    EXPECT_EQ(step, zmo::RfcCallStep::kCall);
    EXPECT_EQ(g_timeout_asks, 0);
  }
}

// A stop that comes while RfcCall runs (here: from the library's error
// handler, which RfcCall calls on its failure) is seen before its result.
TEST_F(RfcCallTest, CallAndListenSeesAStopThatCameDuringTheCall) {
  Connect("call_rc = 1");
  RFC_ENV env = {};
  env.errorhandler = [](const char*) { SetDisconnect(1); };
  RfcEnvironment(&env);
  zmo::RfcCallStep step = zmo::RfcCallStep::kListen;
  EXPECT_EQ(zmo::RfcCallAndListen(handle_, "RFC_SYSTEM_INFO", nullptr, nullptr, wait_, &step),
            zmo::kShutdownInProgress);
  EXPECT_EQ(step, zmo::RfcCallStep::kStopped);
  EXPECT_EQ(Calls(), std::vector<std::string>{"RFC_SYSTEM_INFO"});
}

}  // namespace
