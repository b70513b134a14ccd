// The table of the values zmostati reads: a whole pass, as the work loop and
// a collection make it, reads every value of the table and none besides
// (but for the metric switches of its run).

#include "zmostati/config_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect_test_env.h"
#include "common/metric_switches.h"
#include "zmo_test/registry_reads.h"
#include "zmogdlib/config_key.h"
#include "zmostati/params.h"
#include "zmostati/state.h"

using namespace zmo::stati;

namespace {

class StatiConfigRows : public CollectWorld {};

TEST_F(StatiConfigRows, APassReadsTheValuesOfTheTableAndNoOthers) {
  WriteServers({kT31, kT46});
  // With ProcessQRBData off the run reads its switches too.
  StatiTestEnv::Set(zmo::cfg::kProcessQRBData, "False");
  for (const char* name : zmo::cfg::kStatiSwitches) StatiTestEnv::Set(name, "True");
  for (const char* name : zmo::cfg::kSlaSwitches) StatiTestEnv::Set(name, "True");
  for (const char* name : zmo::cfg::kApplSwitches) StatiTestEnv::Set(name, "True");
  StatiTestEnv::Set(zmo::cfg::kStatiSchedule, "08:00 20:00 ");

  std::vector<std::string> read;
  {
    zmo_test::RegistryReads reads;
    EXPECT_EQ(statiGetDebugStatusFromRegistry(), 0);
    EXPECT_EQ(statiGetRunTimes(), 0);
    EXPECT_EQ(statiQueryRegForSleepTime(), 0);
    ASSERT_EQ(Collect(), 0);
    read = reads.Names();
  }

  zmo_test::ExpectReadsMatchTable(read, kStatiValues, zmo::MetricRun::kStatiCollector);
}

}  // namespace
