// Release selection: the layout a server's release resolves to, and the
// tables and call that follow from it for every system of the example
// landscape (the rule itself: tests/common/sap_layouts_test.cpp).

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "common/sap_layouts.h"
#include "rfc_test_env.h"

using namespace zmo::stati;

namespace {

using namespace stati_rfc_test;
using Lines = std::vector<std::string>;
using ::testing::Ge;
using ::testing::SizeIs;
using zmo::sap::StatLayout;

class RfcReleaseTest : public StatiRfcTest {};

// Per example system: the release it reports, the line sizes of its two
// tables, and the table lengths the read call sends.
struct SystemCase {
  const char* system;
  const char* release;
  StatLayout layout;
  unsigned batchLine;
  unsigned normalLine;
};

TEST_F(RfcReleaseTest, EveryExampleSystemGetsItsReleasesTables) {
  const std::vector<SystemCase> cases = {
      {"T31", "31I", StatLayout::k3, 504, 512},   {"T40", "40B", StatLayout::k4, 576, 640},
      {"T45", "45B", StatLayout::k45B, 576, 640}, {"T46", "46C", StatLayout::k46C, 576, 672},
      {"T4D", "46D", StatLayout::k46C, 576, 672}, {"T62", "620", StatLayout::k610, 528, 632},
  };
  for (const SystemCase& c : cases) {
    SCOPED_TRACE(c.system);
    zmo::rfc::SimClearCallLog();
    Prepare(c.system);
    const StatiRfcSession& s = statiRfcSession();
    ASSERT_EQ(s.release, c.release);
    EXPECT_EQ(s.layout, c.layout);
    ASSERT_NE(s.batchTable, ITAB_NULL);
    ASSERT_NE(s.normalTable, ITAB_NULL);
    EXPECT_EQ(ItLeng(s.batchTable), c.batchLine);
    EXPECT_EQ(ItLeng(s.normalTable), c.normalLine);

    ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
    const auto calls = Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().function, "SAPWL_STATREC_READ_FILE");
    EXPECT_EQ(calls.back().result, RFC_OK);
    EXPECT_EQ(calls.back().tables, (Lines{"V2_BTC_STEP_RECORDS/" + std::to_string(c.batchLine),
                                          "V2_NORMAL_RECORDS/" + std::to_string(c.normalLine)}));
    // Each example system holds two job steps and three normal steps in the
    // interval; the lines are in the release's layout.
    ASSERT_EQ(ItFill(s.batchTable), 2);
    ASSERT_EQ(ItFill(s.normalTable), 3);
    const auto* layout = zmo::sap::FindLayout(zmo::sap::kNormalStructure, c.layout);
    ASSERT_NE(layout, nullptr);
    const auto* end_date = zmo::sap::FindField(layout, "ENDDATE");
    ASSERT_NE(end_date, nullptr);
    const char* line = static_cast<const char*>(ItGetLine(s.normalTable, 1));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(std::string(line + end_date->offset, 8), "20240304");

    statiRfcClose();
    statiDeleteRfcTables();
    EXPECT_EQ(s.batchTable, ITAB_NULL);
    EXPECT_EQ(s.normalTable, ITAB_NULL);
  }
}

TEST_F(RfcReleaseTest, VersionIsTracedBeforeTheRead) {
  Prepare("T4D");
  const size_t mark = TraceLines().size();
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  EXPECT_EQ(TraceLinesFrom(mark),
            (Lines{"statiServer.Version=<46D>"} + WaitTimeLines() +
             Lines{"rfcRc <0> from ListenForRfcResponse()", "rfcRc <0> from rfcReceive()"}));
}

// Release 700 has no layout: no tables, a read without tables, and the
// server still counts as done.
TEST_F(RfcReleaseTest, UnrecognisedReleaseReadsWithoutTables) {
  ASSERT_EQ(Open("T70"), 0);
  ASSERT_EQ(statiCallRfcSystemInfo(), 0);
  ASSERT_EQ(statiRfcSession().release, "700");
  EXPECT_FALSE(statiRfcSession().layout);
  size_t mark = TraceLines().size();
  EXPECT_EQ(statiCreateRfcTables(), 0);
  EXPECT_EQ(statiRfcSession().batchTable, ITAB_NULL);
  EXPECT_EQ(statiRfcSession().normalTable, ITAB_NULL);
  Lines trace = TraceLinesFrom(mark);
  ASSERT_THAT(trace, SizeIs(Ge(2u)));
  EXPECT_EQ(trace[0], "rfc error occurred");
  EXPECT_EQ(trace[1], "operation/code <unrecognized SAP level encountered>");

  ASSERT_EQ(statiRfcInstallStructures(), 0);
  mark = TraceLines().size();
  EXPECT_EQ(statiCallSapwlStatrecReadFile(), 0);
  trace = TraceLinesFrom(mark);
  ASSERT_THAT(trace, SizeIs(Ge(3u)));
  EXPECT_EQ(trace[0], "statiServer.Version=<700>");
  EXPECT_EQ(trace[1], "rfc error occurred");
  EXPECT_EQ(trace[2], "operation/code <unrecognized SAP level encountered>");
  EXPECT_EQ(trace.back(), "rfcRc <0> from rfcReceive()");
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].function, "SAPWL_STATREC_READ_FILE");
  EXPECT_TRUE(calls[1].tables.empty());
}

// A server of an unrecognised release after one with tables: the old
// tables are not kept for it.
TEST_F(RfcReleaseTest, UnrecognisedReleaseKeepsNoTablesOfTheServerBefore) {
  Prepare("T46");
  ASSERT_NE(statiRfcSession().batchTable, ITAB_NULL);
  statiRfcClose();
  ASSERT_EQ(Open("T70"), 0);
  ASSERT_EQ(statiCallRfcSystemInfo(), 0);
  EXPECT_EQ(statiCreateRfcTables(), 0);
  EXPECT_EQ(statiRfcSession().batchTable, ITAB_NULL);
  EXPECT_EQ(statiRfcSession().normalTable, ITAB_NULL);
}

}  // namespace
