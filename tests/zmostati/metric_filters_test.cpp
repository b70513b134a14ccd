// The metric switches: all on through ProcessQRBData, one by one otherwise,
// the derived switches, and the end of the process on a missing value.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/metric_switches.h"
#include "common/registry_value.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/env.h"
#include "stati_test_env.h"
#include "zmo_test/matchers.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

using ::testing::Not;
using zmo_test::HasText;

// The switches the collector reads, in reading order: the statistics,
// service-level and application switches, without ProcessStatiActiveUsers.
std::vector<int> CollectorSwitches() {
  std::vector<int> out;
  for (int sw = zmo::kSwStatiTransactions; sw <= zmo::kSwApplGUInetTime; ++sw) {
    if (sw != zmo::kSwStatiActiveUsers) out.push_back(sw);
  }
  return out;
}

struct Exited {
  int code;
};
// Ends the run by throwing the code the process would end with.
class ThrowExitEnv : public zmo::EnvWrapper {
 public:
  [[noreturn]] void Exit(int code) override { throw Exited{code}; }
};
ThrowExitEnv g_throw_exit;

class MetricFilters : public testing::Test {
 protected:
  void SetUp() override {
    zmo::SetEnv(&g_throw_exit);
    zmo::SetTraceSwitch(1);
  }
  // Every switch stored, "False" unless named in on.
  void StoreAll(std::initializer_list<const char*> on) {
    for (int sw : CollectorSwitches()) {
      const char* name = zmo::metricSwitchName(sw);
      bool is_on = false;
      for (const char* o : on) is_on = is_on || std::string(o) == name;
      env_.Set(name, is_on ? "True" : "False");
    }
  }
  StatiTestEnv env_;
};

TEST(MetricSwitches, ReadingOrderAndTraceNames) {
  const std::vector<int> order = CollectorSwitches();
  ASSERT_EQ(order.size(), 28u);
  EXPECT_STREQ(zmo::metricSwitchName(order[0]), "ProcessStatiTransactions");
  EXPECT_STREQ(zmo::metricSwitchName(order[13]), "ProcessStatiGUInetTime");
  EXPECT_STREQ(zmo::metricSwitchName(order[14]), "ProcessSLAyes");
  EXPECT_STREQ(zmo::metricSwitchName(order[16]), "ProcessApplCPU");
  EXPECT_STREQ(zmo::metricSwitchName(order[27]), "ProcessApplGUInetTime");
  // The two KBchanged lines are spelt as the trace has always spelt them.
  EXPECT_STREQ(zmo::metricSwitchTraceName(zmo::kSwStatiKBchanged), "ProcessStatiKBchangede");
  EXPECT_STREQ(zmo::metricSwitchTraceName(zmo::kSwApplKBchanged), "ProcessApplKBchangede");
  for (int sw : order) {
    if (sw != zmo::kSwStatiKBchanged && sw != zmo::kSwApplKBchanged) {
      EXPECT_STREQ(zmo::metricSwitchTraceName(sw), zmo::metricSwitchName(sw));
    }
  }
}

TEST_F(MetricFilters, MissingProcessQRBDataTurnsEverythingOn) {
  env_.CreateKey();
  statiGetMetricFilters();
  EXPECT_EQ(statiState().switches.all, 1);
  for (int on : statiState().switches.on) EXPECT_EQ(on, 1);
  EXPECT_EQ(env_.Trace(),
            "Registry entry ProcessQRBData = <True>\n"
            "Registry entry ProcessQRBData auto set every metric filter to process true\n");
}

TEST_F(MetricFilters, EachSwitchIsReadInOrder) {
  env_.Set("ProcessQRBData", "False");
  StoreAll({"ProcessStatiKBchanged", "ProcessSLAno", "ProcessApplGUI"});
  env_.Set("ProcessStatiPrograms", "true");  // only "True" is on
  statiGetMetricFilters();
  const auto& m = statiState().switches.on;
  for (int sw : CollectorSwitches()) {
    const bool expected =
        sw == zmo::kSwStatiKBchanged || sw == zmo::kSwSLAno || sw == zmo::kSwApplGUI;
    EXPECT_EQ(m[sw], expected ? 1 : 0) << zmo::metricSwitchName(sw);
  }
  std::string expected = "Registry entry ProcessQRBData = <False>\n";
  for (int sw : CollectorSwitches()) {
    const std::string v = env_.Get(zmo::metricSwitchName(sw));
    expected +=
        std::string("Registry entry ") + zmo::metricSwitchTraceName(sw) + " = <" + v + ">\n";
  }
  expected +=
      "Stati data will be processed\nSLA data will be processed\nAppl data will be processed\n";
  EXPECT_EQ(env_.Trace(), expected);
}

TEST_F(MetricFilters, OtherTimeTurnsOnItsParts) {
  for (const char* other : {"ProcessStatiOther", "ProcessApplOther"}) {
    StatiTestEnv env;
    zmo::SetEnv(&g_throw_exit);
    env.Set("ProcessQRBData", "no");
    StoreAll({other});
    statiGetMetricFilters();
    const auto& m = statiState().switches.on;
    for (int x : {zmo::kSwStatiResp, zmo::kSwStatiDB, zmo::kSwStatiCPU, zmo::kSwStatiWait,
                  zmo::kSwStatiLoad}) {
      EXPECT_TRUE(m[x]) << other << " " << x;
    }
    EXPECT_FALSE(m[zmo::kSwStatiGUI]);
    EXPECT_FALSE(m[zmo::kSwApplResp]) << "nothing of the Appl group follows from it";
  }
}

TEST_F(MetricFilters, VerdictsWhenNothingIsOn) {
  env_.Set("ProcessQRBData", "False");
  StoreAll({"ProcessStatiTransactions", "ProcessStatiPrograms"});
  statiGetMetricFilters();
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("Stati data will not be processed\nSLA data will not be processed\n"
                             "Appl data will not be processed\n"))
      << "transactions and programs alone are no Stati data";
}

TEST_F(MetricFilters, MissingSwitchEndsTheProcessWith99) {
  env_.Set("ProcessQRBData", "anything");
  StoreAll({});
  env_.Delete("ProcessApplGUI");
  int code = 0;
  try {
    statiGetMetricFilters();
  } catch (const Exited& e) {
    code = e.code;
  }
  EXPECT_EQ(code, zmo::kExitMissingRegistryValue);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("Registry entry ProcessApplLoad = <False>\n"));
  EXPECT_THAT(trace, Not(HasText("ProcessApplGUIcount"))) << "reading stops there";
}

}  // namespace
