// The record filter (ProcessStatiPrograms, ProcessStatiTransactions) and the
// column switches of the metric settings.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "statrec_test_util.h"

using namespace zmo::stati;

namespace {

using statrec_test::StandardLine;

class StatrecFilterTest : public statrec_test::StatrecTest {
 protected:
  // Whether a 3.x line with this T_CODE (4 characters) and CUA_PROG (8) is
  // written under the switches.
  bool Written(bool all, bool programs, bool transactions, const char* tcode, const char* program,
               bool batch = false) {
    std::fill(std::begin(metrics_), std::end(metrics_), false);
    metrics_[zmo::kSwStatiPrograms] = programs;
    metrics_[zmo::kSwStatiTransactions] = transactions;
    statrec_test::Line line = StandardLine("3", batch);
    line.Text("TCODE", tcode);
    if (!batch) line.Text("CUA_PROG", program);
    ITAB_H table = statrec_test::MakeTable("T", {line});
    StatiConvertJob job = Job("31I");
    job.allMetrics = all;
    job.batchFlag = batch;
    job.normalFlag = !batch;
    (batch ? job.batchTable : job.normalTable) = table;
    int rc = -1;
    const std::string out = Convert(job, &rc);
    EXPECT_EQ(rc, 0);
    ItDelete(table);
    return !out.empty();
  }
};

TEST_F(StatrecFilterTest, FilterTable) {
  struct Case {
    bool all, programs, transactions;
    const char* tcode;
    const char* program;
    bool batch;
    bool written;
  };
  const Case cases[] = {
      // ProcessQRBData: everything is written, whatever the switches.
      {true, true, true, "    ", "        ", false, true},
      {true, true, false, "VA01", "        ", true, true},
      // Neither switch: nothing is dropped.
      {false, false, false, "    ", "        ", false, true},
      // Programs: a blank program is dropped.
      {false, true, false, "VA01", "        ", false, false},
      {false, true, false, "    ", "SAPMV45A", false, true},
      // Transactions: a blank transaction is dropped unless programs are
      // collected too and the record has one.
      {false, false, true, "    ", "SAPMV45A", false, false},
      {false, false, true, "VA  ", "        ", false, true},
      {false, true, true, "    ", "SAPMV45A", false, true},
      {false, true, true, "    ", "        ", false, false},
      {false, true, true, "VA01", "SAPMV45A", false, true},
      // A transaction of blanks and a "+" is blank once the "+" is.
      {false, false, true, " +  ", "SAPMV45A", false, false},
      // Batch records have no program: all dropped when programs are
      // collected; with transactions alone the 3.x TCODE decides.
      {false, true, false, "VA01", "", true, false},
      {false, false, true, "VA01", "", true, true},
      {false, false, true, "    ", "", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "all " << c.all << " programs " << c.programs
                                      << " transactions " << c.transactions << " tcode <" << c.tcode
                                      << "> program <" << c.program << "> batch " << c.batch);
    EXPECT_EQ(Written(c.all, c.programs, c.transactions, c.tcode, c.program, c.batch), c.written);
  }
}

// Batch records of the 4.x and 6.10 layouts have a T_CODE of one blank:
// with transactions collected they are all dropped.
TEST_F(StatrecFilterTest, LaterBatchRecordsHaveNoTransaction) {
  metrics_[zmo::kSwStatiTransactions] = true;
  for (const char* release : {"40B", "45B", "46C", "620"}) {
    SCOPED_TRACE(release);
    ITAB_H table =
        statrec_test::MakeTable("T", {StandardLine(zmo::sap::StatLayoutTag(release), true)});
    StatiConvertJob job = Job(release);
    job.allMetrics = 0;
    job.normalFlag = 0;
    job.batchTable = table;
    EXPECT_EQ(Convert(job), "");
    ItDelete(table);
  }
}

// Each measure column holds its value only when one of its switches is on
// (or ProcessQRBData); otherwise 0, in the same width.
TEST_F(StatrecFilterTest, ColumnSwitches) {
  struct Measure {
    const char* column;
    int from;  // Oracle columns
    int width;
    const char* value;  // of the standard 4.6C normal line
    std::vector<zmo::MetricSwitch> switches;
  };
  const Measure measures[] = {
      {"CPU_TIME", 216, 8, "      46", {zmo::kSwStatiCPU, zmo::kSwApplCPU}},
      {"RESPONSE_TIME",
       224,
       8,
       "     123",
       {zmo::kSwStatiResp, zmo::kSwSLAyes, zmo::kSwSLAno, zmo::kSwApplResp}},
      {"DATABASE_TIME", 232, 8, "      39", {zmo::kSwStatiDB, zmo::kSwApplDB}},
      {"KB_TRANSFERED", 240, 8, "      54", {zmo::kSwStatiKBtrans, zmo::kSwApplKBtrans}},
      {"KB_CHANGED", 248, 12, "          66", {zmo::kSwStatiKBchanged, zmo::kSwApplKBchanged}},
      {"WAIT_TIME", 260, 8, "       7", {zmo::kSwStatiWait, zmo::kSwApplWait}},
      {"MEMORY_USED", 268, 8, "    1793", {zmo::kSwStatiMemUsed, zmo::kSwApplMemUsed}},
      {"LOAD_TIME", 276, 8, "     105", {zmo::kSwStatiLoad, zmo::kSwApplLoad}},
      {"GUI_TIME", 284, 8, "       4", {zmo::kSwStatiGUI, zmo::kSwApplGUI}},
      {"GUI_COUNT", 292, 8, "       3", {zmo::kSwStatiGUIcount, zmo::kSwApplGUIcount}},
      {"GUI_NET_TIME", 300, 8, "       1", {zmo::kSwStatiGUInetTime, zmo::kSwApplGUInetTime}},
  };
  auto line_with = [&](const std::vector<zmo::MetricSwitch>& on, bool all) {
    std::fill(std::begin(metrics_), std::end(metrics_), false);
    for (zmo::MetricSwitch m : on) metrics_[m] = true;
    ITAB_H table = statrec_test::MakeTable("T", {StandardLine("46C", false)});
    StatiConvertJob job = Job("46C");
    job.allMetrics = all;
    job.batchFlag = 0;
    job.normalTable = table;
    std::string out = Convert(job);
    ItDelete(table);
    EXPECT_EQ(out.size(), 309u);
    return out;
  };
  for (const Measure& m : measures) {
    for (zmo::MetricSwitch sw : m.switches) {
      SCOPED_TRACE(std::string(m.column) + " by switch " + std::to_string(sw));
      const std::string out = line_with({sw}, false);
      for (const Measure& other : measures) {
        const bool on = &other == &m || (other.switches.size() > 0 &&
                                         std::find(other.switches.begin(), other.switches.end(),
                                                   sw) != other.switches.end());
        EXPECT_EQ(out.substr(other.from - 1, other.width),
                  on ? std::string(other.value) : std::string(other.width - 1, ' ') + "0")
            << other.column;
      }
    }
  }
  // No switch: every measure 0; ProcessQRBData: every measure its value.
  const std::string none = line_with({}, false);
  const std::string all = line_with({}, true);
  for (const Measure& m : measures) {
    EXPECT_EQ(none.substr(m.from - 1, m.width), std::string(m.width - 1, ' ') + "0") << m.column;
    EXPECT_EQ(all.substr(m.from - 1, m.width), m.value) << m.column;
  }
  // The text columns do not depend on the switches.
  EXPECT_EQ(none.substr(0, 215), all.substr(0, 215));
}

}  // namespace
