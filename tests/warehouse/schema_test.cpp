// The warehouse schema: every table with the columns, in the order, that
// the aggregation scripts fill; the seq-id columns numbered by the
// database; and the loader's Oracle scripts running on it without an error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql_dialect.h"
#include "warehouse_test_util.h"

using namespace zmo::loader;

namespace {

using dbtools_test::kKey;
using dbtools_test::Read;
using dbtools_test::Write;
using warehouse_test::Rows;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class SchemaTest : public warehouse_test::WarehouseTest {};

TEST_F(SchemaTest, EveryTableHasTheColumnsTheScriptsFillInTheirOrder) {
  const char* kTables[] = {
      "r3_progresp",       "r3_last_seq",      "r3_application", "r3_trans_sum",
      "r3_prog_sum",       "r3_user_sum",      "r3_cur_prog",    "r3_prev_prog",
      "r3_trans_variance", "r3_prog_variance", "r3_tcode_group", "r3_tx_sla",
      "r3_sla_sum",        "r3_cpu",           "r3_disk",        "r3_lan",
      "r3_cpu_sum",        "r3_disk_sum",      "r3_avail_sum",   "r3_interval_done"};
  for (const char* table : kTables) {
    ASSERT_STRNE(warehouseColumns(table), "") << table;
    EXPECT_EQ(db_->Value("select string_agg(column_name, ',' order by ordinal_position) "
                         "from information_schema.columns where table_name = '" +
                         std::string(table) + "'"),
              Lower(warehouseColumns(table)))
        << table;
  }
  // And the marks of the loaded statistic data files.
  EXPECT_EQ(db_->Value("select count(*) from information_schema.columns where table_name = "
                       "'r3_load_done'"),
            "2");
  EXPECT_EQ(db_->Value("select count(*) from pg_tables where schemaname = 'public'"),
            std::to_string(std::size(kTables) + 1))
      << "no table beyond these";
}

struct SeqCase {
  const char* table;
  const char* column;
};

TEST_F(SchemaTest, SeqIdsAreNumberedInInsertOrderWhenZeroIsInserted) {
  const SeqCase kSeq[] = {{"r3_progresp", "prog_seq_id"}, {"r3_application", "appl_seq_id"},
                          {"r3_user_sum", "user_seq_id"}, {"r3_tx_sla", "sla_seq_id"},
                          {"r3_cpu", "cpu_seq_id"},       {"r3_disk", "disk_seq_id"},
                          {"r3_lan", "lan_seq_id"},       {"r3_avail_sum", "avail_seq_id"}};
  for (const SeqCase& s : kSeq) {
    const std::string t = s.table, c = s.column;
    db_->Query("insert into " + t + " (" + c + ") values (0), (0)");
    db_->Query("insert into " + t + " (" + c + ") values (77)");
    db_->Query("insert into " + t + " (" + c + ") select 0 from generate_series(1, 3)");
    Rows ids = db_->Query("select " + c + " from " + t + " order by ctid");
    EXPECT_EQ(ids, (Rows{{"1"}, {"2"}, {"77"}, {"3"}, {"4"}, {"5"}})) << t;
  }
  // The highest id before a run is a copy, not an id of its own.
  db_->Query("insert into r3_last_seq (prog_seq_id) values (0)");
  EXPECT_EQ(db_->Value("select prog_seq_id from r3_last_seq"), "0");
}

// The loader's Oracle scripts of a run with every switch on: the staging
// tables, then the aggregation, with a row in each staging table.
class OracleScriptsTest : public SchemaTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OracleScriptsTest, RunWithoutAnError) {
  const std::string program = GetParam();
  Write(File("stage.sql"), Golden("oracle_" + program + "_a/zmostage_" + program + ".sql"));
  Run("sqlplus", {db_->Logon(), "@" + File("stage.sql")});
  if (program == "stati") {
    db_->Query("insert into s" + kKey +
               " values ('N', 'sapt46_T46_00', 'sapt46', 'T46_db1', '100', '20240304102958', "
               "'20240304103000', 'VA01', '4001', 'SAPMV45A', '0003', 'D', 'SALES01', 1500, "
               "1499, 800, 1, 0, 0, 1024, 22, 250, 2, 80)");
  } else {
    const std::string prefix = "'sapt46_T46_00', 'sapt46', 'T46_db1', 'T46', ";
    const std::string stamp = "timestamp '2024-03-04 10:15:00'";
    db_->Query("insert into c" + kKey + " values (" + prefix + "100, " + stamp +
               ", 4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12)");
    db_->Query("insert into d" + kKey + " values (" + prefix + "100, " + stamp +
               ", 'sda', 23, 1, 4, 6)");
    db_->Query("insert into l" + kKey + " values (" + prefix + "100, " + stamp +
               ", 'eth0', 15000, 13200, 0, 1, 0)");
    db_->Query("insert into v" + kKey + " values (" + prefix + stamp + ", 1)");
  }
  Write(File("aggregate.sql"), Golden("aggregate/oracle_" + program + ".sql"));
  EXPECT_EQ(Run("sqlplus", {db_->Logon(), "@" + File("aggregate.sql")}), 0) << Stdout();
  const std::string log = Read(File("trace_zmo_agg_" + program + ".log"));
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
  // One transaction, committed by the final EXIT.
  EXPECT_NE(db_->Value(std::string("select count(*) from ") +
                       (program == "stati" ? "r3_progresp" : "r3_avail_sum")),
            "0");
  EXPECT_EQ(db_->Value("select count(*) from pg_tables where tablename like '%" + kKey + "'"), "0")
      << "the staging tables are dropped";
}

INSTANTIATE_TEST_SUITE_P(Programs, OracleScriptsTest, ::testing::Values("stati", "snap"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
