// The ten statistic record structures: installed once per process, in
// their order, and a failed installation fails the server.

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
    const StatiRfcSession& s = statiRfcSession();
    std::vector<RFC_TYPEHANDLE> handles;
    for (const auto* types : {&s.batchTypes, &s.normalTypes}) {
      for (StatiLayout l :
           {kStatiLayout3, kStatiLayout45B, kStatiLayout46C, kStatiLayout4, kStatiLayout610}) {
        handles.push_back((*types)[l]);
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

  // The texts the error handler was called with.
  Lines Reported() const {
    Lines out;
    for (const std::string& line : TraceLinesStarting("operation/code <")) {
      out.push_back(line.substr(16, line.size() - 17));
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
  const char* fault;  // library.conf line
  Lines reported;
  std::vector<bool> installed;  // in the order of installation
};

TEST_F(RfcStructuresTest, FailedInstallationFailsTheServer) {
  const std::vector<FaultCase> cases = {
      {"the first batch layout ends it at once",
       "install = SAPWLPFBTC 504",
       {"RfcInstallStructure of Structure SAPWLPFBTC - 3 failed"},
       {false, false, false, false, false, false, false, false, false, false}},
      {"the second batch layout ends it at once",
       "install = SAPWLPFBTC 576",
       {"RfcInstallStructure of Structure SAPWLPFBTC - 45B failed"},
       {true, false, false, false, false, false, false, false, false, false}},
      {"the Unicode batch layout",
       "install = SAPWLPFBTC 528",
       {"RfcInstallStructure of Structure SAPWLPFBTC - 610 failed"},
       {true, true, true, true, false, true, true, true, true, true}},
      {"two normal layouts of one size",
       "install = SAPWLPFNRM 640",
       {"RfcInstallStructure of Structure SAPWLPFNRM - 45b failed",
        "RfcInstallStructure of Structure SAPWLPFNRM - 4 failed"},
       {true, true, true, true, true, true, false, true, false, true}},
      {"the 4.6C normal layout",
       "install = SAPWLPFNRM 672",
       {"RfcInstallStructure of Structure SAPWLPFNRM - 46c failed"},
       {true, true, true, true, true, true, true, false, true, true}},
      {"the Unicode normal layout",
       "install = SAPWLPFNRM 632",
       {"RfcInstallStructure of Structure SAPWLPFNRM - 610 failed"},
       {true, true, true, true, true, true, true, true, true, false}},
      {"every normal layout",
       "install = SAPWLPFNRM",
       {"RfcInstallStructure of Structure SAPWLPFNRM - 3 failed",
        "RfcInstallStructure of Structure SAPWLPFNRM - 45b failed",
        "RfcInstallStructure of Structure SAPWLPFNRM - 46c failed",
        "RfcInstallStructure of Structure SAPWLPFNRM - 4 failed",
        "RfcInstallStructure of Structure SAPWLPFNRM - 610 failed"},
       {true, true, true, true, true, false, false, false, false, false}},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    zmo::rfc::SimReset();
    statiResetRfcSession();
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    OwnLandscape("T46", "", c.fault);
    EXPECT_EQ(statiRfcInstallStructures(), 1);
    EXPECT_EQ(Reported(), c.reported);
    std::vector<bool> installed;
    for (RFC_TYPEHANDLE h : Handles()) installed.push_back(h != 0);
    EXPECT_EQ(installed, c.installed);
  }
}

// The next server installs what is still missing, and only that.
TEST_F(RfcStructuresTest, MissingStructuresAreInstalledForTheNextServer) {
  OwnLandscape("T46", "", "install = SAPWLPFNRM 640");
  ASSERT_EQ(statiRfcInstallStructures(), 1);
  const std::vector<RFC_TYPEHANDLE> before = Handles();
  UseLandscape(FixtureDir());  // the fault is gone
  ASSERT_EQ(statiRfcInstallStructures(), 0);
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
