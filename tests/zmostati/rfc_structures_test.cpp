// The ten statistic record structures: installed once per process, in
// their order; a failed installation fails the server when one of the first
// four batch layouts failed or the server's own layout is missing.

#include <string>
#include <vector>

#include "rfc_test_env.h"

using namespace zmo::stati;

namespace {

using namespace stati_rfc_test;
using Lines = std::vector<std::string>;

class RfcStructuresTest : public StatiRfcTest {
 protected:
  // The ten handles in the order of installation.
  static std::vector<RFC_TYPEHANDLE> Handles() {
    using zmo::sap::StatLayout;
    std::vector<RFC_TYPEHANDLE> handles;
    for (bool batch : {true, false}) {
      for (StatLayout l :
           {StatLayout::k3, StatLayout::k45B, StatLayout::k46C, StatLayout::k4, StatLayout::k610}) {
        handles.push_back(statiTypeHandle(batch, l));
      }
    }
    return handles;
  }

  // The handle the library gives the next structure installed.
  static RFC_TYPEHANDLE NextHandle() {
    RFC_TYPE_ELEMENT field = {"LINE", TYPC, 8, 0, 0};
    RFC_TYPEHANDLE handle = 0;
    EXPECT_EQ(RfcInstallStructure("ZPROBE", &field, 1, &handle), RFC_OK);
    return handle;
  }

  // The texts the error handler was called with, from trace line mark on.
  Lines Reported(size_t mark = 0) const {
    Lines out;
    for (const std::string& line : TraceLinesFrom(mark)) {
      if (line.rfind("operation/code <", 0) == 0) out.push_back(line.substr(16, line.size() - 17));
    }
    return out;
  }
};

TEST_F(RfcStructuresTest, TenInstalledInTheirOrder) {
  ASSERT_EQ(statiRfcInstallStructures(), 0);
  const std::vector<RFC_TYPEHANDLE> handles = Handles();
  for (size_t i = 0; i < handles.size(); ++i) {
    EXPECT_NE(handles[i], 0u) << i;
    if (i > 0) {
      EXPECT_EQ(handles[i], handles[i - 1] + 1) << i;
    }
  }
  EXPECT_EQ(NextHandle(), handles.back() + 1);
  EXPECT_TRUE(Reported().empty());
}

// Two servers, of different releases: the second installs nothing, and
// its read call is accepted with the handles of the first.
TEST_F(RfcStructuresTest, InstalledOnceAcrossTwoServers) {
  Prepare("T31");
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  const std::vector<RFC_TYPEHANDLE> first = Handles();
  statiRfcClose();
  statiDeleteRfcTables();

  Prepare("T46");
  EXPECT_EQ(Handles(), first);
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  EXPECT_EQ(ItFill(statiRfcSession().normalTable), 3);
  EXPECT_EQ(NextHandle(), first.back() + 1);
}

// A run's state reset leaves the installed structures alone: they belong to
// the process.
TEST_F(RfcStructuresTest, RunResetKeepsTheStructures) {
  ASSERT_EQ(statiRfcInstallStructures(), 0);
  const std::vector<RFC_TYPEHANDLE> first = Handles();
  statiResetRunState();
  ASSERT_EQ(statiRfcInstallStructures(), 0);
  EXPECT_EQ(Handles(), first);
}

struct FaultCase {
  const char* name;
  const char* fault;   // library.conf line
  const char* system;  // the server whose steps run the installation
  bool batch_flag, normal_flag;
  int rc;
  Lines reported;
  std::vector<bool> installed;  // in the order of installation
};

TEST_F(RfcStructuresTest, AFailedInstallationFailsOnlyTheServersThatNeedIt) {
  const std::vector<bool> only_first_batch = {true,  false, false, false, false,
                                              false, false, false, false, false};
  const std::vector<bool> no_batch_610 = {true, true, true, true, false,
                                          true, true, true, true, true};
  const std::vector<bool> no_normal_45_and_4 = {true, true,  true, true,  true,
                                                true, false, true, false, true};
  const std::vector<bool> no_normal_46 = {true, true, true,  true, true,
                                          true, true, false, true, true};
  const std::vector<bool> no_normal_610 = {true, true, true, true, true,
                                           true, true, true, true, false};
  const std::vector<bool> no_normal = {true,  true,  true,  true,  true,
                                       false, false, false, false, false};
  const Lines batch_610 = {"RfcInstallStructure of Structure SAPWLPFBTC - 610 failed"};
  const Lines normal_45_and_4 = {"RfcInstallStructure of Structure SAPWLPFNRM - 45b failed",
                                 "RfcInstallStructure of Structure SAPWLPFNRM - 4 failed"};
  const Lines normal_46 = {"RfcInstallStructure of Structure SAPWLPFNRM - 46c failed"};
  const Lines normal_610 = {"RfcInstallStructure of Structure SAPWLPFNRM - 610 failed"};
  const Lines every_normal = {"RfcInstallStructure of Structure SAPWLPFNRM - 3 failed",
                              "RfcInstallStructure of Structure SAPWLPFNRM - 45b failed",
                              "RfcInstallStructure of Structure SAPWLPFNRM - 46c failed",
                              "RfcInstallStructure of Structure SAPWLPFNRM - 4 failed",
                              "RfcInstallStructure of Structure SAPWLPFNRM - 610 failed"};
  const std::vector<FaultCase> cases = {
      {"the first batch layout ends it at once, whatever the release",
       "install = SAPWLPFBTC 504",
       "T62",
       true,
       true,
       1,
       {"RfcInstallStructure of Structure SAPWLPFBTC - 3 failed"},
       std::vector<bool>(10, false)},
      {"the second batch layout ends it at once",
       "install = SAPWLPFBTC 576",
       "T31",
       true,
       true,
       1,
       {"RfcInstallStructure of Structure SAPWLPFBTC - 45B failed"},
       only_first_batch},
      {"the Unicode batch layout, for a 4.6C server", "install = SAPWLPFBTC 528", "T46", true, true,
       0, batch_610, no_batch_610},
      {"the Unicode batch layout, for a 6.10 server", "install = SAPWLPFBTC 528", "T62", true, true,
       1, batch_610, no_batch_610},
      {"the Unicode batch layout, for a 6.10 server that reads no batch records",
       "install = SAPWLPFBTC 528", "T62", false, true, 0, batch_610, no_batch_610},
      {"two normal layouts of one size, for a 4.6C server", "install = SAPWLPFNRM 640", "T46", true,
       true, 0, normal_45_and_4, no_normal_45_and_4},
      {"two normal layouts of one size, for a 4.5B server", "install = SAPWLPFNRM 640", "T45", true,
       true, 1, normal_45_and_4, no_normal_45_and_4},
      {"the 4.6C normal layout, for a 4.6C server", "install = SAPWLPFNRM 672", "T46", true, true,
       1, normal_46, no_normal_46},
      {"the 4.6C normal layout, for a 4.6D server", "install = SAPWLPFNRM 672", "T4D", true, true,
       1, normal_46, no_normal_46},
      {"the 4.6C normal layout, for a 4.6C server that reads batch records only",
       "install = SAPWLPFNRM 672", "T46", true, false, 0, normal_46, no_normal_46},
      {"the 4.6C normal layout, for a 3.x server", "install = SAPWLPFNRM 672", "T31", true, true, 0,
       normal_46, no_normal_46},
      {"the Unicode normal layout, for a 6.10 server", "install = SAPWLPFNRM 632", "T62", true,
       true, 1, normal_610, no_normal_610},
      {"the Unicode normal layout, for a 4.6C server", "install = SAPWLPFNRM 632", "T46", true,
       true, 0, normal_610, no_normal_610},
      {"every normal layout, for a 4.6C server", "install = SAPWLPFNRM", "T46", true, true, 1,
       every_normal, no_normal},
      {"every normal layout, for a release without a layout", "install = SAPWLPFNRM", "T70", true,
       true, 0, every_normal, no_normal},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    RfcClose(RFC_HANDLE_NULL);
    zmo::rfc::SimReset();
    statiResetRfcSession();
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    statiState().settings.batchFlag = c.batch_flag;
    statiState().settings.normalFlag = c.normal_flag;
    OwnLandscape(c.system, "", c.fault);
    ASSERT_EQ(Open(c.system), 0);
    ASSERT_EQ(statiCallRfcSystemInfo(), 0);
    ASSERT_EQ(statiCreateRfcTables(), 0);
    const size_t mark = TraceLines().size();
    EXPECT_EQ(statiRfcInstallStructures(), c.rc);
    EXPECT_EQ(Reported(mark), c.reported);
    std::vector<bool> installed;
    for (RFC_TYPEHANDLE h : Handles()) installed.push_back(h != 0);
    EXPECT_EQ(installed, c.installed);
  }
}

// A server whose own layouts installed is read whole although another
// layout failed; the next server installs what is still missing, and only
// that.
TEST_F(RfcStructuresTest, MissingStructuresAreInstalledForTheNextServer) {
  OwnLandscape("T46", "", "install = SAPWLPFNRM 640");
  Prepare("T46");
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  EXPECT_EQ(ItFill(statiRfcSession().normalTable), 3);
  const std::vector<RFC_TYPEHANDLE> before = Handles();
  statiRfcClose();
  statiDeleteRfcTables();

  UseLandscape(FixtureDir());  // the fault is gone
  Prepare("T45");
  ASSERT_EQ(statiCallSapwlStatrecReadFile(), 0);
  const std::vector<RFC_TYPEHANDLE> after = Handles();
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_NE(after[i], 0u) << i;
    if (before[i] != 0) {
      EXPECT_EQ(after[i], before[i]) << i;
    }
  }
  EXPECT_EQ(NextHandle(), before.back() + 3);
}

}  // namespace
