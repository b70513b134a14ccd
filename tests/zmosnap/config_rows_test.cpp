// The table of the values zmosnap reads: a cycle, as the work loop makes
// it, reads every value of the table and none besides (but for the metric
// switches of its run).

#include "zmosnap/config_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/metric_switches.h"
#include "snap_world.h"
#include "zmo_test/registry_reads.h"
#include "zmogdlib/config_key.h"
#include "zmosnap/config.h"
#include "zmosnap/entry.h"

using namespace zmo::snap;

namespace {

class SnapConfigRows : public SnapWorld {};

TEST_F(SnapConfigRows, ACycleReadsTheValuesOfTheTableAndNoOthers) {
  WriteServers({kT46});
  // With ProcessQRBData off the cycle reads its switches too.
  SnapTestEnv::Set(zmo::cfg::kProcessQRBData, "False");

  std::vector<std::string> read;
  {
    zmo_test::RegistryReads reads;
    EXPECT_EQ(queryRegForFormat(true), 0);
    EXPECT_EQ(snapGetRunTimes(), 0);
    ASSERT_EQ(RunCycle(), 0);
    read = reads.Names();
  }

  zmo_test::ExpectReadsMatchTable(read, kSnapValues, zmo::MetricRun::kSnap);
}

}  // namespace
