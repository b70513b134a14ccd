#include "common/system_info.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/network.h"
#include "test_support.h"
#include "zmo_test/host_env.h"

namespace {

using ::testing::ElementsAre;
using zmo_test::ScopedTz;

constexpr std::int64_t kJanuary15 = 1705320000;  // 2024-01-15 12:00:00 UTC
constexpr std::int64_t kJuly15 = 1721044800;     // 2024-07-15 12:00:00 UTC

class SystemInfoTest : public zmo_test::RuntimeTest {
 protected:
};

TEST_F(SystemInfoTest, OffsetIsTheOneInForceDaylightSavingIncluded) {
  struct Case {
    const char* tz;
    std::int64_t utc;
    int offset;
  };
  const Case cases[] = {
      {"UTC0", kJanuary15, 0},
      {"UTC0", kJuly15, 0},
      {zmo_test::kTzBerlin, kJanuary15, 3600},
      {zmo_test::kTzBerlin, kJuly15, 7200},
      {zmo_test::kTzNewYork, kJanuary15, -18000},
      {zmo_test::kTzNewYork, kJuly15, -14400},
      {"IST-5:30", kJuly15, 19800},
      {"NST3:30NDT,M3.2.0,M11.1.0", kJanuary15, -12600},
      {"NST3:30NDT,M3.2.0,M11.1.0", kJuly15, -9000},
      // Either side of the Central European changes of 2024.
      {zmo_test::kTzBerlin, 1711846799, 3600},
      {zmo_test::kTzBerlin, 1711846800, 7200},
      {zmo_test::kTzBerlin, 1729990799, 7200},
      {zmo_test::kTzBerlin, 1729990800, 3600},
  };
  zmo::ScopedFakeClock clock;
  for (const Case& c : cases) {
    ScopedTz tz(c.tz);
    clock->SetTime(static_cast<std::time_t>(c.utc));
    EXPECT_EQ(zmo::getTotalLocalOffsetUTC(), 0);
    EXPECT_EQ(zmo::LocalOffsetUTC(), c.offset) << c.tz << " at " << c.utc;
  }
}

TEST_F(SystemInfoTest, OffsetIsTracedInWholeMinutesTowardZero) {
  zmo::ScopedFakeClock clock(kJuly15 * 1000);
  for (const char* tz : {zmo_test::kTzBerlin, "NST3:30NDT,M3.2.0,M11.1.0", "UTC0"}) {
    ScopedTz scoped(tz);
    zmo::getTotalLocalOffsetUTC();
  }
  EXPECT_THAT(TraceTexts(), ElementsAre("Total local offset to UTC is <120> min",
                                        "Total local offset to UTC is <-150> min",
                                        "Total local offset to UTC is <0> min"));
}

TEST_F(SystemInfoTest, FileSizeIs64BitAndFailuresAreTraced) {
  std::string empty = dir_.File("empty");
  std::string big = dir_.File("big");
  ASSERT_EQ(zmo::WriteFileAtomic(empty, ""), 0);
  ASSERT_EQ(zmo::WriteFileAtomic(big, ""), 0);
  const off_t big_size = (off_t{5} << 30) + 3;
  ASSERT_EQ(truncate(big.c_str(), big_size), 0);

  std::int64_t size = -7;
  EXPECT_EQ(zmo::getFileSize(empty.c_str(), &size), 0);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(zmo::getFileSize(big.c_str(), &size), 0);
  EXPECT_EQ(size, static_cast<std::int64_t>(big_size));

  size = -7;
  EXPECT_EQ(zmo::getFileSize(dir_.File("missing").c_str(), &size), 1);
  EXPECT_EQ(zmo::getFileSize(nullptr, &size), 1);
  EXPECT_EQ(zmo::getFileSize(empty.c_str(), nullptr), 1);
  EXPECT_EQ(size, -7);
  EXPECT_THAT(TraceTexts(),
              ElementsAre("getFileSize(): _stat() failed with <-1> (No such file or "
                          "directory)",
                          "getFileSize(): internal error 1", "getFileSize(): internal error 2"));
}

constexpr const char* kNoName = "";
constexpr const char* kSomeName = "collector1";
constexpr const char* kNoAddress = "";
constexpr const char* kGoodAddress = "10.1.2.3";
constexpr const char* kTooLong = "1234:5678:9abc::1";

TEST_F(SystemInfoTest, AddressFallsBackToLoopbackNeverEmpty) {
  struct Case {
    const char* host;
    const char* address;
    const char* result;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {kSomeName, kGoodAddress, "10.1.2.3", {"myIPaddress() returned IP address <10.1.2.3>"}},
      {kSomeName,
       kNoAddress,
       "127.0.0.1",
       {"myIPaddress() no IPv4 address for host <collector1>, using <127.0.0.1>",
        "myIPaddress() returned IP address <127.0.0.1>"}},
      {kNoName,
       kGoodAddress,
       "127.0.0.1",
       {"myIPaddress() no IPv4 address for host <>, using <127.0.0.1>",
        "myIPaddress() returned IP address <127.0.0.1>"}},
      {kSomeName,
       kTooLong,
       "127.0.0.1",
       {"myIPaddress() no IPv4 address for host <collector1>, using <127.0.0.1>",
        "myIPaddress() returned IP address <127.0.0.1>"}},
  };
  for (const Case& c : cases) {
    zmo::ResetTraceLog();
    zmo::SetTraceSwitch(1);
    zmo_test::UseHost(c.host, c.address);
    char out[zmo::kIpAddressSize];
    std::memset(out, 'x', sizeof(out));
    zmo::myIPaddress(out);
    EXPECT_STREQ(out, c.result);
    EXPECT_EQ(TraceTexts(), c.trace) << c.result;
  }
}

TEST_F(SystemInfoTest, SnapTracesTheHostNameFirst) {
  zmo::SetConsoleProgram(zmo::SnapProgramConfig());
  zmo_test::UseHost(kSomeName, kGoodAddress);
  char out[zmo::kIpAddressSize];
  zmo::myIPaddress(out);
  EXPECT_THAT(TraceTexts(), ElementsAre("local hostname=collector1",
                                        "myIPaddress() returned IP address <10.1.2.3>"));
}

TEST_F(SystemInfoTest, RealLookupGivesADottedIPv4Address) {
  EXPECT_FALSE(zmo::LocalHostName().empty());
  std::string direct = zmo::LocalIPv4Address();
  in_addr parsed;
  if (!direct.empty()) {
    EXPECT_EQ(inet_pton(AF_INET, direct.c_str(), &parsed), 1) << direct;
  }
  char out[zmo::kIpAddressSize];
  zmo::myIPaddress(out);
  EXPECT_EQ(inet_pton(AF_INET, out, &parsed), 1) << out;
  EXPECT_EQ(std::string(out), direct.empty() ? std::string(zmo::kLoopbackAddress) : direct);
}

}  // namespace
