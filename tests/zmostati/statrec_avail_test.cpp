// The availability line of each server (statiWriteAvailRecord) and the
// shared AvailRecord writer under it.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/availability.h"
#include "platform/clock.h"
#include "statrec_test_util.h"
#include "tz_guard.h"
#include "zmo_test/matchers.h"
#include "zmostati/collect.h"
#include "zmostati/rfc_session.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

// 2024-02-01 12:34:56 UTC; 13:34:56 in Central Europe.
std::int64_t StampMillis() {
  std::tm tm{};
  tm.tm_year = 124;
  tm.tm_mon = 1;
  tm.tm_mday = 1;
  tm.tm_hour = 12;
  tm.tm_min = 34;
  tm.tm_sec = 56;
  return static_cast<std::int64_t>(timegm(&tm)) * 1000;
}

class StatrecAvailTest : public statrec_test::StatrecTest {
 protected:
  void SetUp() override {
    StatrecTest::SetUp();
    statiResetRfcSession();
    StatiCollectRun& run = statiState().collect;
    run.server.sid = "S01";
    run.server.sysnr = 0;
    run.host = "app1.example.net";
    run.shortHost = "app1";
    statiRfcSession().systemId = "PRD";
    statiRfcSession().dbHost = "db1";
  }
  void TearDown() override {
    statiResetRfcSession();
    StatrecTest::TearDown();
  }

  // What statiWriteAvailRecord appends, with *rc its result.
  std::string Written(int* rc = nullptr) {
    char* data = nullptr;
    size_t size = 0;
    StatiCollectRun& run = statiState().collect;
    run.availFile = open_memstream(&data, &size);
    const int result = statiWriteAvailRecord();
    if (rc != nullptr) *rc = result;
    std::fclose(run.availFile);
    run.availFile = nullptr;
    std::string out(data, size);
    std::free(data);
    return out;
  }

  ScopedTz tz_{kCentralEurope};
  zmo::ScopedFakeClock clock_{StampMillis()};
};

// The destination takes the SID of the server line, the label the system
// id the system gave; the stamp is the local time of writing.
TEST_F(StatrecAvailTest, EachKindWritesItsLine) {
  struct Case {
    zmo::DbKind kind;
    bool failed;
    const char* line;
  };
  const Case cases[] = {
      {zmo::DbKind::kOracle, false,
       "app1_S01_00         "
       "app1.example.net              "
       "PRD_db1                           "
       "S01"
       "20240201133456"
       "1"
       "\r\n"},
      {zmo::DbKind::kOracle, true,
       "app1_S01_00         "
       "app1.example.net              "
       "NOT_KNOWN                         "
       "S01"
       "20240201133456"
       "0"
       "\r\n"},
      {zmo::DbKind::kCorva, false,
       "\"app1_S01_00\",\"app1.example.net\",\"PRD_db1\",\"S01\",2024-02-01-13.34.56.000000,1\r\n"},
      {zmo::DbKind::kCorva, true,
       "\"app1_S01_00\",\"app1.example.net\",\"NOT_KNOWN\",\"S01\",2024-02-01-13.34.56.000000,"
       "0\r\n"},
      {zmo::DbKind::kMssql, false,
       "app1_S01_00,app1.example.net,PRD_db1,S01,02-01-2024 13:34:56,1\r\n"},
      {zmo::DbKind::kSybase, true,
       "app1_S01_00,app1.example.net,NOT_KNOWN,S01,02-01-2024 13:34:56,0\r\n"},
      {zmo::DbKind::kTessel, false,
       "app1_S01_00,app1.example.net,PRD_db1,S01,2024-02-01 13:34:56,1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "kind " << zmo::dbKindName(c.kind) << " failed " << c.failed);
    zmo::setDatabaseKind(c.kind);
    statiState().collect.failed = c.failed;
    int rc = -1;
    EXPECT_EQ(Written(&rc), c.line);
    EXPECT_EQ(rc, 0);
  }
}

// The Oracle line keeps its 102 columns: texts longer than their column are
// cut, and the cut is traced once in a pass.
TEST_F(StatrecAvailTest, OracleLineKeepsItsColumns) {
  StatiCollectRun& run = statiState().collect;
  run.host = "a-very-long-host-name-of-forty-characters";
  run.shortHost = "a-very-long-host-name-of-forty-characters";
  statiRfcSession().dbHost = "database-host-with-a-32-char-name";
  const std::string want =
      "a-very-long-host-nam"
      "a-very-long-host-name-of-forty"
      "PRD_database-host-with-a-32-char-n"
      "S01"
      "20240201133456"
      "1"
      "\r\n";
  EXPECT_EQ(Written(), want);
  EXPECT_EQ(Written(), want);
  const std::string note =
      "statiWriteAvailRecord() a text longer than its Oracle column was cut to fit\n";
  const std::string trace = env_.Trace();
  ASSERT_THAT(trace, HasText(note));
  EXPECT_EQ(trace.find(note), trace.rfind(note));
  // Not cut in the comma-separated forms.
  zmo::setDatabaseKind(zmo::DbKind::kTessel);
  EXPECT_EQ(Written(),
            "a-very-long-host-name-of-forty-characters_S01_00,a-very-long-host-name-of-forty-"
            "characters,PRD_database-host-with-a-32-char-name,S01,2024-02-01 13:34:56,1\r\n");
}

TEST_F(StatrecAvailTest, NoOpenFileIsAFailure) {
  EXPECT_EQ(statiWriteAvailRecord(), 1);
  EXPECT_THAT(env_.Trace(), HasText("statiWriteAvailRecord() no open availability file\n"));
}

// The shared writer: a stamp without a form writes nothing.
TEST_F(StatrecAvailTest, StampWithoutAFormWritesNothing) {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* f = open_memstream(&data, &size);
  zmo::AvailLine line;
  line.stamp.tm_year = 10000 - 1900;
  int cut = -1;
  EXPECT_EQ(zmo::writeAvailLine(f, zmo::DatabaseKind(), line, &cut), 1);
  line.stamp.tm_year = 124;
  EXPECT_EQ(zmo::writeAvailLine(f, zmo::DbKind::kNone, line, nullptr), 1);
  std::fclose(f);
  EXPECT_EQ(size, 0u);
  std::free(data);
}

TEST(StatrecSystemFields, DestinationAndLabelAreCutToTheirBuffer) {
  char out[12];
  EXPECT_EQ(zmo::formatRfcDestination(out, sizeof out, "app1", "S01", 7), 11);
  EXPECT_STREQ(out, "app1_S01_07");
  EXPECT_EQ(zmo::formatRfcDestination(out, sizeof out, "appserver1", "S01", 7), 11);
  EXPECT_STREQ(out, "appserver1_");
  EXPECT_EQ(zmo::formatSystemLabel(out, sizeof out, "PRD", "db1"), 7);
  EXPECT_STREQ(out, "PRD_db1");
  EXPECT_EQ(zmo::formatSystemLabel(out, 0, "PRD", "db1"), 0);
}

}  // namespace
