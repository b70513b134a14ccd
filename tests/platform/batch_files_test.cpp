// The interpreter's file verbs: del with wildcards, and move.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "batch_test_util.h"

namespace {

using zmo_test::BatchTest;
using zmo_test::ReadFile;

// The names in dir, sorted.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    out.push_back(e.path().filename().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

class DelTest : public BatchTest {
 protected:
  void SetUp() override {
    BatchTest::SetUp();
    ASSERT_EQ(mkdir(archive_.c_str(), 0755), 0);
    for (const char* name : kArchive) zmo_test::WriteFile(archive_ + "/" + name, name);
  }
  static constexpr const char* kArchive[] = {
      "cpu_200401030815.dat",   "cpu_200401031200.dat",     "cpu_200401040815.dat",
      "lan_200401030815.dat",   "avl_200401030815.dat",     "cpu_20040103.txt",
      "stati_200401020000.dat", "stati_m_200401030815.dat", "Cpu_200401030815.dat",
  };
  const std::string archive_ = File("ArchiveData");
};

struct DelCase {
  const char* pattern;                 // as the batch line names it, in the archive
  std::vector<std::string> remaining;  // the archive afterwards
};

void PrintTo(const DelCase& c, std::ostream* os) { *os << c.pattern; }

class DelPatternTest : public DelTest, public ::testing::WithParamInterface<DelCase> {};

TEST_P(DelPatternTest, DeletesExactlyTheMatchingFiles) {
  const DelCase& c = GetParam();
  ASSERT_EQ(RunLines({"@echo off", "del \"" + archive_ + "/" + c.pattern + "\""}), 0) << Stderr();
  std::vector<std::string> expected = c.remaining;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(archive_), expected) << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DelPatternTest,
    ::testing::Values(
        // A retention delete takes the day's archives of one prefix only.
        DelCase{"cpu_20040103*.dat",
                {"cpu_200401040815.dat", "lan_200401030815.dat", "avl_200401030815.dat",
                 "cpu_20040103.txt", "stati_200401020000.dat", "stati_m_200401030815.dat",
                 "Cpu_200401030815.dat"}},
        // The collectors' own archives do not match a stati pattern of the loader.
        DelCase{"stati_20040102*.dat",
                {"cpu_200401030815.dat", "cpu_200401031200.dat", "cpu_200401040815.dat",
                 "lan_200401030815.dat", "avl_200401030815.dat", "cpu_20040103.txt",
                 "stati_m_200401030815.dat", "Cpu_200401030815.dat"}},
        DelCase{"???_200401030815.dat",
                {"cpu_200401031200.dat", "cpu_200401040815.dat", "cpu_20040103.txt",
                 "stati_200401020000.dat", "stati_m_200401030815.dat"}},
        DelCase{"*", {}},
        DelCase{"cpu_200401040815.dat",
                {"cpu_200401030815.dat", "cpu_200401031200.dat", "lan_200401030815.dat",
                 "avl_200401030815.dat", "cpu_20040103.txt", "stati_200401020000.dat",
                 "stati_m_200401030815.dat", "Cpu_200401030815.dat"}},
        DelCase{"*_20040109*.dat",
                {"cpu_200401030815.dat", "cpu_200401031200.dat", "cpu_200401040815.dat",
                 "lan_200401030815.dat", "avl_200401030815.dat", "cpu_20040103.txt",
                 "stati_200401020000.dat", "stati_m_200401030815.dat", "Cpu_200401030815.dat"}}));

TEST_F(DelTest, NothingToDeleteIsNoFailure) {
  EXPECT_EQ(RunLines({"@echo off", "del \"" + archive_ + "/cpu_19990101*.dat\"",
                      "del \"" + archive_ + "/none.dat\"", "del \"" + File("no-dir") + "/*.dat\""}),
            0);
  EXPECT_EQ(Stderr(), "");
  EXPECT_EQ(Names(archive_).size(), std::size(kArchive));
}

TEST_F(DelTest, ARelativePatternWorksInTheCurrentDirectory) {
  ASSERT_EQ(RunLines({"@echo off", "cd \"" + archive_ + "\"", "del lan_*.dat avl_*.dat"}), 0);
  EXPECT_FALSE(zmo::FileExists((archive_ + "/lan_200401030815.dat").c_str()));
  EXPECT_FALSE(zmo::FileExists((archive_ + "/avl_200401030815.dat").c_str()));
  EXPECT_EQ(Names(archive_).size(), std::size(kArchive) - 2);
}

TEST_F(DelTest, DirectoriesAreNeverDeleted) {
  ASSERT_EQ(mkdir((archive_ + "/cpu_200401039999.dat").c_str(), 0755), 0);
  EXPECT_EQ(RunLines({"@echo off", "del \"" + archive_ + "/cpu_200401039999.dat\""}), 1);
  EXPECT_NE(Stderr().find("is a directory"), std::string::npos) << Stderr();
  // A wildcard passes over the directory and takes the files.
  EXPECT_EQ(RunLines({"@echo off", "del \"" + archive_ + "/cpu_20040103*.dat\""}), 0);
  EXPECT_TRUE(zmo::FileExists((archive_ + "/cpu_200401039999.dat").c_str()));
  EXPECT_FALSE(zmo::FileExists((archive_ + "/cpu_200401030815.dat").c_str()));
}

TEST_F(DelTest, AWildcardInTheDirectoryIsRefused) {
  EXPECT_EQ(RunLines({"@echo off", "del \"" + dir_ + "/Arch*/cpu_*.dat\""}), 1);
  EXPECT_EQ(Names(archive_).size(), std::size(kArchive));
}

class MoveTest : public BatchTest {};

TEST_F(MoveTest, MovesAFileToItsArchiveName) {
  ASSERT_EQ(mkdir(File("ArchiveData").c_str(), 0755), 0);
  zmo_test::WriteFile(File("zmosnap.cpu"), "records\r\n");
  ASSERT_EQ(RunLines({"@echo off", "move \"" + File("zmosnap.cpu") + "\" \"" +
                                       File("ArchiveData/cpu_200401101530.dat") + "\""}),
            0)
      << Stderr();
  EXPECT_FALSE(zmo::FileExists(File("zmosnap.cpu").c_str()));
  EXPECT_EQ(ReadFile(File("ArchiveData/cpu_200401101530.dat")), "records\r\n");
}

TEST_F(MoveTest, NeverReplacesAnExistingTarget) {
  zmo_test::WriteFile(File("new.dat"), "new");
  zmo_test::WriteFile(File("archive.dat"), "old");
  Tool("probe");
  EXPECT_EQ(
      RunLines({"@echo off", "move \"" + File("new.dat") + "\" \"" + File("archive.dat") + "\"",
                "probe goes-on"}),
      0);
  EXPECT_EQ(ReadFile(File("new.dat")), "new");
  EXPECT_EQ(ReadFile(File("archive.dat")), "old");
  EXPECT_NE(Stderr().find("exists already"), std::string::npos) << Stderr();
  EXPECT_EQ(Calls(), std::vector<std::string>{"probe [goes-on]"});
}

TEST_F(MoveTest, IntoADirectoryKeepsTheName) {
  ASSERT_EQ(mkdir(File("into").c_str(), 0755), 0);
  zmo_test::WriteFile(File("a.dat"), "a");
  ASSERT_EQ(RunLines({"@echo off", "cd " + dir_, "move a.dat into"}), 0) << Stderr();
  EXPECT_EQ(ReadFile(File("into/a.dat")), "a");
}

struct MoveFailure {
  const char* args;  // after "move " (in the temp dir)
  const char* message;
};

void PrintTo(const MoveFailure& c, std::ostream* os) { *os << c.args; }

class MoveFailureTest : public MoveTest, public ::testing::WithParamInterface<MoveFailure> {};

TEST_P(MoveFailureTest, FailsWithErrorLevelOne) {
  zmo_test::WriteFile(File("present.dat"), "p");
  EXPECT_EQ(RunLines({"@echo off", "cd " + dir_, std::string("move ") + GetParam().args}), 1);
  EXPECT_NE(Stderr().find(GetParam().message), std::string::npos) << Stderr();
  EXPECT_EQ(ReadFile(File("present.dat")), "p");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveFailureTest,
    ::testing::Values(MoveFailure{"absent.dat x.dat", "cannot move absent.dat"},
                      MoveFailure{"present.dat", "a source and a target"},
                      MoveFailure{"present.dat a b", "a source and a target"},
                      MoveFailure{"present.dat no-dir/x.dat", "cannot move present.dat to"}));

}  // namespace
