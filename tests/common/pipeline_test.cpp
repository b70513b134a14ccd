// The pipeline's contract: the rows the programs share and the command lines
// they build for zmomsg and zmoloader.

#include "common/pipeline.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

using zmo::Collection;
using zmo::PipelineProgram;

// Each table is indexed by its enum: a row out of place would hand one
// program's names to another.
TEST(PipelineTableTest, EachRowStandsAtItsEnumerator) {
  for (size_t i = 0; i < std::size(zmo::kPipelinePrograms); ++i) {
    EXPECT_EQ(static_cast<size_t>(zmo::kPipelinePrograms[i].program), i);
  }
  for (size_t i = 0; i < std::size(zmo::kCollections); ++i) {
    EXPECT_EQ(static_cast<size_t>(zmo::kCollections[i].collection), i);
  }
  for (size_t i = 0; i < std::size(zmo::kPipelineFiles); ++i) {
    EXPECT_EQ(static_cast<size_t>(zmo::kPipelineFiles[i].file), i);
  }
}

TEST(PipelineTableTest, NamesAndLettersFindTheirRows) {
  std::set<char> letters;
  std::set<std::string> names;
  for (const zmo::PipelineFileRow& f : zmo::kPipelineFiles) {
    EXPECT_TRUE(letters.insert(f.table).second) << f.table;
    EXPECT_TRUE(names.insert(f.collecting).second) << f.collecting;
    EXPECT_TRUE(names.insert(f.hand_over).second) << f.hand_over;
    EXPECT_EQ(zmo::pipelineFileOfTable(f.table), &f);
  }
  EXPECT_EQ(zmo::pipelineFileOfTable('x'), nullptr);

  EXPECT_EQ(zmo::collectionNamed("SNAP"), &zmo::collectionRow(Collection::kSnap));
  EXPECT_EQ(zmo::collectionNamed("STATI"), &zmo::collectionRow(Collection::kStati));
  EXPECT_EQ(zmo::collectionNamed("stati"), nullptr);  // compared exactly
  EXPECT_EQ(zmo::collectionNamed("PERF"), nullptr);   // a log, not a collection

  ASSERT_NE(zmo::summaryLogRow("PERF"), nullptr);
  EXPECT_STREQ(zmo::summaryLogRow("PERF")->log_name, "trace_zmoperfsum.log");
  EXPECT_EQ(zmo::summaryLogRow("Snap"), nullptr);
}

TEST(PipelineTableTest, PathsAndArchiveNames) {
  EXPECT_EQ(zmo::programPath("/opt/zmo/", PipelineProgram::kMsg), "/opt/zmo/zmomsg");
  EXPECT_EQ(zmo::programPath("/opt/zmo", PipelineProgram::kLoader), "/opt/zmo/zmoloader");
  EXPECT_EQ(zmo::archiveFileName("cpu", "20240131_1"), "cpu_20240131_1.dat");
  EXPECT_EQ(zmo::optionText('t'), "-T");
}

struct MsgCase {
  const char* name;
  PipelineProgram sender;
  Collection collection;
  bool tab;
  std::vector<std::string> argv;
};

// Each program's zmomsg call, as it has always spelled it.
TEST(PipelineCallTest, ZmomsgArgumentsInEachProgramsForm) {
  const MsgCase cases[] = {
      {"stati first",
       PipelineProgram::kStati,
       Collection::kStati,
       false,
       {"/b/zmomsg", " -P STATI", " -M \"a b\""}},
      {"stati later",
       PipelineProgram::kStati,
       Collection::kStati,
       true,
       {"/b/zmomsg", " -T", " -P STATI", " -M \"a b\""}},
      {"snap",
       PipelineProgram::kSnap,
       Collection::kSnap,
       false,
       {"/b/zmomsg", " -p SNAP", " -m \"a b\""}},
      {"loader",
       PipelineProgram::kLoader,
       Collection::kSnap,
       true,
       {"/b/zmomsg", " -P SNAP", " -T", " -M \"a b\""}},
  };
  for (const MsgCase& c : cases) {
    EXPECT_EQ(zmo::zmomsgArgv(c.sender, c.collection, "/b/zmomsg", "a b", c.tab), c.argv) << c.name;
  }
}

// The text reaches zmomsg as one argument whatever it holds: a quote inside
// or a backslash at its end does not end the value early.
TEST(PipelineCallTest, MessageTextComesBackWhole) {
  for (const std::string text : {"plain", "a \"quoted\" word", "ends in \\", "C:\\dir\\"}) {
    const std::vector<std::string> argv =
        zmo::zmomsgArgv(PipelineProgram::kStati, Collection::kStati, "/b/zmomsg", text, true);
    const std::vector<std::string> args = zmo::SplitCommandLine(zmo::JoinCommandLine(argv));
    const std::vector<std::string> expected = {"/b/zmomsg", "-T", "-P", "STATI", "-M", text};
    EXPECT_EQ(args, expected) << text;
  }
}

TEST(PipelineCallTest, LoaderArgumentsInEachCollectorsForm) {
  zmo::LoaderCall call;
  call.start_date = "20240131";
  call.end_date = "20240201";
  call.host = "10.0.0.7";
  call.pid = "4711";
  const std::vector<std::string> stati = {"/b/zmoloader", " -A",          " -P STATI",
                                          " -S 20240131", " -E 20240201", " -H 10.0.0.7",
                                          " -I 4711"};
  EXPECT_EQ(zmo::loaderArgv(Collection::kStati, "/b/zmoloader", call), stati);
  call.debug = true;
  std::vector<std::string> stati_debug = stati;
  stati_debug.push_back(" -D");
  EXPECT_EQ(zmo::loaderArgv(Collection::kStati, "/b/zmoloader", call), stati_debug);
  call.debug = false;
  // zmosnap names no interval, and its program element has no leading blank.
  const std::vector<std::string> snap = {"/b/zmoloader", " -a", "-p SNAP", " -h 10.0.0.7",
                                         " -i 4711"};
  EXPECT_EQ(zmo::loaderArgv(Collection::kSnap, "/b/zmoloader", call), snap);
}

}  // namespace
