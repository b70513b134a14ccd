// The monitoring calls: RFC_SYSTEM_INFO, the XMI logon, user list and
// logoff, RFC_FUNCTION_SEARCH, J_8C1_GET_DB_LOG_DEST and FILL_SNAPSHOT_DATA.
#include <gtest/gtest.h>

#include <string>

#include "rfc_test_util.h"

namespace {

using rfc_test::kBaseSystem;
using rfc_test::LittleEndian;
using rfc_test::Params;
using rfc_test::Tables;
using rfc_test::Text;

constexpr const char* kMonitoring =
    "[xmi]\nusers = 12\nsessions = 31\n\n"
    "[database_host]\ndestination = DB1_DEST\n\n"
    "[cpu app]\nNBR_CPU = 4\nLOAD1_AVG = 135\nIDLE_TOTAL = 53\n\n"
    "[mem app]\nFREE_MEM = 812000\nPHYS_MEM = 8388608\n\n"
    "[disk app]\nDISKNAME = sda\nUTIL = 23\n\n"
    "[disk app]\nDISKNAME = sdb\nUTIL = 61\nSERIALNR = 7\n\n"
    "[lan app]\nLANNAME = eth0\nIN_PACKETS = 15000\n\n"
    "[cpu db]\nNBR_CPU = 8\n\n"
    "[disk db]\nDISKNAME = data01\nUTIL = 72\n";

class XmiTest : public rfc_test::RfcTest {
 protected:
  void SetUp() override {
    RfcTest::SetUp();
    WriteSystem("s01", std::string(kBaseSystem) + kMonitoring);
    h_ = OpenBase();
    ASSERT_NE(h_, RFC_HANDLE_NULL);
  }
  void TearDown() override {
    RfcClose(RFC_HANDLE_NULL);
    RfcTest::TearDown();
  }
  // Call and receive in one; the exception name in *exception.
  RFC_RC Call(const char* function, Params* out, Params* in, Tables* tables,
              std::string* exception = nullptr) {
    RFC_RC rc =
        RfcCall(h_, function, out ? out->list() : nullptr, tables ? tables->list() : nullptr);
    if (rc != RFC_OK) return rc;
    char* ex = nullptr;
    rc = RfcReceive(h_, in ? in->list() : nullptr, tables ? tables->list() : nullptr, &ex);
    if (exception != nullptr) *exception = ex ? ex : "";
    return rc;
  }
  RFC_HANDLE h_ = RFC_HANDLE_NULL;
};

TEST_F(XmiTest, SystemInfoRecordAndItsCompanions) {
  Params in;
  in.Out("RFCSI_EXPORT", 200).Out("CURRENT_RESOURCES", 4, TYPINT).Out("RFC_LOGIN_COMPLETE", 1);
  ASSERT_EQ(Call("RFC_SYSTEM_INFO", nullptr, &in, nullptr), RFC_OK);
  const std::string si = in.Value("RFCSI_EXPORT");
  EXPECT_EQ(si.substr(53, 8), "S01     ");
  EXPECT_EQ(si.substr(69, 32), "db1" + std::string(29, ' '));
  EXPECT_EQ(si.substr(111, 4), "46C ");
  EXPECT_EQ(si.substr(130, 6), "  3600");
  EXPECT_EQ(si.substr(136, 1), "X");
  EXPECT_EQ(si.substr(13, 32), "app1_S01_00" + std::string(21, ' '));  // destination
  EXPECT_EQ(si.substr(45, 8), "app1    ");
  EXPECT_EQ(in.IntValue("CURRENT_RESOURCES"), 5);
  EXPECT_EQ(in.Value("RFC_LOGIN_COMPLETE"), "X");
}

TEST_F(XmiTest, SystemInfoNeverWritesPastTheCallersBuffer) {
  Params in;
  in.Out("RFCSI_EXPORT", 100)
      .Out("CURRENT_RESOURCES", 2, TYPINT2)
      .Out("MAXIMAL_RESOURCES", 6, TYPC);
  ASSERT_EQ(Call("RFC_SYSTEM_INFO", nullptr, &in, nullptr), RFC_OK);
  EXPECT_EQ(in.Value("RFCSI_EXPORT").size(), 100u);
  EXPECT_EQ(in.Value("RFCSI_EXPORT").substr(53, 3), "S01");
  EXPECT_EQ(in.Value("CURRENT_RESOURCES"), std::string("\x05\x00", 2));
  EXPECT_EQ(in.Value("MAXIMAL_RESOURCES"), "10    ");  // an integer asked for as text
}

TEST_F(XmiTest, UserListOnlyAfterLogonAndUntilLogoff) {
  ITAB_H usr = ItCreate("USR_TBL", 255, 0, 0);
  Tables t;
  t.Add("USR_TBL", usr);
  Params user;
  user.Text("EXTERNAL_USER_NAME", "Velmar_User     ");
  std::string exception;
  EXPECT_EQ(Call("SXMI_XMB_USER_LIST_READ", &user, nullptr, &t, &exception), RFC_EXCEPTION);
  EXPECT_EQ(exception, "NOT_LOGGED_ON");

  Params logon, session;
  logon.Text("EXTCOMPANY", "Velmar")
      .Text("EXTPRODUCT", "KLV 3.1")
      .Text("INTERFACE", "XMB")
      .Text("VERSION", "0.1");
  session.Out("SESSIONID", 24);
  ASSERT_EQ(Call("SXMI_LOGON", &logon, &session, nullptr), RFC_OK);
  EXPECT_EQ(Text(session.Value("SESSIONID"), 0, 24), "S0100XMB000001");

  Params count;
  count.Out("NUMBER_OF_ENTRIES", 4, TYPINT);
  ASSERT_EQ(Call("SXMI_XMB_USER_LIST_READ", &user, &count, &t), RFC_OK);
  ASSERT_EQ(ItFill(usr), 3);
  EXPECT_EQ(count.IntValue("NUMBER_OF_ENTRIES"), 3);
  // The summary is the line before the last; its first digit run is the
  // user count, its second the session count.
  EXPECT_EQ(Text(rfc_test::Line(usr, 2), 0, 255), "12 users, 31 sessions");
  EXPECT_EQ(Text(rfc_test::Line(usr, 1), 0, 255), "User list of system S01 for Velmar_User");

  Params logoff;
  logoff.Text("INTERFACE", "XMB");
  EXPECT_EQ(Call("SXMI_LOGOFF", &logoff, nullptr, nullptr), RFC_OK);
  EXPECT_EQ(Call("SXMI_LOGOFF", &logoff, nullptr, nullptr, &exception), RFC_EXCEPTION);
  EXPECT_EQ(Call("SXMI_XMB_USER_LIST_READ", &user, nullptr, &t, &exception), RFC_EXCEPTION);
  ItDelete(usr);
}

TEST_F(XmiTest, LogonBelongsToItsConnection) {
  Params logon;
  logon.Text("INTERFACE", "XMB");
  ASSERT_EQ(Call("SXMI_LOGON", &logon, nullptr, nullptr), RFC_OK);
  RFC_HANDLE other = OpenBase();
  ASSERT_EQ(RfcCall(other, "SXMI_XMB_USER_LIST_READ", nullptr, nullptr), RFC_OK);
  char* ex = nullptr;
  EXPECT_EQ(RfcReceive(other, nullptr, nullptr, &ex), RFC_EXCEPTION);
}

TEST_F(XmiTest, FunctionSearchFindsWhatTheSystemHas) {
  struct Case {
    const char* pattern;
    int lines;
    const char* first;  // FUNCNAME of the first line
  };
  for (const Case& c :
       {Case{"J_8C1_GET_DB_LOG_DEST", 1, "J_8C1_GET_DB_LOG_DEST"}, Case{"SXMI_*", 3, "SXMI_LOGON"},
        Case{"rfc_system_info", 1, "RFC_SYSTEM_INFO"}, Case{"Z_NOTHING", 0, ""},
        Case{"*", 8, "RFC_SYSTEM_INFO"}}) {
    SCOPED_TRACE(c.pattern);
    ITAB_H f = ItCreate("FUNCTIONS", 139, 0, 0);
    Tables t;
    t.Add("FUNCTIONS", f);
    Params name;
    name.Text("FUNCNAME", std::string(c.pattern) + std::string(30 - std::strlen(c.pattern), ' '));
    ASSERT_EQ(Call("RFC_FUNCTION_SEARCH", &name, nullptr, &t), RFC_OK);
    EXPECT_EQ(ItFill(f), c.lines);
    EXPECT_EQ(Text(rfc_test::Line(f, 1), 0, 30), c.first);
    ItDelete(f);
  }
}

TEST_F(XmiTest, WithoutDatabaseHostTheDestinationFunctionIsMissing) {
  WriteSystem("s01", kBaseSystem);
  h_ = OpenBase();
  ITAB_H f = ItCreate("FUNCTIONS", 139, 0, 0);
  Tables t;
  t.Add("FUNCTIONS", f);
  Params name;
  name.Text("FUNCNAME", "J_8C1_GET_DB_LOG_DEST");
  ASSERT_EQ(Call("RFC_FUNCTION_SEARCH", &name, nullptr, &t), RFC_OK);
  EXPECT_EQ(ItFill(f), 0);
  EXPECT_EQ(Call("J_8C1_GET_DB_LOG_DEST", nullptr, nullptr, nullptr), RFC_FAILURE);
  ItDelete(f);
}

TEST_F(XmiTest, DatabaseDestination) {
  Params in;
  in.Out("DESTINATION", 32).Out("LOCALITY", 10);
  ASSERT_EQ(Call("J_8C1_GET_DB_LOG_DEST", nullptr, &in, nullptr), RFC_OK);
  EXPECT_EQ(in.Value("DESTINATION"), "DB1_DEST" + std::string(24, ' '));
  EXPECT_EQ(in.Value("LOCALITY"), "REMOTE    ");
}

TEST_F(XmiTest, SnapshotOfTheApplicationServerAndOfTheDatabaseHost) {
  ITAB_H cpu = ItCreate("TF_CPU_ALL", 48, 0, 0), disk = ItCreate("TF_DISK_SINGLE", 72, 0, 0);
  ITAB_H lan = ItCreate("TF_LAN_SINGLE", 40, 0, 0), mem = ItCreate("TF_MEM_ALL", 48, 0, 0);
  Tables t;
  t.Add("TF_CPU_ALL", cpu)
      .Add("TF_DISK_SINGLE", disk)
      .Add("TF_LAN_SINGLE", lan)
      .Add("TF_MEM_ALL", mem);
  ASSERT_EQ(Call("FILL_SNAPSHOT_DATA", nullptr, nullptr, &t), RFC_OK);
  ASSERT_EQ(ItFill(cpu), 1);
  const std::string c = rfc_test::Line(cpu, 1);
  EXPECT_EQ(LittleEndian(c, 8, 4), 4);     // NBR_CPU
  EXPECT_EQ(LittleEndian(c, 12, 4), 135);  // LOAD1_AVG
  EXPECT_EQ(LittleEndian(c, 44, 4), 53);   // IDLE_TOTAL
  EXPECT_EQ(LittleEndian(c, 4, 2), 1);     // SERIALNR by position
  ASSERT_EQ(ItFill(disk), 2);
  EXPECT_EQ(Text(rfc_test::Line(disk, 2), 6, 36), "sdb");
  EXPECT_EQ(LittleEndian(rfc_test::Line(disk, 2), 44, 4), 61);
  EXPECT_EQ(LittleEndian(rfc_test::Line(disk, 2), 4, 2), 7);  // SERIALNR as given
  ASSERT_EQ(ItFill(lan), 1);
  EXPECT_EQ(LittleEndian(rfc_test::Line(lan, 1), 16, 4), 15000);
  ASSERT_EQ(ItFill(mem), 1);
  EXPECT_EQ(LittleEndian(rfc_test::Line(mem, 1), 24, 4), 812000);

  Params db;
  db.Text("LOCAL_REMOTE", "REMOTE").Text("LOGICAL_DESTINATION", "DB1_DEST" + std::string(24, ' '));
  ASSERT_EQ(Call("FILL_SNAPSHOT_DATA", &db, nullptr, &t), RFC_OK);
  ASSERT_EQ(ItFill(cpu), 1);
  EXPECT_EQ(LittleEndian(rfc_test::Line(cpu, 1), 8, 4), 8);
  ASSERT_EQ(ItFill(disk), 1);
  EXPECT_EQ(Text(rfc_test::Line(disk, 1), 6, 36), "data01");
  EXPECT_EQ(ItFill(lan), 0);  // the answer replaces what the table held
  EXPECT_EQ(ItFill(mem), 0);

  Params unknown;
  unknown.Text("LOGICAL_DESTINATION", "ELSEWHERE");
  std::string exception;
  EXPECT_EQ(Call("FILL_SNAPSHOT_DATA", &unknown, nullptr, &t, &exception), RFC_EXCEPTION);
  EXPECT_EQ(exception, "INVALID_DESTINATION");
  for (ITAB_H x : {cpu, disk, lan, mem}) ItDelete(x);
}

TEST_F(XmiTest, SnapshotTableOfTheWrongSizeIsRefused) {
  ITAB_H cpu = ItCreate("TF_CPU_ALL", 44, 0, 0);
  Tables t;
  t.Add("TF_CPU_ALL", cpu);
  EXPECT_EQ(RfcCall(h_, "FILL_SNAPSHOT_DATA", nullptr, t.list()), RFC_FAILURE);
  EXPECT_EQ(LastMessage(),
            "FILL_SNAPSHOT_DATA: table TF_CPU_ALL: line length 44 does not fit CPU_ALL (48 bytes)");
  ItDelete(cpu);
}

}  // namespace
