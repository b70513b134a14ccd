// The marks of a load (Oracle kind): the data files' tags, the check script
// the batch starts with, and the inserts of the aggregation.
#include "zmoloader/load_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader_test_env.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;
using ::testing::Not;
using zmo_test::HasText;

class LoadCheckTest : public LoaderTest {
 protected:
  void WriteBin(const std::string& name, const std::string& bytes) {
    ASSERT_EQ(zmo::WriteFileAtomic(Bin(name), bytes), 0);
  }
};

// Length and FNV-1a 64 of the bytes; an empty or missing file has none.
TEST_F(LoadCheckTest, ATagIsTheLengthAndHashOfTheBytes) {
  WriteBin("a.dat", "A\r\n");
  WriteBin("b.dat", "B\r\n");
  WriteBin("empty.dat", "");
  EXPECT_EQ(loadTag(Bin("a.dat")), "3-fadcfb19a107233b");
  EXPECT_EQ(loadTag(Bin("b.dat")), "3-1508f419afe77716");
  EXPECT_EQ(loadTag(Bin("empty.dat")), "");
  EXPECT_EQ(loadTag(Bin("missing.dat")), "");
  EXPECT_EQ(loadTags({Bin("b.dat"), Bin("empty.dat"), Bin("missing.dat"), Bin("a.dat")}),
            (std::vector<std::string>{"3-1508f419afe77716", "3-fadcfb19a107233b"}));
  EXPECT_EQ(loadDoneInsert("3-fadcfb19a107233b"),
            "insert into r3_load_done (load_tag) values ('3-fadcfb19a107233b')");
}

// A snapshot run checks the tags of its files that hold records, and its
// aggregation marks the same tags.
TEST_F(LoadCheckTest, ASnapshotRunChecksAndMarksEachFileWithRecords) {
  WriteBin("zmosnap.cpu", "A\r\n");
  WriteBin("zmosnap.dsk", "");
  WriteBin("zmosnap.lan", "B\r\n");
  ASSERT_EQ(Run({"-a", "-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), 0);
  // The query's answer is the exit code: 4 when a tag is marked, 0 when
  // none is; until it answers, and when it fails, the code says failure.
  EXPECT_EQ(Read(Bin("zmocheck_snap.sql")),
            "whenever sqlerror exit failure rollback\r\n"
            "define zmo_loaded = 1\r\n"
            "column loaded new_value zmo_loaded noprint\r\n"
            "select case when count(*) > 0 then 4 else 0 end loaded from r3_load_done where "
            "load_tag in ('3-fadcfb19a107233b', '3-1508f419afe77716');\r\n"
            "exit &zmo_loaded\r\n");
  const std::vector<std::string> batch = BinLines("zmoload_snap.bat");
  ASSERT_GE(batch.size(), 6u);
  EXPECT_EQ(batch[2], "sqlplus zmouser/secret@WHSE @" + Bin("zmocheck_snap.sql"));
  // 4 and nothing else is "loaded": a failure (1), a warning (2) and a tool
  // that is missing or killed (126 and above) are a failed load.
  EXPECT_EQ(batch[3], "if errorlevel 5 goto zmofailed");
  EXPECT_EQ(batch[4], "if errorlevel 4 goto zmoloaded");
  EXPECT_EQ(batch[5], "if errorlevel 1 goto zmofailed");
  const std::string agg = Read(Bin("zmosnap.sql"));
  for (const char* tag : {"3-fadcfb19a107233b", "3-1508f419afe77716"}) {
    EXPECT_THAT(agg, HasText(loadDoneInsert(tag) + ";\r\n")) << tag;
  }
  EXPECT_LT(agg.find("insert into r3_load_done"), agg.find("EXIT;")) << "before the commit";
}

// Without a file that holds records there is nothing to check or mark.
TEST_F(LoadCheckTest, NoCheckWithoutRecords) {
  WriteBin("zmosnap.cpu", "");
  ASSERT_EQ(Run({"-a", "-p", "SNAP", "-h", "10.20.30.40", "-i", "153"}), 0);
  EXPECT_FALSE(zmo::FileExists(Bin("zmocheck_snap.sql").c_str()));
  EXPECT_THAT(Read(Bin("zmoload_snap.bat")), Not(HasText("zmocheck")));
  EXPECT_THAT(Read(Bin("zmosnap.sql")), Not(HasText("r3_load_done")));
}

// The statistics run checks its one file under its own script name.
TEST_F(LoadCheckTest, AStatisticsRunChecksItsFile) {
  WriteBin("zmostati.dat", "A\r\n");
  ASSERT_EQ(Run({"-A", "-P", "STATI", "-S", "20040109", "-E", "20040110", "-H", "10.20.30.40", "-I",
                 "153"}),
            0);
  EXPECT_THAT(Read(Bin("zmocheck_stati.sql")),
              HasText("from r3_load_done where load_tag in ('3-fadcfb19a107233b');\r\n"));
  EXPECT_THAT(Read(Bin("zmostati.sql")), HasText(loadDoneInsert("3-fadcfb19a107233b")));
}

}  // namespace
