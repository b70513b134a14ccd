// Loads that fail, and intervals collected again, on the real warehouse:
// a load is never reported done when its work did not commit, and a record
// reaches the warehouse once however often its interval is collected,
// handed over and loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stati_world.h"
#include "zmo_test/config_store.h"
#include "zmo_test/matchers.h"
#include "zmostati/entry.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;
using namespace warehouse_test;

// The steps of the first day but the excluded user's, and of both days.
constexpr const char* kFirstDaySteps = "6";
constexpr const char* kBothDaysSteps = "9";

class FailedLoadTest : public StatiWorld {
 protected:
  std::string Steps() { return db_->Value("select coalesce(sum(diag_count), 0) from r3_progresp"); }
  // The data source of a database that is not there: every logon is refused.
  void RefuseLogons() {
    Set(zmo::cfg::kDSN, "pg:" + SocketDir() + ":" + Port() + ":no_such_database");
  }
  void AcceptLogons() { Set(zmo::cfg::kDSN, db_->Dsn()); }
  std::string Trace() { return Read(bin_ + "trace_zmostati.log"); }
};

// The connection ends in the middle of the aggregation (the backend is
// terminated when it reaches the service levels): the server undoes the
// run's work, so the batch reports a failed load, keeps the file, and
// leaves the group date and the rename file for the run that does the work.
TEST_F(FailedLoadTest, AConnectionLostInTheAggregationKeepsEverythingForTheNextRun) {
  Write(bin_ + "zmogrpupdt.dat", Pad("Sales Europe", 35) + Pad("Sales", 35));
  db_->Query(
      "create function zmo_lose_connection() returns trigger language plpgsql as "
      "$$ begin perform pg_terminate_backend(pg_backend_pid()); return null; end $$");
  db_->Query(
      "create trigger zmo_lose before insert on r3_tx_sla for each statement "
      "execute function zmo_lose_connection()");
  Collect(kFirstRun, kStatiRunLoadFailed);

  EXPECT_EQ(Steps(), "0") << "the aggregation was undone";
  EXPECT_EQ(db_->Value("select count(*) from r3_tcode_group"), "0");
  EXPECT_TRUE(ArchiveFiles().empty());
  EXPECT_EQ(StatRecordLines(Read(bin_ + "zmostati.dat")).size(), 7u) << "the file is kept";
  std::vector<std::string> wanted = kProgress;
  wanted.push_back(kLoadFailed);
  EXPECT_EQ(Progress(wanted),
            (std::vector<std::string>{kProgress[0], kProgress[1], kProgress[2], kLoadFailed}))
      << "no end of an aggregation that did not commit";
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kCustomGroupDate), "never");
  EXPECT_TRUE(std::filesystem::exists(bin_ + "zmogrpupdt.dat"));
  EXPECT_EQ(OtherTables(), "0") << "the failed run's staging table is dropped";

  db_->Query("drop trigger zmo_lose on r3_tx_sla");
  // The next day's run loads the kept file (its own records wait), the one
  // after hands those over.
  Collect(kFirstRun + kDay);
  EXPECT_EQ(Steps(), kFirstDaySteps);
  EXPECT_EQ(zmo_test::ConfigText(zmo::cfg::kCustomGroupDate).size(), 24u)
      << "the group file's time, stored once the aggregation committed";
  EXPECT_FALSE(std::filesystem::exists(bin_ + "zmogrpupdt.dat"));
  EXPECT_EQ(db_->Value("select count(*) from r3_tcode_group where group_name = 'Sales Europe'"),
            "2")
      << "the renames reached the group table";
  Collect(kFirstRun + 2 * kDay);
  EXPECT_EQ(Steps(), kBothDaysSteps);
}

// The check of the marks cannot run (a warehouse made before the marks'
// table, say): that is a failed load, not a file already loaded, so the
// file is kept unloaded rather than archived.
TEST_F(FailedLoadTest, ACheckThatFailsIsAFailedLoadNotALoadedFile) {
  db_->Query("alter table r3_load_done rename to r3_load_done_gone");
  Collect(kFirstRun, kStatiRunLoadFailed);
  EXPECT_EQ(Steps(), "0");
  EXPECT_TRUE(ArchiveFiles().empty());
  EXPECT_EQ(StatRecordLines(Read(bin_ + "zmostati.dat")).size(), 7u);

  db_->Query("alter table r3_load_done_gone rename to r3_load_done");
  Collect(kFirstRun + kDay);
  EXPECT_EQ(Steps(), kFirstDaySteps);
  EXPECT_EQ(ArchiveFiles().size(), 1u);
}

// The same interval collected again and again, as a user would with
// zmostati -nr: while its load fails, after it failed, and after it
// succeeded. The records that wait for the loader are not read again, and
// the warehouse's interval marks keep a loaded interval from counting twice.
TEST_F(FailedLoadTest, TheSameIntervalCollectedAgainCountsOnce) {
  RefuseLogons();
  Collect(kFirstRun, kStatiRunLoadFailed);
  Collect(kFirstRun, kStatiRunLoadFailed);
  EXPECT_THAT(Trace(),
              HasText("the records of host <sapw46.example.net> for this interval wait for "
                      "the loader already, not read again"));
  EXPECT_EQ(Steps(), "0");

  AcceptLogons();
  Collect(kFirstRun);
  EXPECT_EQ(Steps(), kFirstDaySteps);
  // Loaded: the next -nr of it reads the records again, and the warehouse
  // counts none of them twice.
  Collect(kFirstRun);
  EXPECT_EQ(Steps(), kFirstDaySteps);
  Collect(kFirstRun + kDay);
  EXPECT_EQ(Steps(), kBothDaysSteps);
  EXPECT_EQ(db_->Value("select count(*) from r3_interval_done"), "4")
      << "two intervals of one server, each for its batch-step and its normal records";
}

// A copy of a loaded interval that reaches a load together with a new
// interval (a kept file copied back, or collected by an earlier version):
// the file is new, so no file mark stops it, and the interval marks leave
// the copy's records out while the new interval's are loaded.
TEST_F(FailedLoadTest, ACopyOfALoadedIntervalInANewFileCountsOnce) {
  Collect(kFirstRun);
  ASSERT_EQ(ArchiveFiles().size(), 1u);
  Write(bin_ + "zmo_stati.dat", Read(ArchiveFiles()[0]));
  Collect(kFirstRun + kDay);
  EXPECT_EQ(ArchiveFiles().size(), 2u);
  EXPECT_EQ(Steps(), kBothDaysSteps);
  EXPECT_EQ(db_->Value("select sum(user_count) from r3_user_sum"),
            db_->Value("select count(*) from (select distinct diag_date, diag_hour, user_name "
                       "from r3_progresp) u"))
      << "the active users counted once too";
}

}  // namespace
