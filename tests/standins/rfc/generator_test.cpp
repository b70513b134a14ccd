// The seeded generator writes each record straight into its table line:
// the same bytes, record for record, in every release layout and character
// form, as the records it made before it wrote lines directly (the digests
// below were taken from those).
#include "generator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/sap_layouts.h"

namespace {

using zmo::rfc::LineBuffer;

struct DigestCase {
  const char* release;
  std::uint64_t seed;
  unsigned normal_per_hour, batch_per_hour;
  const char* from;
  const char* to;
  unsigned width;  // character width of the tables' layouts
  unsigned batch_lines;
  std::uint64_t batch_digest;
  unsigned normal_lines;
  std::uint64_t normal_digest;
};

// Part hours at both ends, a leap day, a year's end, a whole day, the
// 2- and 4-byte forms of the 6.10 layouts.
constexpr DigestCase kDigests[] = {
    {"46C", 4711, 120, 6, "20240304101500", "20240304125959", 1, 17, 0x9bd77ec4fad5bb99ull, 326,
     0x07c2864ad51d9505ull},
    {"31I", 7, 50, 5, "20240229223000", "20240301013000", 1, 14, 0x27aef2ec8db3676aull, 144,
     0xf7335d4db08c2ff1ull},
    {"40B", 99, 30, 3, "20241231230000", "20250101005959", 1, 6, 0xbc1c02d4fbb253bbull, 60,
     0xb385050c303aa21eull},
    {"45B", 1, 40, 4, "20240304000000", "20240304235959", 1, 96, 0x9b1b13422104f97dull, 960,
     0xde0b9465d1b07cdbull},
    {"620", 20240201, 200, 10, "20240304100000", "20240304115959", 2, 20, 0x567957f4b5fce227ull,
     400, 0x4ed457d02134d167ull},
    {"610", 5, 60, 3, "20240304100000", "20240304105959", 4, 3, 0xf61d7311881b7c36ull, 60,
     0xbc9323a96871c247ull},
};

std::uint64_t Fnv(std::uint64_t h, const unsigned char* bytes, unsigned n) {
  for (unsigned i = 0; i < n; ++i) {
    h ^= bytes[i];
    h *= 0x100000001B3ull;
  }
  return h;
}

zmo::rfc::SimSystem System(const DigestCase& c) {
  zmo::rfc::SimSystem sys;
  sys.client = "100";
  sys.release = c.release;
  sys.generator.enabled = true;
  sys.generator.seed = c.seed;
  sys.generator.normal_per_hour = c.normal_per_hour;
  sys.generator.batch_per_hour = c.batch_per_hour;
  return sys;
}

TEST(GeneratorTest, LinesAreByteForByteTheRecordsOfTheSeed) {
  for (const DigestCase& c : kDigests) {
    const char* tag = zmo::sap::StatLayoutTag(c.release);
    ASSERT_NE(tag, nullptr) << c.release;
    const auto* bl = zmo::sap::FindLayout(zmo::sap::kBatchStructure, tag, c.width);
    const auto* nl = zmo::sap::FindLayout(zmo::sap::kNormalStructure, tag, c.width);
    ASSERT_TRUE(bl != nullptr && nl != nullptr) << c.release;
    std::uint64_t digest[2] = {0xcbf29ce484222325ull, 0xcbf29ce484222325ull};
    unsigned lines[2] = {0, 0};
    std::string last[2];
    zmo::rfc::GenerateFault fault;
    const int rc = zmo::rfc::GenerateLines(
        System(c), c.from, c.to, bl, nl,
        [&](bool batch, const std::string& stamp, LineBuffer line) {
          const int k = batch ? 0 : 1;
          EXPECT_GE(stamp, last[k]) << "end-stamp order";
          EXPECT_GE(stamp, c.from);
          EXPECT_LE(stamp, c.to);
          last[k] = stamp;
          digest[k] = Fnv(digest[k], line.get(), (batch ? bl : nl)->line_size);
          ++lines[k];
          return true;
        },
        &fault);
    ASSERT_EQ(rc, zmo::rfc::kGenerateOk) << c.release << " " << fault.why;
    EXPECT_EQ(lines[0], c.batch_lines) << c.release;
    EXPECT_EQ(digest[0], c.batch_digest) << c.release;
    EXPECT_EQ(lines[1], c.normal_lines) << c.release;
    EXPECT_EQ(digest[1], c.normal_digest) << c.release;
  }
}

TEST(GeneratorTest, OnlyTheWantedKindIsMadeAndTheSinkCanStopIt) {
  const DigestCase& c = kDigests[0];
  const auto* nl = zmo::sap::FindLayout(zmo::sap::kNormalStructure, "46C");
  unsigned batch = 0, normal = 0;
  zmo::rfc::GenerateFault fault;
  auto count = [&](bool is_batch, const std::string&, LineBuffer) {
    ++(is_batch ? batch : normal);
    return normal < 10;
  };
  EXPECT_EQ(zmo::rfc::GenerateLines(System(c), c.from, c.to, nullptr, nl, count, &fault),
            zmo::rfc::kGenerateStopped);
  EXPECT_EQ(batch, 0u);
  EXPECT_EQ(normal, 10u);
}

struct IntervalCase {
  const char* from;
  const char* to;
  int rc;
  unsigned lines;
};

TEST(GeneratorTest, IntervalsOutsideTheGeneratorsReach) {
  const IntervalCase cases[] = {
      {"20240304110000", "20240304100000", zmo::rfc::kGenerateOk, 0},          // reversed
      {"20241304000000", "20241304235959", zmo::rfc::kGenerateOk, 0},          // no date
      {"20240101000000", "20240131235959", zmo::rfc::kGenerateOk, 744 * 126},  // 744 hours
      {"20240101000000", "20240201000000", zmo::rfc::kGenerateTooLong, 0},     // 745
  };
  const auto* bl = zmo::sap::FindLayout(zmo::sap::kBatchStructure, "46C");
  const auto* nl = zmo::sap::FindLayout(zmo::sap::kNormalStructure, "46C");
  zmo::rfc::SimSystem sys = System(kDigests[0]);
  sys.generator.normal_per_hour = 120;
  sys.generator.batch_per_hour = 6;
  for (const IntervalCase& c : cases) {
    unsigned lines = 0;
    zmo::rfc::GenerateFault fault;
    auto count = [&](bool, const std::string&, LineBuffer) { return ++lines > 0; };
    EXPECT_EQ(zmo::rfc::GenerateLines(sys, c.from, c.to, bl, nl, count, &fault), c.rc) << c.from;
    EXPECT_EQ(lines, c.lines) << c.from;
  }
}

}  // namespace
