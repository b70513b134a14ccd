#include "common/metric_switches.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "zmogdlib/config_key.h"

namespace {

using ::testing::ElementsAre;

// The values a reader answers from, the names it was asked for and the
// trace lines written.
std::map<std::string, std::string> g_values;
std::vector<std::string> g_asked;
std::vector<std::string> g_trace;

int Read(const char* name, std::string* text) {
  g_asked.push_back(name);
  auto it = g_values.find(name);
  if (it == g_values.end()) {
    if (std::string(name) == zmo::cfg::kProcessQRBData) {
      *text = "True";
      return 0;
    }
    return 99;
  }
  *text = it->second;
  return 0;
}

int Trace(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  std::string text = line;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  g_trace.push_back(text);
  return 0;
}

// What a statistics run asks for before ProcessStatiActiveUsers.
std::vector<std::string> StatisticsRunNames() {
  std::vector<std::string> names = {"ProcessQRBData", "ProcessStatiTransactions",
                                    "ProcessStatiPrograms"};
  for (int sw = zmo::kSwStatiCPU; sw <= zmo::kSwStatiGUInetTime; ++sw) {
    names.push_back(zmo::metricSwitchName(sw));
  }
  for (const char* name : zmo::cfg::kSlaSwitches) names.push_back(name);
  for (const char* name : zmo::cfg::kApplSwitches) names.push_back(name);
  return names;
}

class MetricSwitchesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_values.clear();
    g_asked.clear();
    g_trace.clear();
  }
  // Every switch stored "True", filtering on.
  void AllStored(const char* text) {
    g_values[zmo::cfg::kProcessQRBData] = "False";
    for (int sw = 0; sw < zmo::kMetricSwitchCount; ++sw) g_values[zmo::metricSwitchName(sw)] = text;
  }
};

TEST_F(MetricSwitchesTest, NumbersFollowTheNameArrays) {
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwStatiTransactions), "ProcessStatiTransactions");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwStatiActiveUsers), "ProcessStatiActiveUsers");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwSLAyes), "ProcessSLAyes");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwApplGUInetTime), "ProcessApplGUInetTime");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwSnapSystemCPU), "ProcessSnapSystemCPU");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kSwSnapLogonAble), "ProcessSnapLogonAble");
  EXPECT_STREQ(zmo::metricSwitchName(zmo::kMetricSwitchCount), "");
  EXPECT_STREQ(zmo::metricSwitchName(-1), "");
  // 45 switches, each named once.
  std::set<std::string> names;
  for (int sw = 0; sw < zmo::kMetricSwitchCount; ++sw) names.insert(zmo::metricSwitchName(sw));
  EXPECT_EQ(names.size(), 45u);
}

TEST_F(MetricSwitchesTest, TraceNamesOfTheTwoKbChangedSwitches) {
  EXPECT_STREQ(zmo::metricSwitchTraceName(zmo::kSwStatiKBchanged), "ProcessStatiKBchangede");
  EXPECT_STREQ(zmo::metricSwitchTraceName(zmo::kSwApplKBchanged), "ProcessApplKBchangede");
  EXPECT_STREQ(zmo::metricSwitchTraceName(zmo::kSwStatiKBtrans), "ProcessStatiKBtrans");
}

TEST_F(MetricSwitchesTest, GroupsAndTheirSwitches) {
  struct Case {
    int group;
    int first;
    int last;
    const char* label;
  };
  const Case cases[] = {
      {zmo::kGroupStati, zmo::kSwStatiCPU, zmo::kSwStatiGUInetTime, "Stati"},
      {zmo::kGroupSla, zmo::kSwSLAyes, zmo::kSwSLAno, "SLA"},
      {zmo::kGroupAppl, zmo::kSwApplCPU, zmo::kSwApplGUInetTime, "Appl"},
      {zmo::kGroupSnapCpu, zmo::kSwSnapSystemCPU, zmo::kSwSnapSessions, "CPU"},
      {zmo::kGroupSnapDisk, zmo::kSwSnapQueueLength, zmo::kSwSnapDiskUtilization, "Disk"},
      {zmo::kGroupSnapLan, zmo::kSwSnapCollisions, zmo::kSwSnapPacketsOut, "LAN"},
      {zmo::kGroupSnapAvail, zmo::kSwSnapLogonAble, zmo::kSwSnapLogonAble, "Availability"},
  };
  for (const Case& c : cases) {
    const zmo::MetricGroupInfo& g = zmo::metricGroupInfo(c.group);
    EXPECT_EQ(g.first, c.first) << c.label;
    EXPECT_EQ(g.last, c.last) << c.label;
    EXPECT_STREQ(g.label, c.label);
    // Each switch of the group alone turns the group on, and no other.
    for (int sw = c.first; sw <= c.last; ++sw) {
      zmo::MetricSwitches s;
      s.on[sw] = true;
      zmo::deriveMetricGroups(&s);
      for (int other = 0; other < zmo::kMetricGroupCount; ++other) {
        EXPECT_EQ(s.group[other], other == c.group ? 1 : 0) << zmo::metricSwitchName(sw);
      }
    }
  }
  // Transactions, programs and active users belong to no group.
  for (int sw : {zmo::kSwStatiTransactions, zmo::kSwStatiPrograms, zmo::kSwStatiActiveUsers}) {
    zmo::MetricSwitches s;
    s.on[sw] = true;
    zmo::deriveMetricGroups(&s);
    for (int g : s.group) EXPECT_EQ(g, 0);
  }
}

TEST_F(MetricSwitchesTest, NoFilteringSetsEverythingAndReadsNothingElse) {
  zmo::MetricSwitches s;
  ASSERT_EQ(zmo::readMetricSwitches(zmo::MetricRun::kSnap, Read, Trace, &s), 0);
  EXPECT_THAT(g_asked, ElementsAre("ProcessQRBData"));
  EXPECT_THAT(g_trace,
              ElementsAre("Registry entry ProcessQRBData = <True>",
                          "Registry entry ProcessQRBData auto set every metric filter to process "
                          "true"));
  EXPECT_EQ(s.all, 1);
  for (int on : s.on) EXPECT_EQ(on, 1);
  for (int g : s.group) EXPECT_EQ(g, 1);
}

TEST_F(MetricSwitchesTest, StatisticsRunReadsItsSwitchesInOrder) {
  AllStored("True");
  g_values["ProcessStatiCPU"] = "true";  // only "True" is on
  zmo::MetricSwitches s;
  ASSERT_EQ(zmo::readMetricSwitches(zmo::MetricRun::kStati, Read, Trace, &s), 0);
  std::vector<std::string> expected = StatisticsRunNames();
  expected.push_back("ProcessStatiActiveUsers");
  EXPECT_EQ(g_asked, expected);
  EXPECT_EQ(s.all, 0);
  EXPECT_FALSE(s.on[zmo::kSwStatiCPU]);
  EXPECT_TRUE(s.on[zmo::kSwStatiResp]);
  EXPECT_FALSE(s.on[zmo::kSwSnapUsers]);  // not read
  EXPECT_EQ(g_trace[1], "Registry entry ProcessStatiTransactions = <True>");
  EXPECT_EQ(g_trace[3], "Registry entry ProcessStatiCPU = <true>");
  EXPECT_THAT(std::vector<std::string>(g_trace.end() - 3, g_trace.end()),
              ElementsAre("Stati data will be processed", "SLA data will be processed",
                          "Appl data will be processed"));
}

TEST_F(MetricSwitchesTest, SnapshotRunReadsActiveUsersFirst) {
  AllStored("False");
  g_values["ProcessSnapLogonAble"] = "True";
  zmo::MetricSwitches s;
  ASSERT_EQ(zmo::readMetricSwitches(zmo::MetricRun::kSnap, Read, Trace, &s), 0);
  ASSERT_EQ(g_asked.size(), 18u);
  EXPECT_EQ(g_asked[1], "ProcessStatiActiveUsers");
  EXPECT_EQ(g_asked[2], "ProcessSnapSystemCPU");
  EXPECT_EQ(g_asked.back(), "ProcessSnapLogonAble");
  EXPECT_THAT(std::vector<std::string>(g_trace.end() - 4, g_trace.end()),
              ElementsAre("CPU data will not be processed", "Disk data will not be processed",
                          "LAN data will not be processed", "Availability data will be processed"));
  EXPECT_TRUE(s.group[zmo::kGroupSnapAvail]);
  EXPECT_FALSE(s.group[zmo::kGroupSnapCpu]);
}

TEST_F(MetricSwitchesTest, AMissingSwitchStopsTheRead) {
  AllStored("True");
  g_values.erase("ProcessSLAno");
  zmo::MetricSwitches s;
  EXPECT_EQ(zmo::readMetricSwitches(zmo::MetricRun::kStati, Read, Trace, &s), 99);
  EXPECT_EQ(g_asked.back(), "ProcessSLAno");
  EXPECT_TRUE(s.on[zmo::kSwSLAyes]);  // read before it
  EXPECT_EQ(g_trace.back(), "Registry entry ProcessSLAyes = <True>");
}

TEST_F(MetricSwitchesTest, CollectorRunReadsTheStatisticsSwitchesButActiveUsers) {
  AllStored("False");
  zmo::MetricSwitches s;
  ASSERT_EQ(zmo::readMetricSwitches(zmo::MetricRun::kStatiCollector, Read, Trace, &s), 0);
  const std::vector<std::string> expected = StatisticsRunNames();
  EXPECT_EQ(g_asked, expected);
  ASSERT_EQ(g_trace.size(), expected.size() + 3);
  EXPECT_THAT(std::vector<std::string>(g_trace.end() - 3, g_trace.end()),
              ElementsAre("Stati data will not be processed", "SLA data will not be processed",
                          "Appl data will not be processed"));
}

TEST_F(MetricSwitchesTest, OnlyTheCollectorTurnsOnThePartsOfTheOtherTime) {
  const int parts[] = {zmo::kSwStatiResp, zmo::kSwStatiDB, zmo::kSwStatiCPU, zmo::kSwStatiWait,
                       zmo::kSwStatiLoad};
  const struct {
    zmo::MetricRun run;
    const char* other;  // nullptr: neither
    int parts_on;
  } cases[] = {
      {zmo::MetricRun::kStatiCollector, "ProcessStatiOther", 1},
      {zmo::MetricRun::kStatiCollector, "ProcessApplOther", 1},
      {zmo::MetricRun::kStatiCollector, nullptr, 0},
      {zmo::MetricRun::kStati, "ProcessStatiOther", 0},
      {zmo::MetricRun::kStati, "ProcessApplOther", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.run)) + " " +
                 (c.other != nullptr ? c.other : "none"));
    SetUp();
    AllStored("False");
    if (c.other != nullptr) g_values[c.other] = "True";
    zmo::MetricSwitches s;
    ASSERT_EQ(zmo::readMetricSwitches(c.run, Read, Trace, &s), 0);
    for (int sw : parts) EXPECT_EQ(s.on[sw], c.parts_on) << zmo::metricSwitchName(sw);
    EXPECT_FALSE(s.on[zmo::kSwStatiGUI]);
    EXPECT_FALSE(s.on[zmo::kSwApplResp]) << "nothing of the Appl group follows from it";
    // The group lines follow from the switches as derived.
    const bool stati =
        c.parts_on || (c.other != nullptr && std::string(c.other) == "ProcessStatiOther");
    EXPECT_EQ(s.group[zmo::kGroupStati], stati ? 1 : 0);
    EXPECT_EQ(g_trace[g_trace.size() - 3],
              stati ? "Stati data will be processed" : "Stati data will not be processed");
    // The trace shows what was stored, not what was derived.
    EXPECT_EQ(
        std::count(g_trace.begin(), g_trace.end(), "Registry entry ProcessStatiResp = <False>"), 1);
  }
}

}  // namespace
