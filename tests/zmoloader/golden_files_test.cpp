// Every file of every kind, for both programs, with and without -a, against
// golden files byte for byte. The goldens name BinDir as @BINDIR@.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "loader_test_env.h"
#include "zmo_test/golden.h"

using namespace zmo::loader;

namespace {

using loader_test::LoaderTest;

struct GoldenCase {
  const char* name;  // folder under tests/fixtures/zmoloader
  const char* db;
  bool snap;
  bool aggregate;
};

constexpr GoldenCase kCases[] = {
    {"corva_snap", "Corva", true, false},     {"corva_snap_a", "Corva", true, true},
    {"corva_stati", "Corva", false, false},   {"corva_stati_a", "Corva", false, true},
    {"tessel_snap", "Tessel", true, false},   {"tessel_snap_a", "Tessel", true, true},
    {"tessel_stati", "Tessel", false, false}, {"tessel_stati_a", "Tessel", false, true},
    {"mssql_snap", "MSSQL", true, false},     {"mssql_snap_a", "MSSQL", true, true},
    {"mssql_stati", "MSSQL", false, false},   {"mssql_stati_a", "MSSQL", false, true},
    {"oracle_snap", "Oracle", true, false},   {"oracle_snap_a", "Oracle", true, true},
    {"oracle_stati", "Oracle", false, false}, {"oracle_stati_a", "Oracle", false, true},
    {"sybase_snap", "Sybase", true, false},   {"sybase_snap_a", "Sybase", true, true},
    {"sybase_stati", "Sybase", false, false}, {"sybase_stati_a", "Sybase", false, true},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos)) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

// The regular files a run left in dir, the trace log, the aggregation
// scripts (golden files of their own) and the data files aside.
std::set<std::string> WrittenFiles(const std::string& dir) {
  std::set<std::string> others = {"trace_zmoldr.log", "zmosnap.sql", "zmostati.sql"};
  for (const std::string& f : loader_test::kDataFiles) others.insert(f);
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    if (!e.is_regular_file() || e.is_symlink()) continue;
    std::string name = e.path().filename().string();
    if (others.count(name) == 0) names.insert(name);
  }
  return names;
}

class GoldenFilesTest : public LoaderTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenFilesTest, EveryFileAsFrozen) {
  const GoldenCase& c = GetParam();
  SetConfig(zmo::cfg::kDB, c.db);
  std::vector<std::string> args;
  if (c.snap) {
    args = {"-p", "SNAP", "-h", "10.20.30.40", "-i", "153"};
    if (c.aggregate) args.insert(args.begin(), "-a");
  } else {
    // As zmostati starts it.
    args = {"-P", "STATI", "-S", "20040109", "-E", "20040110", "-H", "10.20.30.40", "-I", "153"};
    if (c.aggregate) args.insert(args.begin(), "-A");
  }
  ASSERT_EQ(Run(args), 0);

  const std::string golden_dir = std::string(ZMO_TEST_FIXTURES) + "/zmoloader/" + c.name;
  std::set<std::string> written = WrittenFiles(bin_dir());
  if (zmo_test::WritingGoldens()) {
    std::filesystem::remove_all(golden_dir);
    for (const std::string& name : written) {
      zmo_test::ExpectGolden(Replace(Read(Bin(name)), bin_dir(), "@BINDIR@"),
                             golden_dir + "/" + name);
    }
  }
  std::set<std::string> expected = WrittenFiles(golden_dir);
  EXPECT_EQ(written, expected);
  for (const std::string& name : expected) {
    std::string want = Replace(Read(golden_dir + "/" + name), "@BINDIR@", bin_dir());
    EXPECT_EQ(Read(Bin(name)), want) << c.name << "/" << name;
    // Every generated file may hold the clear password: only its owner reads it.
    EXPECT_EQ(std::filesystem::status(Bin(name)).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << name;
  }
  // Every batch ends with Exit: the load batch's good end is its first
  // Exit, and the lines of a failed tool after it end with Exit 1.
  for (const char* bat :
       {"zmoload_snap.bat", "zmoload2_snap.bat", "zmoload_stati.bat", "zmoload2_stati.bat"}) {
    if (expected.count(bat) == 0) continue;
    std::vector<std::string> lines = loader_test::CrlfLines(Read(Bin(bat)));
    const bool corva_window =
        std::string(c.db) == "Corva" && std::string(bat).find('2') == std::string::npos;
    if (corva_window) {
      EXPECT_EQ(lines.back(), "Exit") << bat;
      continue;
    }
    EXPECT_EQ(lines.back(), "Exit 1") << bat;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Exit"), 1) << bat;
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, GoldenFilesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
