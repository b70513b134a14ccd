// The exclusion lists read by line: what the configurator and the loader
// both take from a list, whether the configurator wrote it or a person did.
#include "common/data_files.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace zmo {

// Found by the test's printer beside the type.
void PrintTo(const IgnoreLineSkipped& s, std::ostream* os) {
  *os << "line " << s.line << (s.fault == IgnoreLineFault::kTooLong ? " too long" : " control");
}

}  // namespace zmo

namespace {

using zmo::IgnoreLineFault;
using zmo::IgnoreLineSkipped;

struct ListCase {
  const char* what;
  const zmo::IgnoreListLayout* layout;
  std::string data;
  std::vector<std::string> entries;
  std::vector<IgnoreLineSkipped> skipped;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.what; }

class ReadIgnoreListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ReadIgnoreListTest, EntriesAndSkippedLines) {
  const ListCase& c = GetParam();
  std::vector<IgnoreLineSkipped> skipped;
  EXPECT_EQ(zmo::readIgnoreList(c.data, *c.layout, &skipped), c.entries);
  EXPECT_EQ(skipped, c.skipped);
  // Without a list for them the skipped lines are only left out.
  EXPECT_EQ(zmo::readIgnoreList(c.data, *c.layout), c.entries);
}

const zmo::IgnoreListLayout* const kIds = &zmo::kIdsToIgnoreLayout;
const zmo::IgnoreListLayout* const kProgs = &zmo::kProgsToIgnoreLayout;
const zmo::IgnoreListLayout* const kTrans = &zmo::kTransToIgnoreLayout;

INSTANTIATE_TEST_SUITE_P(
    Lists, ReadIgnoreListTest,
    ::testing::Values(ListCase{"as the configurator writes it",
                               kIds,
                               "DDIC        \r\nSAP*        \r\nABCDEFGHIJKL\r\n",
                               {"DDIC", "SAP*", "ABCDEFGHIJKL"},
                               {}},
                      ListCase{"by hand, one entry a line, not padded",
                               kIds,
                               "USER1\r\nUSER2\r\nUSER3\r\nUSER4\r\n",
                               {"USER1", "USER2", "USER3", "USER4"},
                               {}},
                      ListCase{"line feeds only, the last line without one",
                               kTrans,
                               "VA01\nSE38\n/nse16",
                               {"VA01", "SE38", "/NSE16"},
                               {}},
                      ListCase{"trimmed and upper-cased by the code page, inner blanks kept",
                               kProgs,
                               "  sapmv45a  \r\nz prog\r\n\xe4nderung\r\n",
                               {"SAPMV45A", "Z PROG", "\xc4NDERUNG"},
                               {}},
                      ListCase{"blank lines hold no entry and still count",
                               kTrans,
                               "\r\n   \r\nVA01\r\n\r\n",
                               {"VA01"},
                               {}},
                      ListCase{"an entry wider than its field is skipped",
                               kIds,
                               "DDIC\r\nABCDEFGHIJKLM\r\n  ABCDEFGHIJKL  \r\nSAP*\r\n",
                               {"DDIC", "ABCDEFGHIJKL", "SAP*"},
                               {{2, IgnoreLineFault::kTooLong}}},
                      ListCase{"a control character skips its line; a CR alone is no line end",
                               kIds,
                               "DDIC\r\nEVIL\x1b\r\nA\tB\r\nX\rY\r\nSAP*",
                               {"DDIC", "SAP*"},
                               {{2, IgnoreLineFault::kControl},
                                {3, IgnoreLineFault::kControl},
                                {4, IgnoreLineFault::kControl}}},
                      ListCase{"empty", kProgs, "", {}, {}}));

// The configurator upper-cases typed entries the same way.
TEST(Cp1252UpperTest, UpperCaseWithAccents) {
  EXPECT_EQ(zmo::cp1252Upper("va01 /nse16 \xE4\xF6\xFC\xE9 \xF7 \x9A\x9C\x9E\xFF \xDF"),
            "VA01 /NSE16 \xC4\xD6\xDC\xC9 \xF7 \x8A\x8C\x8E\x9F \xDF");
}

}  // namespace
