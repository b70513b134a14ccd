// The line form the trace logs, the loader's trace and the summary logs
// share: the local-time stamp and CR LF for every "\n".
#include "common/log_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "test_support.h"

namespace {

using zmo_test::ScopedTz;

// 2024-03-05 07:08:09 UTC.
constexpr std::int64_t kMarch5Ms = 1709622489LL * 1000;

TEST(LogLine, TextModeWritesEveryNewlineAsCrLf) {
  struct Case {
    std::string text;
    std::string bytes;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"one\n", "one\r\n"},
      {"\n\n", "\r\n\r\n"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"cr\r\n", "cr\r\r\n"},  // a CR of the text stays, as text mode keeps it
      {std::string("nul\0in", 6), std::string("nul\0in", 6)},
  };
  for (const Case& c : cases) EXPECT_EQ(zmo::textModeText(c.text), c.bytes) << c.text;
}

TEST(LogLine, StampIsTheLocalTimeBeforeLeadAndText) {
  zmo::ScopedFakeClock clock(kMarch5Ms);
  {
    ScopedTz tz("UTC0");
    EXPECT_EQ(zmo::stampedLogText("started\n"), "2024/03/05 07.08.09: started\r\n");
    EXPECT_EQ(zmo::stampedLogText("x", "\t"), "\t2024/03/05 07.08.09: x");
    EXPECT_EQ(zmo::stampedLogText(""), "2024/03/05 07.08.09: ");
  }
  {
    // Five hours west of UTC: the stamp is the local wall clock, a day
    // boundary included.
    ScopedTz tz("EST5");
    EXPECT_EQ(zmo::stampedLogText("a\nb\n"), "2024/03/05 02.08.09: a\r\nb\r\n");
    clock->SetMillis(1709614800LL * 1000);  // 2024-03-05 05:00:00 UTC
    EXPECT_EQ(zmo::stampedLogText("t"), "2024/03/05 00.00.00: t");
    clock->SetMillis(1709614799LL * 1000);
    EXPECT_EQ(zmo::stampedLogText("t"), "2024/03/04 23.59.59: t");
  }
}

}  // namespace
