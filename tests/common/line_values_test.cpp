// The one rule of what a value may carry into a generated line: the quoting
// of arguments and paths, byte for byte, and the refusals by kind.
#include "common/line_values.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/command_line.h"

namespace {

using zmo::DbKind;
using zmo::LineValue;

TEST(LineValuesTest, QuotedWhenABlankASignASemicolonAQuoteOrACommentWouldBreakIt) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"/opt/zmo/zmostati.dat", "/opt/zmo/zmostati.dat"},
      {"-Psecret", "-Psecret"},
      {"100%", "100%"},
      {"a-b", "a-b"},
      {"/opt/my zmo", "\"/opt/my zmo\""},
      {"a\tb", "\"a\tb\""},
      {"-Pse&cret", "\"-Pse&cret\""},
      {"x|y", "\"x|y\""},
      {"x<y", "\"x<y\""},
      {"x>y", "\"x>y\""},
      {"x^y", "\"x^y\""},
      {"/data/zmo;drop/**/table/**/r3_progresp;.dat",
       "\"/data/zmo;drop/**/table/**/r3_progresp;.dat\""},
      {"/data/o'brien.dat", "\"/data/o'brien.dat\""},
      {"/data/a--b.dat", "\"/data/a--b.dat\""},
      {"dir\\ x\\", "\"dir\\ x\\\\\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zmo::quotedWhenNeeded(c.text), c.line) << c.text;
    // Read back as one argument by the command-line rules.
    EXPECT_EQ(zmo::SplitCommandLine(std::string("tool ") + c.line),
              (std::vector<std::string>{"tool", c.text}))
        << c.text;
  }
}

TEST(LineValuesTest, DoubleQuotedWhateverItHolds) {
  EXPECT_EQ(zmo::doubleQuoted("/opt/zmo"), "\"/opt/zmo\"");
  EXPECT_EQ(zmo::doubleQuoted("a\"b"), "\"a\\\"b\"");
  EXPECT_EQ(zmo::doubleQuoted("a\\\"b"), "\"a\\\\\\\"b\"");
  EXPECT_EQ(zmo::doubleQuoted("end\\"), "\"end\\\\\"");
}

TEST(LineValuesTest, FaultsBySyntaxAndKind) {
  const struct {
    DbKind kind;
    LineValue value;
    const char* text;
    const char* fault;  // "" none
  } cases[] = {
      // Batch lines: every kind, every value it carries.
      {DbKind::kMssql, LineValue::kUser, "a\"b",
       "a double quote, which would end its quotes in a batch line"},
      {DbKind::kSybase, LineValue::kBinDir, "/opt/z\nmo",
       "a control character, which would split the line in a batch line"},
      {DbKind::kTessel, LineValue::kPassword, "p\x7f",
       "a control character, which would split the line in a batch line"},
      {DbKind::kMssql, LineValue::kPassword, "a&b|c<d>e^f;g'h--i%j k", ""},
      // Corva: the logon as bare words, the paths quoted when needed.
      {DbKind::kCorva, LineValue::kInst, "inst;x", "a ';', which would end a Corva statement"},
      {DbKind::kCorva, LineValue::kDsn, "WH'SE",
       "a quote, which would start a quoted text in a Corva statement"},
      {DbKind::kCorva, LineValue::kUser, "zmo\"u",
       "a quote, which would start a quoted text in a Corva statement"},
      {DbKind::kCorva, LineValue::kPassword, "se--cret",
       "'--', which would start a comment in a Corva statement"},
      {DbKind::kCorva, LineValue::kPassword, "a&b|c-d", ""},
      {DbKind::kCorva, LineValue::kStatiOutPut, "/d/zmo;x'y--z.dat", ""},
      {DbKind::kCorva, LineValue::kStatiOutPut, "/d/\"x\".dat",
       "a double quote, which would end its quotes in a batch line"},
      // The instance goes nowhere but into the Corva scripts.
      {DbKind::kOracle, LineValue::kInst, "a;b\"c\n", ""},
      // Oracle: paths in the control files' single quotes.
      {DbKind::kOracle, LineValue::kStatiOutPut, "/d/o'b.dat",
       "a single quote, which would end its quotes in an Oracle control file"},
      {DbKind::kOracle, LineValue::kBinDir, "/opt/it's",
       "a single quote, which would end its quotes in an Oracle control file"},
      {DbKind::kOracle, LineValue::kUser, "o'brien", ""},
      {DbKind::kTessel, LineValue::kStatiOutPut, "/d/o'b;c--d.dat", ""},
      {DbKind::kMssql, LineValue::kStatiOutPut, "/d/o'b.dat", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(zmo::lineValueFault(c.kind, c.value, c.text), c.fault)
        << zmo::lineValueName(c.value) << " " << zmo::dbKindName(c.kind);
  }
}

TEST(LineValuesTest, NamesAreTheRegistryValues) {
  EXPECT_STREQ(zmo::lineValueName(LineValue::kBinDir), "BinDir");
  EXPECT_STREQ(zmo::lineValueName(LineValue::kStatiOutPut), "StatiOutPut");
  EXPECT_STREQ(zmo::lineValueName(LineValue::kInst), "INST");
  EXPECT_STREQ(zmo::lineValueName(LineValue::kUser), "User");
  EXPECT_STREQ(zmo::lineValueName(LineValue::kDsn), "DSN");
  EXPECT_STREQ(zmo::lineValueName(LineValue::kPassword), "Access");
}

}  // namespace
