#include "common/rfc_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FieldWord, UpToTheFirstBlankOrZeroByteWithinTheField) {
  const struct {
    std::string bytes;  // the field and what follows it
    unsigned n;
    std::string word;
  } cases[] = {
      {"PRD     ", 8, "PRD"},
      {std::string("PRD\0\0\0\0\0", 8), 8, "PRD"},
      {"ABCDEFGHIJ", 8, "ABCDEFGH"},  // a full field stops at its end
      {"db host ", 8, "db"},
      {"        ", 8, ""},
      {" lead", 5, ""},
      {"xyz", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(zmo::fieldWord(c.bytes.data(), c.n), c.word) << c.bytes;
}

}  // namespace
