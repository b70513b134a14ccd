// Reading system files strictly: what a good file gives, and for each kind
// of mistake the error naming file and line.
#include <gtest/gtest.h>

#include <string>

#include "landscape.h"
#include "rfc_test_util.h"

namespace {

using rfc_test::kBaseSystem;
using zmo::rfc::SimSystem;

class SystemFileTest : public ::testing::Test {
 protected:
  // Loads text as a file "s.sys"; returns the error ("" when it loaded).
  std::string Load(const std::string& text, SimSystem* out = nullptr) {
    const std::string path = dir_.File("s.sys");
    EXPECT_EQ(zmo::WriteFileAtomic(path, text), 0);
    SimSystem sys;
    std::string error;
    int rc = zmo::rfc::LoadSystemFile(path, out != nullptr ? out : &sys, &error);
    EXPECT_EQ(rc == 0, error.empty()) << error;
    return error;
  }
  std::string Where(int line) { return dir_.File("s.sys") + ":" + std::to_string(line) + ": "; }

  rfc_test::TempDir dir_;
};

TEST_F(SystemFileTest, GoodFileGivesItsValuesAndDefaults) {
  SimSystem s;
  ASSERT_EQ(Load(std::string(kBaseSystem) +
                     "# comment\n; comment too\n"
                     "[function SAPWL_STATREC_READ_FILE]\ndelay_ms = 2500\nexception = NO_DATA\n\n"
                     "[function rfc_system_info]\nlisten_rc = 1\n\n"
                     "[database_host]\ndestination = DB1_DEST\n\n"
                     "[disk db]\nDISKNAME = data01\nUTIL = 70\n\n"
                     "[record normal]\nENDDATE = 20240304\nENDTIME = 120000\nTCODE = \"  VA01\"\n\n"
                     "[record batch]\nENDDATE = 20240304\nENDTIME = 110000\n",
                 &s),
            "");
  EXPECT_EQ(s.name, "s");
  EXPECT_EQ(s.host, "app1.example.net");
  EXPECT_EQ(s.sysnr, 0);
  EXPECT_EQ(s.tzone, "3600");
  EXPECT_EQ(s.dayst, "X");
  EXPECT_EQ(s.Behaviour("SAPWL_STATREC_READ_FILE").delay_ms, 2500);
  EXPECT_EQ(s.Behaviour("SAPWL_STATREC_READ_FILE").exception, "NO_DATA");
  EXPECT_EQ(s.Behaviour("RFC_SYSTEM_INFO").listen_rc, 1);
  EXPECT_EQ(s.Behaviour("SXMI_LOGON").delay_ms, 0);
  EXPECT_FALSE(s.Behaviour("J_8C1_GET_DB_LOG_DEST").absent);
  EXPECT_TRUE(s.Behaviour("NO_SUCH_FUNCTION").absent);
  EXPECT_EQ(s.db_locality, "REMOTE");
  ASSERT_EQ(s.db.disk.size(), 1u);
  ASSERT_EQ(s.records.size(), 2u);
  EXPECT_TRUE(s.records[0].batch);  // sorted by end time
  EXPECT_EQ(s.records[1].end_stamp, "20240304120000");
  EXPECT_EQ(s.records[1].values[2].value, "  VA01");
}

TEST_F(SystemFileTest, WithoutDatabaseHostTheDestinationFunctionIsAbsent) {
  SimSystem s;
  ASSERT_EQ(Load(kBaseSystem, &s), "");
  EXPECT_TRUE(s.Behaviour("J_8C1_GET_DB_LOG_DEST").absent);
  EXPECT_FALSE(s.Behaviour("FILL_SNAPSHOT_DATA").absent);
}

// Each mistake and its message; kBaseSystem has 15 lines, so appended text
// starts on line 16.
TEST_F(SystemFileTest, EveryMistakeIsNamedWithFileAndLine) {
  struct Case {
    std::string text;
    int line;
    std::string message;
  };
  const std::string base = kBaseSystem;
  const Case kCases[] = {
      {base + "[nonsense]\n", 16, "unknown section [nonsense]"},
      {"host = x\n", 1, "key outside a section"},
      {base + "[xmi]\nusers 12\n", 17, "expected key = value"},
      {base + "[xmi\n", 16, "section header without closing ']'"},
      {base + "[xmi a b]\n", 16, "section header must be [name] or [name argument]"},
      {base + "[xmi]\nusers = 1\nusers = 2\n", 18, "key 'users' given twice in [xmi]"},
      {base + "[xmi]\nvisitors = 1\n", 17, "unknown key 'visitors' in [xmi]"},
      {base + "[xmi]\nusers = many\n", 17, "'users' must be a whole number from 0 to 9999999"},
      {base + "[xmi]\n[xmi]\n", 17, "section [xmi] given twice"},
      {base + "[xmi now]\n", 16, "[xmi] takes no argument"},
      {base + "[logon]\n", 16, "section [logon] given twice"},
      {"[system_info]\nsysid = S\ndbhost = d\nrelease = 46C\n", 1, "section [logon] is missing"},
      {"[logon]\nsysnr = 00\nclient = 100\nuser = U\npassword = p\n", 1,
       "[logon] needs key 'host'"},
      {"[logon]\nhost = h\nsysnr = 1x\nclient = 100\nuser = U\npassword = p\n", 3,
       "'sysnr' must be a system number 00 to 99"},
      {"[logon]\nhost = h\nsysnr = 00\nclient = 10\nuser = U\npassword = p\n", 4,
       "'client' must be three digits"},
      {"[logon]\nhost = h\nsysnr = 00\nclient = 100\nuser = ONE TWO\npassword = p\n", 5,
       "'user' must be a word without blanks"},
      {"[logon]\nhost = h\nsysnr = 00\nclient = 100\nuser = U\npassword = \"open\n", 6,
       "value opens a quote it does not close"},
      {base + "[function RFC_PING]\n", 16,
       "[function] needs one of the served function modules, not 'RFC_PING'"},
      {base + "[function SXMI_LOGON]\nexception = A\nsys_exception = B\n", 16,
       "give exception or sys_exception, not both"},
      {base + "[function SXMI_LOGON]\nlisten_rc = 7\n", 17,
       "'listen_rc' must be a failure code (7 means no answer yet)"},
      {base + "[function SXMI_LOGON]\nabsent = maybe\n", 17, "'absent' must be yes or no"},
      {base + "[function SXMI_LOGON]\n[function sxmi_logon]\n", 17,
       "function SXMI_LOGON described twice"},
      {base + "[cpu]\n", 16, "[cpu] needs the host: app or db"},
      {base + "[cpu db]\nNBR_CPU = 2\n", 16, "rows of the db host need a [database_host] section"},
      {base + "[lan app]\nLANNAME = averyverylongname\n", 17,
       "field 'LANNAME': longer than 8 characters"},
      {base + "[mem app]\nFREE = 1\n", 17, "field 'FREE' is not in MEM_ALL"},
      {base + "[record]\n", 16, "[record] needs the kind: batch or normal"},
      {base + "[record normal]\nENDDATE = 20240304\n", 16, "[record] needs ENDDATE and ENDTIME"},
      {base + "[record normal]\nENDDATE = 20240304\nENDTIME = 1200\n", 18,
       "field 'ENDTIME': not 6 digits"},
      {base + "[record normal]\nRESPTI = 1000000000000000\n", 17,
       "field 'RESPTI': more than 15 digits"},
      {base + "[record batch]\nTCODE = VA01\n", 17, "field 'TCODE' is not in SAPWLPFBTC 46C"},
      {base + "[record normal]\nWPID = 5\n", 17, "field 'WPID': not 4 hex digits"},
      {base + "[generator]\nseed = -1\n", 17,
       "'seed' must be a whole number from 0 to 18446744073709551615"},
      {base + "[generator]\nnormal_per_hour = 5\n", 16, "[generator] needs key 'seed'"},
      {std::string("[logon]\nhost = h\nsysnr = 00\nclient = 100\nuser = U\npassword = p\n") +
           "[system_info]\nsysid = S\ndbhost = d\nrelease = 700\n[record normal]\nENDDATE = "
           "20240304\n",
       11, "release 700 has no statistic record layout"},
      {"[logon]\nhost = h\nsysnr = 00\nclient = 100\nuser = U\npassword = p\n[system_info]\nsysid "
       "= S\n"
       "dbhost = d\nrelease = 4\n",
       10, "'release' must be 2 to 4 characters"},
      {std::string(kBaseSystem).replace(std::string(kBaseSystem).find("3600"), 4, "99999"), 13,
       "'tzone' must be a whole number from -86400 to 86400"},
      {base + std::string("[xmi]\nusers = 1\0", 16), 17, "NUL byte in line"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Load(c.text), Where(c.line) + c.message) << c.text;
  }
}

TEST_F(SystemFileTest, LandscapeReadsOnlySysFilesAndRefusesTwoSystemsOnOneAddress) {
  ASSERT_EQ(zmo::WriteFileAtomic(dir_.File("a.sys"), kBaseSystem), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(dir_.File("notes.txt"), "not a system"), 0);
  zmo::rfc::Landscape land;
  std::string error;
  ASSERT_EQ(zmo::rfc::LoadLandscape(dir_.path(), &land, &error), 0) << error;
  ASSERT_EQ(land.systems.size(), 1u);
  EXPECT_NE(land.Find("APP1.example.NET", 0), nullptr);  // host names ignore case
  EXPECT_EQ(land.Find("app1.example.net", 1), nullptr);
  EXPECT_EQ(land.Find("app1", 0), nullptr);

  ASSERT_EQ(zmo::WriteFileAtomic(dir_.File("b.sys"), kBaseSystem), 0);
  EXPECT_EQ(zmo::rfc::SimCheckLandscape(dir_.path(), &error), -1);
  EXPECT_EQ(error, dir_.File("b.sys") +
                       ": host app1.example.net system number 0 is already described by " +
                       dir_.File("a.sys"));
  EXPECT_EQ(zmo::rfc::SimCheckLandscape(dir_.File("missing"), &error), -1);
  EXPECT_EQ(error, "cannot read the system directory " + dir_.File("missing") +
                       ": No such file or directory");
}

TEST_F(SystemFileTest, LibraryFaults) {
  const std::string path = dir_.File("library.conf");
  struct Case {
    std::string text;
    std::string error;  // "" = loads
  };
  const Case kCases[] = {
      {"[faults]\nitcreate = v2_normal_records\nitcreate = USR_TBL\ninstall = SAPWLPFBTC 504\n"
       "install = RFCSI\nitgetline = TF_CPU_ALL 2\nitfree = TF_MEM_ALL\nitdelete = FUNCTIONS\n",
       ""},
      {"[faults]\nitgetline = TF_CPU_ALL\n",
       ":2: 'itgetline' takes a table name and a line number"},
      {"[faults]\ninstall = RFCSI big\n",
       ":2: 'install' takes a structure name and optionally its size"},
      {"[faults]\nitfree = A B\n", ":2: 'itfree' takes a table name only"},
      {"[faults]\ncrash = yes\n", ":2: unknown key 'crash' in [faults]"},
      {"[other]\n", ":1: library.conf holds only a [faults] section"},
  };
  for (const Case& c : kCases) {
    ASSERT_EQ(zmo::WriteFileAtomic(path, c.text), 0);
    zmo::rfc::LibraryFaults f;
    std::string error;
    int rc = zmo::rfc::LoadLibraryFaults(path, &f, &error);
    if (c.error.empty()) {
      ASSERT_EQ(rc, 0) << error;
      EXPECT_EQ(f.itcreate, (std::vector<std::string>{"V2_NORMAL_RECORDS", "USR_TBL"}));
      ASSERT_EQ(f.install.size(), 2u);
      EXPECT_EQ(f.install[0], (std::pair<std::string, unsigned>{"SAPWLPFBTC", 504}));
      EXPECT_EQ(f.install[1].second, 0u);
      EXPECT_EQ(f.itgetline[0], (std::pair<std::string, unsigned>{"TF_CPU_ALL", 2}));
    } else {
      EXPECT_EQ(rc, -1);
      EXPECT_EQ(error, path + c.error);
    }
  }
}

TEST(ExampleFixturesTest, TheFixturesLoad) {
  std::string error;
  EXPECT_EQ(zmo::rfc::SimCheckLandscape(std::string(ZMO_TEST_FIXTURES) + "/sap", &error), 0)
      << error;
}

}  // namespace
