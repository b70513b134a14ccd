// Whole collection runs against the example landscape: records, availability
// lines, the messages and the loader start as the children receive them,
// and the hand-over files.

#include <filesystem>
#include <string>
#include <vector>

#include "collect_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/trace.h"

using namespace zmo::stati;

namespace {

using zmo_test::HasText;

class CollectRun : public CollectWorld {};

TEST_F(CollectRun, LandscapeWithOneUnreachableSystem) {
  // A 167-character line first: too short to be a server.
  WriteServers({kT31, kUnreachable, kT46, kSysInfoFails, kT62, kT70},
               std::string(167, 'x') + "\r\n");
  ASSERT_EQ(Collect(), 0);

  // Six zmomsg starts, then the loader, with the hand-over done before it.
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  auto loader = Loader({});
  loader.push_back("handover file present");
  expected.push_back(loader);
  EXPECT_EQ(Children(), expected);

  // Records of the three systems that answered with a known release.
  const std::vector<std::string> handed = Lines(HandOverFile());
  const std::vector<std::string> records = Records(handed);
  EXPECT_EQ(Read(CollectingFile()), "<none>");
  EXPECT_EQ(CountDestination(records, "sapt31_T31_00"), RecordsOf("T31"));
  EXPECT_EQ(CountDestination(records, "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(CountDestination(records, "sapt62_T62_00"), RecordsOf("T62"));
  EXPECT_EQ(records.size(),
            static_cast<size_t>(RecordsOf("T31") + RecordsOf("T46") + RecordsOf("T62")));
  for (const std::string& r : records) EXPECT_EQ(r.size(), 307u) << r;
  // After each of them, the interval it was read for, once per record kind,
  // in its own time (the trace names it); none for the others.
  for (const char* dest : {"sapt31_T31_00", "sapt46_T46_00", "sapt62_T62_00"}) {
    const std::vector<std::string> intervals = Intervals(handed, dest);
    ASSERT_EQ(intervals.size(), 2u) << dest;
    EXPECT_EQ(intervals[0].substr(0, 1), "B");
    EXPECT_EQ(intervals[1].substr(0, 1), "N");
    const std::string bounds = intervals[0].substr(2);
    EXPECT_EQ(intervals[1].substr(2), bounds);
    EXPECT_THAT(env_.Trace(), HasText("determined remote connection interval from " +
                                      bounds.substr(0, 8) + " " + bounds.substr(8, 6) + " to " +
                                      bounds.substr(15, 8) + " " + bounds.substr(23, 6) + "\n"))
        << dest << " " << bounds;
  }
  for (const char* dest : {"sapt99_T99_00", "saptsi_TSI_03", "sapt70_T70_00"}) {
    EXPECT_TRUE(Intervals(handed, dest).empty()) << dest;
  }
  EXPECT_EQ(handed.size(), records.size() + 6);

  // One availability line per server, in file order.
  const std::vector<std::string> avail = Lines(AvailFile());
  ASSERT_EQ(avail.size(), 6u);
  struct Expect {
    const char* destination;
    const char* host;
    const char* label;
    const char* available;
  } lines[] = {
      {"sapt31_T31_00", "sapt31.example.net", "T31_dbt31", "1"},
      {"sapt99_T99_00", "sapt99.example.net", "NOT_KNOWN", "0"},
      {"sapt46_T46_00", "sapt46.example.net", "T46_dbt46", "1"},
      {"saptsi_TSI_03", "saptsi.example.net", "NOT_KNOWN", "0"},
      {"sapt62_T62_00", "sapt62.example.net", "T62_dbt62.example.net", "1"},
      {"sapt70_T70_00", "sapt70.example.net", "T70_dbt70", "1"},
  };
  for (size_t i = 0; i < 6; ++i) {
    const std::string& l = avail[i];
    SCOPED_TRACE(l);
    ASSERT_EQ(l.size(), 102u);
    EXPECT_EQ(l.substr(0, 20), Pad(lines[i].destination, 20));
    EXPECT_EQ(l.substr(20, 30), Pad(lines[i].host, 30));
    EXPECT_EQ(l.substr(50, 34), Pad(lines[i].label, 34));
    EXPECT_EQ(l.substr(84, 3), std::string(lines[i].destination).substr(7, 3));
    EXPECT_EQ(l.substr(87, 10), "2024030513");
    EXPECT_EQ(l.substr(101), lines[i].available);
  }

  // The router string reached RfcOpen whole.
  bool router_opened = false;
  for (const auto& e : zmo::rfc::SimCallLog()) {
    if (e.event != "open") continue;
    for (const auto& [k, v] : e.values) {
      if (k == "HOST" && v == kT62.host) router_opened = e.result != 0;
    }
  }
  EXPECT_TRUE(router_opened);
  EXPECT_THAT(env_.Trace(),
              HasText("about to connect to host </H/gw.example.net/S/3299/H/sapt62.example.net> "
                      "with sid <T62>, "
                      "client <100>, sysnumber <00> and user <ZMOMON> language <E>\n"));
  EXPECT_THAT(env_.Trace(), HasText("RfcOpen() returned unsuccessfully\n"));
  EXPECT_THAT(env_.Trace(), HasText("statiCallRfcSystemInfo() returned unsuccessfully\n"));
}

TEST_F(CollectRun, StartTracesShowTheElementsThereAre) {
  WriteServers({kT70});
  ASSERT_EQ(Collect(), 0);
  const std::string zmomsg = bin_ + "zmomsg", loader = bin_ + "zmoloader";
  EXPECT_THAT(env_.Trace(),
              HasText("About to execute <" + zmomsg + "> with parameters <" + zmomsg +
                      ">< -P STATI>< -M \"Monitoring for Orvane auto loader started\">.\n"));
  EXPECT_THAT(env_.Trace(), HasText("About to execute <" + zmomsg + "> with parameters <" + zmomsg +
                                    ">< -T>< -P STATI>< -M \"Batch run end time = 120000\">.\n"));
  EXPECT_THAT(env_.Trace(),
              HasText("About to execute <" + loader + "> with parameters <" + loader +
                      ">< -A>< -P STATI>< -S 20240303>< -E 20240305>< -H 10.9.8.7>< -I " +
                      std::to_string(getpid()) + ">.\n"));
}

TEST_F(CollectRun, LoaderDebugAddsItsElement) {
  StatiTestEnv::Set("StatiLoaderDebug", "");
  WriteServers({kT70});
  ASSERT_EQ(Collect(), 0);
  const auto children = Children();
  ASSERT_FALSE(children.empty());
  auto loader = Loader({"-D"});
  loader.push_back("handover file present");
  EXPECT_EQ(children.back(), loader);
}

TEST_F(CollectRun, CatalogTextsWhenTheCatalogIsThere) {
  ASSERT_EQ(symlink(ZMO_TEST_BIN_DIR "/zmocatENU.cat", (env_.Dir() + "zmocatENU.cat").c_str()), 0);
  WriteServers({kT70});
  ASSERT_EQ(Collect(), 0);
  const auto children = Children();
  ASSERT_EQ(children.size(), 7u);
  EXPECT_EQ(children[1], Message("Batch run start date <20240303>"));
  EXPECT_EQ(children[2], Message("Batch run start time <120001>"));
  EXPECT_EQ(children[3], Message("Batch run end date <20240305>"));
  EXPECT_EQ(children[4], Message("Batch run end time <120000>"));
  EXPECT_EQ(children[5], Message("Collection of statistic records has ended"));
  EXPECT_NE(children[0], FirstMessage("Monitoring for Orvane auto loader started"));
  EXPECT_THAT(env_.Trace(), HasText("statiStartQuery() FreeLibrary returned successfully\n"));
}

// The run's message texts without a catalog, and with one that lacks them:
// the built-in texts, each after the trace line that says the catalog text
// could not be had.
TEST_F(CollectRun, BuiltInTextsAreTracedWithAndWithoutACatalog) {
  struct Case {
    const char* name;
    const char* catalog;  // zmocatENU.cat in the program directory, or none
    const char* freed;
  };
  const Case cases[] = {
      {"no catalog", nullptr, "statiStartQuery() FreeLibrary returned unsuccessfully"},
      {"a catalog without the run's texts", "1000\tanother text\n",
       "statiStartQuery() FreeLibrary returned successfully"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(env_.Dir() + "zmocatENU.cat");
    if (c.catalog != nullptr) {
      ASSERT_EQ(zmo::WriteFileAtomic(env_.Dir() + "zmocatENU.cat", c.catalog), 0);
    }
    std::filesystem::remove(env_.Dir() + "children.log");
    std::filesystem::remove(HandOverFile());
    const std::string trace_log = env_.Dir() + "trace_zmostati.log";
    const size_t mark = zmo_test::TraceTextsOf(trace_log).size();
    WriteServers({kT70});
    ASSERT_EQ(Collect(), 0);

    auto expected = StartMessages();
    expected.push_back(EndMessage());
    auto children = Children();
    ASSERT_FALSE(children.empty());
    children.pop_back();  // the loader
    EXPECT_EQ(children, expected);

    const std::vector<std::string> traced = zmo_test::TraceTextsOf(trace_log);
    std::vector<std::string> run_lines;
    for (size_t i = mark; i < traced.size(); ++i) {
      if (traced[i].rfind("statiStartQuery() ", 0) == 0) run_lines.push_back(traced[i]);
    }
    const std::string missing = "statiStartQuery() LoadString returned unsuccessfully";
    EXPECT_EQ(run_lines, (std::vector<std::string>{missing + " msgAutoLoaderStart_Tag", missing,
                                                   missing, missing, missing,
                                                   missing + " msgStatiCollEnd_Tag", c.freed}));
  }
}

// A layout of another release that does not install fails no server; the
// server whose own layout it is fails, and keeps failing while the fault
// lasts.
TEST_F(CollectRun, AStructureThatDoesNotInstallFailsOnlyItsOwnServers) {
  ASSERT_EQ(zmo::WriteFileAtomic(sap_ + "/library.conf", "[faults]\ninstall = SAPWLPFBTC 528\n"),
            0);
  zmo::rfc::SimReset();
  WriteServers({kT62, kT31, kT46, kT62});
  ASSERT_EQ(Collect(), 0);

  const std::vector<std::string> records = Lines(HandOverFile());
  EXPECT_EQ(CountDestination(records, "sapt31_T31_00"), RecordsOf("T31"));
  EXPECT_EQ(CountDestination(records, "sapt46_T46_00"), RecordsOf("T46"));
  EXPECT_EQ(CountDestination(records, "sapt62_T62_00"), 0);
  std::string available;
  for (const std::string& l : Lines(AvailFile())) available += l.back();
  EXPECT_EQ(available, "0110");
  std::vector<std::string> failed;
  for (const std::string& line : zmo_test::TraceTextsOf(env_.Dir() + "trace_zmostati.log")) {
    if (line.rfind("operation/code <RfcInstallStructure", 0) == 0 ||
        line.rfind("statiRfcInstallStructures()", 0) == 0) {
      failed.push_back(line);
    }
  }
  const std::string report =
      "operation/code <RfcInstallStructure of Structure SAPWLPFBTC - 610 failed>";
  EXPECT_EQ(failed, (std::vector<std::string>{
                        report, "statiRfcInstallStructures() returned unsuccessfully", report,
                        report, report, "statiRfcInstallStructures() returned unsuccessfully"}));
}

TEST_F(CollectRun, UndecryptablePasswordIsAFailedServerWithoutALogon) {
  const std::string data =
      Record(kT46, "garbage-not-scrambled") + Record(kT31, "short") + Record(kT70);
  ASSERT_EQ(zmo::WriteFileAtomic(ServerFile(), data), 0);
  ASSERT_EQ(Collect(), 0);
  // No logon is tried without a password: T70's is the only one.
  std::vector<std::string> opened;
  for (const auto& e : zmo::rfc::SimCallLog()) {
    if (e.event == "open") opened.push_back(e.system);
  }
  EXPECT_EQ(opened, std::vector<std::string>{"T70"});
  const auto avail = Lines(AvailFile());
  ASSERT_EQ(avail.size(), 3u);
  EXPECT_EQ(avail[0].substr(50, 9), "NOT_KNOWN");
  EXPECT_EQ(avail[0].back(), '0');
  EXPECT_EQ(avail[1].substr(50, 9), "NOT_KNOWN");
  EXPECT_EQ(avail[1].back(), '0');
  EXPECT_EQ(avail[2].back(), '1');
  EXPECT_THAT(env_.Trace(), HasText("password decryption error\n"));
}

TEST_F(CollectRun, DefaultServerFileWhenStatiInputIsMissing) {
  StatiTestEnv::Delete("StatiInput");
  ASSERT_EQ(zmo::WriteFileAtomic(env_.Dir() + "zmoserver.dat", Record(kT46)), 0);
  ASSERT_EQ(Collect(), 0);
  EXPECT_EQ(CountDestination(Lines(HandOverFile()), "sapt46_T46_00"), RecordsOf("T46"));
}

TEST_F(CollectRun, ServerFileThatCannotBeOpenedEndsTheRunAfterTenAttempts) {
  const std::int64_t start = clock_->NowMillis();
  ASSERT_EQ(zmo::WriteFileAtomic(CollectingFile(), "earlier\r\n"), 0);
  EXPECT_EQ(Collect(), 1);
  EXPECT_EQ(clock_->NowMillis() - start, 30000);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("open infile <" + ServerFile() +
                             "> failed. attempt <10>. sleeping for <3> sec\n"));
  EXPECT_THAT(trace, HasText("unable to open input file <" + ServerFile() + ">\n"));
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  EXPECT_EQ(Children(), expected) << "the end message, and no loader";
  EXPECT_EQ(Lines(AvailFile()).size(), 0u);
  EXPECT_EQ(Read(CollectingFile()), "earlier\r\n");
  EXPECT_EQ(Read(HandOverFile()), "<none>");
}

TEST_F(CollectRun, OutputFileThatCannotBeOpenedEndsTheRun) {
  WriteServers({kT46});
  ASSERT_EQ(mkdir(CollectingFile().c_str(), 0755), 0);  // a directory in its place
  EXPECT_EQ(Collect(), 1);
  EXPECT_THAT(env_.Trace(), HasText("open outfile <" + CollectingFile() + "> failed\n"));
  EXPECT_THAT(env_.Trace(), HasText("unable to open output file <" + CollectingFile() + ">\n"));
  auto expected = StartMessages();
  expected.push_back(EndMessage());
  EXPECT_EQ(Children(), expected);
  EXPECT_TRUE(zmo::rfc::SimCallLog().empty());
}

TEST_F(CollectRun, MissingZmomsgIsTracedAndTheRunGoesOn) {
  ASSERT_EQ(unlink((bin_ + "zmomsg").c_str()), 0);
  WriteServers({kT46});
  ASSERT_EQ(Collect(), 0);
  EXPECT_THAT(env_.Trace(), HasText("statiExecCommand() returned unsuccessfully\n"));
  EXPECT_EQ(CountDestination(Lines(HandOverFile()), "sapt46_T46_00"), RecordsOf("T46"));
  ASSERT_EQ(Children().size(), 1u);
  EXPECT_EQ(Children()[0][0], "zmoloader");
}

TEST_F(CollectRun, MissingLoaderIsAFailedStartAfterTheHandOver) {
  ASSERT_EQ(unlink((bin_ + "zmoloader").c_str()), 0);
  WriteServers({kT46});
  EXPECT_EQ(Collect(), 0);
  const std::string trace = env_.Trace();
  EXPECT_THAT(trace, HasText("spawn(" + bin_ + "zmoloader) returned <-1>.\n"));
  EXPECT_THAT(trace, HasText("errno is <2> (No such file or directory).\n"));
  EXPECT_THAT(trace, HasText("statiExecCommand() returned unsuccessfully\n"));
  EXPECT_EQ(CountDestination(Lines(HandOverFile()), "sapt46_T46_00"), RecordsOf("T46"));
}

}  // namespace
