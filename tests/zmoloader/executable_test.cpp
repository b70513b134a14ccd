// The built zmoloader started as the collectors start it: the batch it
// writes runs under the batch interpreter, zmomsg writes the progress lines,
// the loaded files are archived and the archives of the retention dates
// deleted. The warehouse tools on PATH are scripts that end with the exit
// code a test gives them; a tool that is missing or fails keeps the data
// files for the next load.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "loader_test_env.h"
#include "platform/process.h"
#include "zmo_test/matchers.h"

using namespace zmo::loader;

namespace {

using loader_test::CrlfLines;
using loader_test::Day;
using loader_test::LoaderTest;
using loader_test::Program;
using zmo_test::HasText;

class ExecutableTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    std::filesystem::create_symlink(Program("zmomsg"), Bin("zmomsg"));
    std::filesystem::create_directories(tools_dir());
  }
  std::string tools_dir() const { return dir_ / "tools"; }
  // Puts the tools of the Oracle and MSSQL kinds on PATH: the load tools
  // ending with exit_code, the SQL tools with script_exit_code.
  void Tools(int exit_code, int script_exit_code) {
    for (const char* name : {"sqlldr", "sqlplus", "bcp", "isql"}) {
      const bool load = std::string(name) == "sqlldr" || std::string(name) == "bcp";
      std::string path = tools_dir() + "/" + name;
      ASSERT_EQ(zmo::WriteFileAtomic(path, "#!/bin/sh\nexit " +
                                               std::to_string(load ? exit_code : script_exit_code) +
                                               "\n"),
                0);
      std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
  }
  void Tools(int exit_code) { Tools(exit_code, exit_code); }

  int Start(std::vector<const char*> elements) {
    zmo_test::ScopedEnv path("PATH", tools_dir());
    zmo_test::ScopedEnv trace("ZMO_BATCH_TRACE", dir_ / "batch_trace.log");
    elements.insert(elements.begin(), nullptr);
    std::string loader = Program("zmoloader");
    elements[0] = loader.c_str();
    elements.push_back(nullptr);
    return static_cast<int>(_spawnv(_P_WAIT, loader.c_str(), elements.data()));
  }
  void Touch(const std::string& path) { ASSERT_EQ(zmo::WriteFileAtomic(path, "x"), 0); }
  bool InArchive(const std::string& name) {
    return zmo::FileExists((archive_dir() + "/" + name).c_str());
  }
  // The summary log's texts after the tab and time stamp.
  std::vector<std::string> SummaryTexts(const char* log) {
    std::vector<std::string> texts;
    for (std::string line : CrlfLines(Read(Bin(log)))) {
      bool tab = !line.empty() && line[0] == '\t';
      if (tab) line.erase(0, 1);
      texts.push_back((tab ? "\t" : "") + (line.size() > 21 ? line.substr(21) : line));
    }
    return texts;
  }
};

TEST_F(ExecutableTest, NoArgumentAndWrongArgumentExitCodes) {
  EXPECT_EQ(Start({}), 1);
  EXPECT_EQ(Start({" -x"}), 99);
  EXPECT_EQ(Start({" -P", "FOO", " -H 10.20.30.40", " -I 153"}), 1);
}

TEST_F(ExecutableTest, StatiRunArchivesItsFileAndDeletesTheRetentionDates) {
  SetConfig(zmo::cfg::kDB, "Oracle");
  // Rows rejected (2) is a load that was done.
  Tools(2, 0);
  Touch(Bin("zmostati.dat"));
  const std::string today = Day(0);
  const std::vector<std::string> gone = {"stati_" + Day(-7) + "0900.dat",
                                         "stati_" + Day(-8) + "235959.dat",
                                         "stati_" + Day(-9) + "0000_1.dat"};
  const std::vector<std::string> kept = {
      "stati_" + Day(-6) + "1200.dat", "stati_" + Day(-10) + "1200.dat",
      "stati_m_" + Day(-7) + "1200.dat", "cpu_" + Day(-7) + "1200.dat"};
  for (const std::string& n : gone) Touch(archive_dir() + "/" + n);
  for (const std::string& n : kept) Touch(archive_dir() + "/" + n);

  // The elements as zmostati gives them, each with its leading blank.
  ASSERT_EQ(Start({" -P STATI", " -S 20040109", " -E 20040110", " -H 10.20.30.40", " -I 153"}), 0);
  if (Day(0) != today) GTEST_SKIP() << "the date changed during the run";

  EXPECT_FALSE(zmo::FileExists(Bin("zmostati.dat").c_str()));
  int archived = 0;
  for (const auto& e : std::filesystem::directory_iterator(archive_dir())) {
    std::string name = e.path().filename().string();
    if (name.rfind("stati_" + today, 0) == 0) ++archived;
  }
  EXPECT_EQ(archived, 1);
  for (const std::string& n : gone) EXPECT_FALSE(InArchive(n)) << n;
  for (const std::string& n : kept) EXPECT_TRUE(InArchive(n)) << n;

  EXPECT_EQ(SummaryTexts("trace_zmostatisum.log"),
            (std::vector<std::string>{
                "\tLoading of statistics records has started",
                "\tLoading of statistics records has ended",
                "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended"}));
  // The batch ran line by line: its trace names the loader line.
  EXPECT_THAT(Read(dir_ / "batch_trace.log"), HasText("sqlldr"));
}

TEST_F(ExecutableTest, AFailedLoadKeepsTheFileAndSaysSo) {
  struct Case {
    const char* what;
    int tool_exit;  // -1: no tools on PATH
  };
  for (const Case c : {Case{"no tools", -1}, Case{"logon refused", 1}, Case{"killed", 137}}) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(tools_dir());
    std::filesystem::create_directories(tools_dir());
    std::filesystem::remove(Bin("trace_zmostatisum.log"));
    if (c.tool_exit >= 0) Tools(c.tool_exit);
    SetConfig(zmo::cfg::kDB, "Oracle");
    Touch(Bin("zmostati.dat"));
    EXPECT_EQ(Start({" -A", " -P STATI", " -H 10.20.30.40", " -I 153"}), kLoaderExitLoadFailed);
    EXPECT_EQ(Read(Bin("zmostati.dat")), "x");
    EXPECT_TRUE(std::filesystem::is_empty(archive_dir()));
    // No aggregation and no end of the load: the failure line instead.
    EXPECT_EQ(SummaryTexts("trace_zmostatisum.log"),
              (std::vector<std::string>{
                  "\tLoading of statistics records has started",
                  "\tLoading of statistics records has failed, the records are kept for the next "
                  "load"}));
  }
}

TEST_F(ExecutableTest, SnapRunArchivesTheFourFilesUnderOneStamp) {
  SetConfig(zmo::cfg::kDB, "MSSQL");
  Tools(0);
  for (const char* f : {"zmosnap.cpu", "zmosnap.dsk", "zmosnap.lan", "zmoavai.dat"}) {
    Touch(Bin(f));
  }
  const std::string today = Day(0);
  ASSERT_EQ(Start({" -a", "-p SNAP", " -h 10.20.30.40", " -i 153"}), 0);
  if (Day(0) != today) GTEST_SKIP() << "the date changed during the run";

  std::vector<std::string> stamps;
  for (const auto& e : std::filesystem::directory_iterator(archive_dir())) {
    std::string name = e.path().filename().string();
    stamps.push_back(name.substr(4));
    EXPECT_TRUE(name.rfind("cpu_", 0) == 0 || name.rfind("dsk_", 0) == 0 ||
                name.rfind("lan_", 0) == 0 || name.rfind("avl_", 0) == 0)
        << name;
  }
  ASSERT_EQ(stamps.size(), 4u);
  for (const std::string& s : stamps) EXPECT_EQ(s, stamps[0]);
  EXPECT_EQ(stamps[0].substr(0, 8), today);

  EXPECT_EQ(
      SummaryTexts("trace_zmosnapsum.log"),
      (std::vector<std::string>{
          "\tLoading of snap records has started", "\tLoading of snap records has ended",
          "\tAggregation of snap records has started", "\tAggregation of snap records has ended",
          "Kestrel Velmar Fieldwatch, Version 5.1.0 - Orvane Suite Collection Ended"}));
}

TEST_F(ExecutableTest, DebugRunStartsNoBatch) {
  Touch(Bin("zmostati.dat"));
  ASSERT_EQ(Start({" -A", " -P STATI", " -H 10.20.30.40", " -I 153", " -D"}), 0);
  EXPECT_TRUE(zmo::FileExists(Bin("zmostati.dat").c_str()));
  EXPECT_TRUE(zmo::FileExists(Bin("zmoload_stati.bat").c_str()));
  EXPECT_EQ(SummaryTexts("trace_zmostatisum.log"),
            (std::vector<std::string>{"\tLoading of statistics records has started"}));
}

}  // namespace
