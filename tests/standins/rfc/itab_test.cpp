// Internal tables: 1-based lines, stable line addresses, checked handles,
// and the table faults of library.conf.
#include <gtest/gtest.h>

#include <cstring>

#include "rfc_test_util.h"

namespace {

class ItabTest : public rfc_test::RfcTest {};

TEST_F(ItabTest, LinesAreNumberedFromOneAndNullOutsideTheTable) {
  ITAB_H t = ItCreate("T1", 8, 0, 0);
  ASSERT_NE(t, ITAB_NULL);
  EXPECT_EQ(ItLeng(t), 8u);
  EXPECT_EQ(ItFill(t), 0);
  EXPECT_EQ(ItGetLine(t, 1), nullptr);
  auto* first = static_cast<char*>(ItAppLine(t));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first, 8), std::string(8, '\0'));  // appended lines start zeroed
  std::memcpy(first, "line one", 8);
  std::memcpy(ItAppLine(t), "line two", 8);
  EXPECT_EQ(ItFill(t), 2);
  EXPECT_EQ(ItGetLine(t, 0), nullptr);
  EXPECT_EQ(ItGetLine(t, 1), first);
  EXPECT_EQ(rfc_test::Line(t, 2), "line two");
  EXPECT_EQ(ItGetLine(t, 3), nullptr);
  ItDelete(t);
}

TEST_F(ItabTest, LineAddressesStayValidWhileTheTableGrows) {
  ITAB_H t = ItCreate("T1", 16, 0, 0);
  void* first = ItAppLine(t);
  std::memcpy(first, "kept", 4);
  for (int i = 0; i < 5000; ++i) ItAppLine(t);
  EXPECT_EQ(ItGetLine(t, 1), first);
  EXPECT_EQ(std::memcmp(first, "kept", 4), 0);
  ItDelete(t);
}

TEST_F(ItabTest, FreeEmptiesDeleteEndsTheHandle) {
  ITAB_H t = ItCreate("T1", 4, 0, 0);
  ItAppLine(t);
  EXPECT_EQ(ItFree(t), 0);
  EXPECT_EQ(ItFill(t), 0);
  EXPECT_NE(ItAppLine(t), nullptr);  // still usable
  EXPECT_EQ(ItDelete(t), 0);
  // A deleted or foreign handle is refused, never dereferenced.
  EXPECT_EQ(ItFill(t), -1);
  EXPECT_EQ(ItLeng(t), 0u);
  EXPECT_EQ(ItGetLine(t, 1), nullptr);
  EXPECT_EQ(ItAppLine(t), nullptr);
  EXPECT_EQ(ItFree(t), 1);
  EXPECT_EQ(ItDelete(t), 1);
  EXPECT_EQ(ItFill(ITAB_NULL), -1);
  EXPECT_EQ(ItCreate("T0", 0, 0, 0), ITAB_NULL);
}

TEST_F(ItabTest, LibraryFaultsFailTheNamedTablesOnly) {
  ASSERT_EQ(zmo::WriteFileAtomic(dir_.File("library.conf"),
                                 "[faults]\nitcreate = V2_BTC_STEP_RECORDS\nitfree = TF_CPU_ALL\n"
                                 "itdelete = TF_MEM_ALL\nitgetline = USR_TBL 2\n"),
            0);
  zmo::rfc::SimReset();
  EXPECT_EQ(ItCreate("v2_btc_step_records", 576, 0, 0), ITAB_NULL);
  EXPECT_EQ(LastMessage(),
            "table V2_BTC_STEP_RECORDS could not be created (fault of the simulated library)");
  ITAB_H normal = ItCreate("V2_NORMAL_RECORDS", 672, 0, 0);
  EXPECT_NE(normal, ITAB_NULL);
  ITAB_H cpu = ItCreate("TF_CPU_ALL", 48, 0, 0);
  EXPECT_EQ(ItFree(cpu), 1);
  EXPECT_EQ(ItDelete(cpu), 0);
  ITAB_H mem = ItCreate("TF_MEM_ALL", 48, 0, 0);
  EXPECT_EQ(ItFree(mem), 0);
  EXPECT_EQ(ItDelete(mem), 1);
  ITAB_H usr = ItCreate("USR_TBL", 255, 0, 0);
  for (int i = 0; i < 3; ++i) ItAppLine(usr);
  EXPECT_NE(ItGetLine(usr, 1), nullptr);
  EXPECT_EQ(ItGetLine(usr, 2), nullptr);
  EXPECT_NE(ItGetLine(usr, 3), nullptr);
  ItDelete(usr);
  ItDelete(normal);
}

TEST_F(ItabTest, TablesWorkWithoutAnyLandscape) {
  unsetenv(zmo::rfc::kSystemsEnv);
  ITAB_H t = ItCreate("T1", 4, 0, 0);
  ASSERT_NE(t, ITAB_NULL);
  EXPECT_NE(ItAppLine(t), nullptr);
  EXPECT_EQ(ItFree(t), 0);
  EXPECT_EQ(ItDelete(t), 0);
}

}  // namespace
