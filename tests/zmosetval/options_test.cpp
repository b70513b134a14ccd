#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "test_util.h"
#include "zmo_test/usage.h"
#include "zmosetval/zmosetval.h"

using namespace zmo::setval;

namespace {

using zmotest::Argv;

// Runs the scanner to its end and describes what it returned: each option as
// its letter, with "=value" for one that takes a value; "|rest" names the
// first element left unscanned.
struct ScanResult {
  std::string seen;
  std::string messages;
};

ScanResult Scan(Argv args) {
  char* buf = nullptr;
  std::size_t len = 0;
  std::FILE* out = open_memstream(&buf, &len);
  SetvalScanner s;
  ScanResult r;
  int c;
  while ((c = setvalGetopt(&s, args.argc(), args.argv(), kSetvalOptString, "zmosetval", out)) !=
         -1) {
    if (!r.seen.empty()) r.seen += ' ';
    r.seen += static_cast<char>(c);
    if (s.optarg) r.seen += std::string("=") + s.optarg;
  }
  if (s.optind < args.argc()) r.seen += std::string("|") + args.argv()[s.optind];
  std::fclose(out);
  r.messages.assign(buf, len);
  std::free(buf);
  return r;
}

struct ScanCase {
  const char* name;
  Argv args;
  const char* seen;
  const char* messages;
};

TEST(ZmosetvalGetoptTest, Table) {
  ScanCase cases[] = {
      {"separate values",
       {"zmosetval", "-k", "A\\B", "-n", "N", "-v", "-7"},
       "k=A\\B n=N v=-7",
       ""},
      {"value glued to its letter", {"zmosetval", "-kA\\B", "-nN"}, "k=A\\B n=N", ""},
      {"grouped switches", {"zmosetval", "-db", "-k", "K"}, "d b k=K", ""},
      {"group ending in a valued letter", {"zmosetval", "-dkK"}, "d k=K", ""},
      {"group ending in a valued letter, value next", {"zmosetval", "-bk", "K"}, "b k=K", ""},
      {"value that looks like an option", {"zmosetval", "-v", "-d"}, "v=-d", ""},
      {"double dash ends the options", {"zmosetval", "-d", "--", "-b"}, "d|-b", ""},
      {"lone dash ends the options", {"zmosetval", "-", "-d"}, "|-", ""},
      {"operand ends the options, no reordering", {"zmosetval", "x", "-d"}, "|x", ""},
      {"nothing to scan", {"zmosetval"}, "", ""},
      {"illegal letter", {"zmosetval", "-x"}, "?", "zmosetval: illegal option -- x\n"},
      {"illegal letter inside a group",
       {"zmosetval", "-dxb"},
       "d ? b",
       "zmosetval: illegal option -- x\n"},
      {"colon is never a letter", {"zmosetval", "-:"}, "?", "zmosetval: illegal option -- :\n"},
      {"missing value",
       {"zmosetval", "-d", "-k"},
       "d ?",
       "zmosetval: option requires an argument -- k\n"},
      {"o is scanned as a switch", {"zmosetval", "-o"}, "o", ""},
      {"blank takes a value", {"zmosetval", "- x", "-d"}, " =x d", ""},
  };
  for (ScanCase& c : cases) {
    ScanResult r = Scan(c.args);
    EXPECT_EQ(r.seen, c.seen) << c.name;
    EXPECT_EQ(r.messages, c.messages) << c.name;
  }
}

// The parse of a whole command line: accepted or wrong usage, and what it set.
struct ParseCase {
  const char* name;
  Argv args;
  int result;
  const char* out;  // the scanner's messages on standard output
};

TEST(ZmosetvalParseArgsTest, AcceptedOrWrongUsage) {
  ParseCase cases[] = {
      {"set", {"zmosetval", "-k", "K", "-n", "N", "-v", "V"}, 0, ""},
      {"delete a key", {"zmosetval", "-d", "-k", "K"}, 0, ""},
      {"delete a value", {"zmosetval", "-d", "-k", "K", "-n", "N"}, 0, ""},
      {"binary set", {"zmosetval", "-b", "-k", "K", "-n", "N", "-v", "@f"}, 0, ""},
      {"no key", {"zmosetval", "-n", "N", "-v", "V"}, kSetvalUsage, ""},
      {"no key, delete", {"zmosetval", "-d", "-n", "N"}, kSetvalUsage, ""},
      {"set without a value", {"zmosetval", "-k", "K", "-n", "N"}, kSetvalUsage, ""},
      {"set without a name", {"zmosetval", "-k", "K", "-v", "V"}, kSetvalUsage, ""},
      {"no argument", {"zmosetval"}, kSetvalUsage, ""},
      {"illegal option",
       {"zmosetval", "-d", "-k", "K", "-q"},
       kSetvalUsage,
       "zmosetval: illegal option -- q\n"},
      {"o is no option of the program", {"zmosetval", "-o", "-d", "-k", "K"}, kSetvalUsage, ""},
      {"blank is no option of the program",
       {"zmosetval", "- x", "-d", "-k", "K"},
       kSetvalUsage,
       ""},
      {"missing value",
       {"zmosetval", "-d", "-k"},
       kSetvalUsage,
       "zmosetval: option requires an argument -- k\n"},
      {"short root name", {"zmosetval", "-h", "HKLM", "-d", "-k", "K"}, kSetvalUsage, ""},
      {"root name in lower case", {"zmosetval", "-h", "hkey_users", "-d", "-k", "K"}, 0, ""},
      {"program name is the part after the last slash",
       {"/opt/zmo/zmosetval", "-z"},
       kSetvalUsage,
       "zmosetval: illegal option -- z\n"},
      {"options after an operand are not read",
       {"zmosetval", "x", "-d", "-k", "K"},
       kSetvalUsage,
       ""},
  };
  for (ParseCase& c : cases) {
    setvalReset();
    testing::internal::CaptureStdout();
    int result = setvalParseArgs(c.args.argc(), c.args.argv());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
  }
}

TEST(ZmosetvalParseArgsTest, FillsTheOptions) {
  setvalReset();
  Argv args{"zmosetval", "-bd", "-h", "HKEY_CURRENT_USER", "-kSOFTWARE\\X", "-n",
            "Name",      "-v",  "@v"};
  ASSERT_EQ(setvalParseArgs(args.argc(), args.argv()), 0);
  const SetvalOptions& o = setvalState().opt;
  EXPECT_TRUE(o.binary);
  EXPECT_TRUE(o.del);
  EXPECT_EQ(o.root, HKEY_CURRENT_USER);
  EXPECT_EQ(o.key, "SOFTWARE\\X");
  EXPECT_EQ(o.value_name, "Name");
  EXPECT_EQ(o.value, "@v");
  EXPECT_EQ(setvalState().prog, "zmosetval");
}

TEST(ZmosetvalParseArgsTest, DefaultRootIsLocalMachine) {
  setvalReset();
  Argv args{"zmosetval", "-d", "-k", "K"};
  ASSERT_EQ(setvalParseArgs(args.argc(), args.argv()), 0);
  EXPECT_EQ(setvalState().opt.root, HKEY_LOCAL_MACHINE);
}

TEST(ZmosetvalRootByNameTest, SixRootsInAnyCase) {
  EXPECT_EQ(setvalRootByName("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(setvalRootByName("hkey_users"), HKEY_USERS);
  EXPECT_EQ(setvalRootByName("Hkey_Local_Machine"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(setvalRootByName("HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
  EXPECT_EQ(setvalRootByName("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
  EXPECT_EQ(setvalRootByName("HKEY_DYN_DATA"), HKEY_DYN_DATA);
  EXPECT_EQ(setvalRootByName("HKLM"), nullptr);
  EXPECT_EQ(setvalRootByName("HKEY_PERFORMANCE_DATA"), nullptr);
  EXPECT_EQ(setvalRootByName(""), nullptr);
}

TEST(ZmosetvalUsageTest, FourLinesOnStandardError) {
  testing::internal::CaptureStderr();
  usage();
  zmo_test::ExpectUsageText(testing::internal::GetCapturedStderr(), "zmosetval");
}

}  // namespace
