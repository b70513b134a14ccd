// One golden StatRecord per release layout and record kind in the Oracle
// form, every column checked, and the standard normal 4.6C record in the
// comma-separated forms and the Corva form.

#include <gtest/gtest.h>

#include <string>

#include "statrec_test_util.h"

using namespace zmo::stati;

namespace {

using statrec_test::StandardLine;

struct Golden {
  const char* release;  // RFCSAPRL as the system gives it
  bool batch;
  const char* line;
};

// Columns in order: RECORD_TYPE, RFC_DEST_STR, HOST_NAME, SYSTEM_LABEL,
// CLIENT, START_DATE, END_DATE, T_CODE, DYNPRO_NUMBER, CUA_PROG, WP_ID,
// TASK_TYPE, USER_NAME, then CPU, response, database, KB transferred, KB
// changed (12), wait, memory, load, GUI time, GUI count, GUI network time.
// The 6.10 lines sum six database times (no MCTI) and three byte counters;
// only normal 4.6C and 6.10 carry GUI figures; batch lines have no program,
// and only 3.x batch lines a transaction.
const Golden kGolden[] = {
    {"31I", true,
     "B"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA                  "
     "4001"
     "                                        "
     "001F"
     "B"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"40B", true,
     "B"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "                    "
     "4001"
     "                                        "
     "001F"
     "B"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"45B", true,
     "B"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "                    "
     "4001"
     "                                        "
     "001F"
     "B"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"46C", true,
     "B"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "                    "
     "4001"
     "                                        "
     "001F"
     "B"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"620", true,
     "B"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "                    "
     "4001"
     "                                        "
     "001F"
     "B"
     "SALES01                       "
     "      46"
     "     123"
     "      19"
     "      20"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"31I", false,
     "N"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA                  "
     "4001"
     "SAPMV45A                                "
     "001F"
     "D"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"40B", false,
     "N"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA01                "
     "4001"
     "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS"
     "001F"
     "D"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"45B", false,
     "N"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA01                "
     "4001"
     "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS"
     "001F"
     "D"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       0"
     "       0"
     "       0"
     "\r\n"},
    {"46C", false,
     "N"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA01                "
     "4001"
     "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS"
     "001F"
     "D"
     "SALES01                       "
     "      46"
     "     123"
     "      39"
     "      54"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       4"
     "       3"
     "       1"
     "\r\n"},
    {"620", false,
     "N"
     "app1_S01_00         "
     "app1.example.net              "
     "S01_db1                           "
     "100"
     "20240131235959"
     "20240201000004"
     "VA01                "
     "4001"
     "SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS"
     "001F"
     "D"
     "SALES01                       "
     "      46"
     "     123"
     "      19"
     "      20"
     "          66"
     "       7"
     "    1793"
     "     105"
     "       4"
     "       3"
     "       1"
     "\r\n"},
};

class StatrecGoldenTest : public statrec_test::StatrecTest {};

TEST_F(StatrecGoldenTest, EachBranchGivesItsOracleLine) {
  for (const Golden& g : kGolden) {
    SCOPED_TRACE(std::string(g.release) + (g.batch ? " batch" : " normal"));
    const char* tag = zmo::sap::StatLayoutTag(g.release);
    ASSERT_NE(tag, nullptr);
    int rc = -1;
    const std::string got = ConvertOne(StandardLine(tag, g.batch), g.batch, g.release, &rc);
    EXPECT_EQ(rc, 0);
    statrec_test::ExpectOracleLine(got, g.line);
  }
}

// The same record in every other kind: "," between fields, no padding, the
// kind's time stamps, Corva's text fields in double quotes; numbers stay
// right-aligned in their widths.
TEST_F(StatrecGoldenTest, OtherKindsSeparateFieldsAndQuoteForCorva) {
  struct Case {
    zmo::DbKind kind;
    const char* line;
  };
  const Case cases[] = {
      {zmo::DbKind::kMssql,
       "N,app1_S01_00,app1.example.net,S01_db1,100,01-31-2024 23:59:59,02-01-2024 00:00:04,"
       "VA01              ,4001,SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS,001F,D,SALES01     ,"
       "      46,     123,      39,      54,          66,       7,    1793,     105,       4,"
       "       3,       1\r\n"},
      {zmo::DbKind::kSybase,
       "N,app1_S01_00,app1.example.net,S01_db1,100,01-31-2024 23:59:59,02-01-2024 00:00:04,"
       "VA01              ,4001,SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS,001F,D,SALES01     ,"
       "      46,     123,      39,      54,          66,       7,    1793,     105,       4,"
       "       3,       1\r\n"},
      {zmo::DbKind::kTessel,
       "N,app1_S01_00,app1.example.net,S01_db1,100,2024-01-31 23:59:59,2024-02-01 00:00:04,"
       "VA01              ,4001,SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS,001F,D,SALES01     ,"
       "      46,     123,      39,      54,          66,       7,    1793,     105,       4,"
       "       3,       1\r\n"},
      {zmo::DbKind::kCorva,
       "\"N\",\"app1_S01_00\",\"app1.example.net\",\"S01_db1\",\"100\","
       "2024-01-31-23.59.59.000000,2024-02-01-00.00.04.000000,\"VA01              \",\"4001\","
       "\"SAPMV45A_ORDER_ENTRY_PROGRAM_OF_40_CHARS\",\"001F\",\"D\",\"SALES01     \","
       "      46,     123,      39,      54,          66,       7,    1793,     105,       4,"
       "       3,       1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zmo::dbKindName(c.kind));
    kind_ = c.kind;
    EXPECT_EQ(ConvertOne(StandardLine("46C", false), false, "46C"), c.line);
  }
}

// Both tables in one conversion: the batch lines first, then the normal
// ones, each in table order.
TEST_F(StatrecGoldenTest, BatchTableComesBeforeNormalTable) {
  statrec_test::Line n1 = StandardLine("46C", false), n2 = StandardLine("46C", false);
  statrec_test::Line b1 = StandardLine("46C", true);
  n1.Text("ACCOUNT", "FIRST");
  n2.Text("ACCOUNT", "SECOND");
  ITAB_H batch = statrec_test::MakeTable("V2_BTC_STEP_RECORDS", {b1});
  ITAB_H normal = statrec_test::MakeTable("V2_NORMAL_RECORDS", {n1, n2});
  StatiConvertJob job = Job("46C");
  job.batchTable = batch;
  job.normalTable = normal;
  const std::string out = Convert(job);
  ASSERT_EQ(out.size(), 3u * 309);
  EXPECT_EQ(out.substr(0, 1), "B");
  EXPECT_EQ(out.substr(309, 1), "N");
  EXPECT_EQ(out.substr(309 + 185, 30), "FIRST" + std::string(25, ' '));
  EXPECT_EQ(out.substr(618 + 185, 30), "SECOND" + std::string(24, ' '));
}

}  // namespace
