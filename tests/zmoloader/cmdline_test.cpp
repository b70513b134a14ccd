// The command line: options in either case, their trace lines, and the exit
// codes of every argument error.
#include "zmoloader/cmdline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader_test_env.h"
#include "zmo_test/matchers.h"
#include "zmo_test/usage.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;
using ::testing::IsEmpty;
using ::testing::IsSubsetOf;
using zmo_test::HasLine;
using zmo_test::HasText;

constexpr const char* kHalt = "ERROR - ERROR: Execution halting";

struct ErrorCase {
  std::vector<std::string> args;
  int exit_code;
  std::vector<std::string> last_lines;  // the trace log's last lines
};

class CommandLineTest : public LoaderTest {
 protected:
  std::vector<std::string> LastTraceLines(size_t n) {
    std::vector<std::string> texts = TraceTexts();
    if (texts.size() < n) return texts;
    return std::vector<std::string>(texts.end() - static_cast<long>(n), texts.end());
  }
};

TEST_F(CommandLineTest, NoArgumentPrintsTheUsage) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(Run({}), 1);
  zmo_test::ExpectUsageText(::testing::internal::GetCapturedStdout(), "zmoloader");
  // Nothing else is done: no trace log.
  EXPECT_THAT(TraceTexts(), IsEmpty());
}

TEST_F(CommandLineTest, EveryArgumentErrorEndsTheRun) {
  const std::string ok_ip = "10.20.30.40";
  const ErrorCase cases[] = {
      {{"-a"}, 99, {"ERROR - ERROR: IP address not present.", kHalt}},
      {{"-a", "-h", ok_ip}, 99, {"ERROR - ERROR: PID not present.", kHalt}},
      // No halting line after this one.
      {{"-x"},
       99,
       {"zmoLoaderGdLib() loaded <" + Bin("zmogdlib.so") + ">",
        "ERROR - ERROR: Incorrect argument."}},
      {{"-X", "-s", "1"},
       99,
       {"About to process arguments", "zmoLoaderLoadLang() trying <" + Bin("zmocatENU.cat") + ">",
        "zmoLoaderLoadLang() loaded <" + Bin("zmocatENU.cat") + ">",
        "zmoLoaderGdLib() trying <" + Bin("zmogdlib.so") + ">",
        "zmoLoaderGdLib() loaded <" + Bin("zmogdlib.so") + ">",
        "ERROR - ERROR: Incorrect argument."}},
      {{"-"}, 99, {"ERROR - ERROR: Incorrect argument."}},
      {{"-s", "2004011"},
       99,
       {"Start Date=<2004011>", "ERROR - ERROR: Start date not correct, expecting yyyymmdd format",
        kHalt}},
      {{"-s", "2004O110"},
       99,
       {"Start Date=<2004O110>", "ERROR - ERROR: Start date not Numeric, expecting yyyymmdd format",
        kHalt}},
      {{"-S"}, 99, {"ERROR - ERROR: Start date not correct, expecting yyyymmdd format", kHalt}},
      {{"-e", "200401100"},
       99,
       {"End Date=<200401100>", "ERROR - ERROR: End date not correct, expecting yyyymmdd format",
        kHalt}},
      {{"-E", "2004011x"},
       99,
       {"End Date=<2004011x>", "ERROR - ERROR: End date not Numeric, expecting yyyymmdd format",
        kHalt}},
      {{"-h"}, 99, {"ERROR - ERROR: IP address is required.", kHalt}},
      {{"-i"}, 99, {"ERROR - ERROR: PID is required.", kHalt}},
      {{"-p"}, 99, {"ERROR - ERROR: Program is not correct.", kHalt}},
      {{"-v"}, 99, {"ERROR - ERROR: Vendor is required.", kHalt}},
      {{"-h", "10.20.30"},
       99,
       {"Process IP address argument=10.20.30",
        "ERROR - ERROR: IP address not correct, expecting a dotted IPv4 address", kHalt}},
      {{"-h", "10.20.30.40 & del *"},
       99,
       {"Process IP address argument=10.20.30.40 & del *",
        "ERROR - ERROR: IP address not correct, expecting a dotted IPv4 address", kHalt}},
      {{"-h", ok_ip, "-i", "15x"},
       99,
       {"Process PID argument=15x", "ERROR - ERROR: PID not correct, expecting decimal digits",
        kHalt}},
      {{"-p", "FOO", "-h", ok_ip, "-i", "153"},
       1,
       {"ERROR - ERROR: Unknown calling program specified..",
        "ERROR - ERROR: Programs must be SNAP or STATI", kHalt,
        "zmoLoaderFreeLib() returned successfully", "zmoLoaderFreeGdLib() returned successfully"}},
      {{"-v", "XYZ", "-p", "SNAP", "-h", ok_ip, "-i", "153"},
       99,
       {"ERROR - ERROR: Unknown database specified..",
        "ERROR - ERROR: Supported databases are Corva and Oracle", kHalt}},
      {{"-v", "", "-p", "SNAP", "-h", ok_ip, "-i", "153"},
       99,
       {"ERROR - ERROR: Unknown database specified..",
        "ERROR - ERROR: Supported databases are Corva and Oracle", kHalt}},
  };
  for (const ErrorCase& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += " [" + a + "]";
    SCOPED_TRACE(shown);
    ResetRun();
    EXPECT_EQ(Run(c.args), c.exit_code);
    EXPECT_EQ(LastTraceLines(c.last_lines.size()), c.last_lines);
    EXPECT_TRUE(loader_test::SpawnCalls().empty());
  }
}

TEST_F(CommandLineTest, UnknownKindLeavesTheFirstBatchEmpty) {
  EXPECT_EQ(Run({"-v", "Informix", "-p", "STATI", "-h", "10.20.30.40", "-i", "153"}), 99);
  EXPECT_EQ(Read(Bin("zmoload_stati.bat")), "");
}

TEST_F(CommandLineTest, OptionsInEitherCaseAndTheirTraceLines) {
  ASSERT_EQ(Run({"junk", "-A", "-P", "snap", "-V", "oracle", "-S", "20040109", "-E", "20040110",
                 "-F", "some.dat", "-H", "10.20.30.40", "-I", "153", "-D"}),
            0);
  const std::vector<std::string> expected = {
      "Process aggregate argument",
      "Process Program argument=SNAP",
      "Process Vendor argument=ORACLE",
      "Start Date=<20040109>",
      "End Date=<20040110>",
      "Process file argument=some.dat",
      "Process IP address argument=10.20.30.40",
      "Process IP address as a key=010020030040",
      "Process PID argument=153",
      "Process PID as a key=00153",
      "Process Debug argument",
      "Table key=<01002003004000153>",
      "Processing vendor Oracle",
  };
  EXPECT_THAT(expected, IsSubsetOf(TraceTexts()));
  // -v names the kind: DB is not read.
  for (const std::string& t : TraceTexts()) EXPECT_NE(t.rfind("Database=", 0), 0u) << t;
  const LoaderState& s = loaderState();
  EXPECT_EQ(s.table_key, "01002003004000153");
  EXPECT_EQ(s.program, "SNAP");
  EXPECT_EQ(s.aggregate, 1);
  EXPECT_EQ(s.debug, 1);
}

TEST_F(CommandLineTest, WithoutVendorTheKindIsDbAsStored) {
  SetConfig(zmo::cfg::kDB, "oracle");
  ASSERT_EQ(Run({"-p", "SNAP", "-h", "10.20.30.40", "-i", "153", "-d"}), 0);
  EXPECT_THAT(TraceTexts(), HasLine("Database=oracle"));
  EXPECT_THAT(TraceTexts(), HasLine("Processing vendor Oracle"));
}

TEST_F(CommandLineTest, LongPidKeepsEveryDigitInTheKey) {
  ASSERT_EQ(Run({"-p", "STATI", "-h", "10.20.30.40", "-i", "4194303", "-d"}), 0);
  EXPECT_THAT(TraceTexts(), HasLine("Process PID as a key=4194303"));
  EXPECT_THAT(TraceTexts(), HasLine("Table key=<0100200300404194303>"));
  EXPECT_THAT(Read(Bin("zmoklvload.par")), HasText("into table s0100200300404194303\r\n"));
}

TEST_F(CommandLineTest, ProgramValueIsUpperCasedAndCut) {
  std::string long_program(150, 'q');
  EXPECT_EQ(Run({"-p", long_program, "-h", "10.20.30.40", "-i", "153"}), 1);
  EXPECT_EQ(loaderState().program, std::string(99, 'Q'));
}

}  // namespace
