// The metric switches: all on through ProcessQRBData, one by one otherwise,
// the derived switches, and the end of the process on a missing value.

#include <gtest/gtest.h>

#include <string>

#include "common/registry_value.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "stati_test_env.h"
#include "zmostati/entry.h"
#include "zmostati/state.h"

namespace {

struct Exited {
  int code;
};
[[noreturn]] void ThrowExit(int code) { throw Exited{code}; }

class MetricFilters : public testing::Test {
 protected:
  void SetUp() override {
    zmo::Runtime().exit = ThrowExit;
    zmo::SetTraceSwitch(1);
  }
  // Every switch stored, "False" unless named in on.
  void StoreAll(std::initializer_list<const char*> on) {
    for (const auto& n : kStatiMetricSwitches) {
      bool is_on = false;
      for (const char* o : on) is_on = is_on || std::string(o) == n.name;
      env_.Set(n.name, is_on ? "True" : "False");
    }
  }
  StatiTestEnv env_;
};

TEST(MetricSwitches, ReadingOrderAndTraceNames) {
  for (int i = 0; i < kStatiMetricCount; ++i) EXPECT_EQ(kStatiMetricSwitches[i].metric, i);
  EXPECT_STREQ(kStatiMetricSwitches[0].name, "ProcessStatiTransactions");
  EXPECT_STREQ(kStatiMetricSwitches[13].name, "ProcessStatiGUInetTime");
  EXPECT_STREQ(kStatiMetricSwitches[14].name, "ProcessSLAyes");
  EXPECT_STREQ(kStatiMetricSwitches[16].name, "ProcessApplCPU");
  EXPECT_STREQ(kStatiMetricSwitches[27].name, "ProcessApplGUInetTime");
  // The two KBchanged lines are spelt as the trace has always spelt them.
  EXPECT_STREQ(kStatiMetricSwitches[kStatiKBchanged].traceName, "ProcessStatiKBchangede");
  EXPECT_STREQ(kStatiMetricSwitches[kApplKBchanged].traceName, "ProcessApplKBchangede");
  for (const auto& s : kStatiMetricSwitches) {
    if (s.metric != kStatiKBchanged && s.metric != kApplKBchanged) {
      EXPECT_STREQ(s.traceName, s.name);
    }
  }
}

TEST_F(MetricFilters, MissingProcessQRBDataTurnsEverythingOn) {
  env_.CreateKey();
  statiGetMetricFilters();
  for (int on : statiState().metrics) EXPECT_EQ(on, 1);
  EXPECT_EQ(env_.Trace(),
            "Registry entry ProcessQRBData = <True>\n"
            "Registry entry ProcessQRBData auto set every metric filter to process true\n");
}

TEST_F(MetricFilters, EachSwitchIsReadInOrder) {
  env_.Set("ProcessQRBData", "False");
  StoreAll({"ProcessStatiKBchanged", "ProcessSLAno", "ProcessApplGUI"});
  env_.Set("ProcessStatiPrograms", "true");  // only "True" is on
  statiGetMetricFilters();
  const auto& m = statiState().metrics;
  for (const auto& n : kStatiMetricSwitches) {
    const bool expected = n.metric == kStatiKBchanged || n.metric == kSLAno ||
                          n.metric == kApplGUI;
    EXPECT_EQ(m[n.metric], expected ? 1 : 0) << n.name;
  }
  std::string expected = "Registry entry ProcessQRBData = <False>\n";
  for (const auto& n : kStatiMetricSwitches) {
    const std::string v = env_.Get(n.name);
    expected += std::string("Registry entry ") + n.traceName + " = <" + v + ">\n";
  }
  expected +=
      "Stati data will be processed\nSLA data will be processed\nAppl data will be processed\n";
  EXPECT_EQ(env_.Trace(), expected);
}

TEST_F(MetricFilters, OtherTimeTurnsOnItsParts) {
  for (const char* other : {"ProcessStatiOther", "ProcessApplOther"}) {
    StatiTestEnv env;
    zmo::Runtime().exit = ThrowExit;
    env.Set("ProcessQRBData", "no");
    StoreAll({other});
    statiGetMetricFilters();
    const auto& m = statiState().metrics;
    for (StatiMetric x : {kStatiResp, kStatiDB, kStatiCPU, kStatiWait, kStatiLoad}) {
      EXPECT_EQ(m[x], 1) << other << " " << x;
    }
    EXPECT_EQ(m[kStatiGUI], 0);
    EXPECT_EQ(m[kApplResp], 0) << "nothing of the Appl group follows from it";
  }
}

TEST_F(MetricFilters, VerdictsWhenNothingIsOn) {
  env_.Set("ProcessQRBData", "False");
  StoreAll({"ProcessStatiTransactions", "ProcessStatiPrograms"});
  statiGetMetricFilters();
  const std::string trace = env_.Trace();
  EXPECT_NE(trace.find("Stati data will not be processed\nSLA data will not be processed\n"
                       "Appl data will not be processed\n"),
            std::string::npos)
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
  EXPECT_NE(trace.find("Registry entry ProcessApplLoad = <False>\n"), std::string::npos);
  EXPECT_EQ(trace.find("ProcessApplGUIcount"), std::string::npos) << "reading stops there";
}

}  // namespace
