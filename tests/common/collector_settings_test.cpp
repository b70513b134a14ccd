#include "common/collector_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/config_values.h"
#include "common/db_kind.h"
#include "test_support.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string K = zmo::cfg::kConfigKey;

class CollectorSettingsTest : public zmo_test::RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    SetConfigText("Unrelated", "x");  // the key exists
    ASSERT_TRUE(key_.Open());
  }
  void SetDword(const char* name, DWORD value) {
    SetConfigValue(name, REG_DWORD, &value, sizeof value);
  }
  void Delete(const char* name) { RegDeleteValueA(key_.get(), name); }
  // Replaces the value: nullopt deletes it, "<dword>" stores a number.
  void Store(const char* name, const std::optional<std::string>& value) {
    Delete(name);
    if (value && *value == "<dword>") {
      SetDword(name, 1);
    } else if (value) {
      SetConfigText(name, *value);
    }
  }
  // The lines traced since the last call.
  std::vector<std::string> NewLines() {
    std::vector<std::string> all = TraceTexts();
    std::vector<std::string> added(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return added;
  }

  zmo::ConfigKey key_;
  size_t seen_ = 0;
};

TEST_F(CollectorSettingsTest, DebugSwitch) {
  const struct {
    int before;
    std::optional<std::string> value;  // nullopt: missing; "<dword>": a number
    int after;
    std::vector<std::string> lines;
  } cases[] = {
      {0, "True", 1, {"debug switched on"}},
      {1, "True", 1, {}},
      {1, "False", 0, {"debug switched off now"}},
      {1, "true", 0, {"debug switched off now"}},
      {1, std::nullopt, 0, {"debug switched off now"}},
      {1, "<dword>", 0, {"debug switched off now"}},
      {0, "False", 0, {}},  // the line goes out with the switch still off
      {1, "True and more", 0, {"debug switched off now"}},
  };
  // A switch of any length and type, and one read as text into a short
  // buffer: only the exact text switches on in either.
  const zmo::ConfigRow rows[] = {
      zmo::switchConfigRow("SnapDebug"),
      {.name = "StatiDebug",
       .maxChars = 5,
       .missing = zmo::ConfigMissing::kDefault,
       .type = zmo::ConfigType::kText},
  };
  for (const zmo::ConfigRow& row : rows) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(row.name) + " " + c.value.value_or("<missing>") + " after " +
                   std::to_string(c.before));
      Store(row.name, c.value);
      zmo::SetTraceSwitch(c.before);
      zmo::readDebugSwitch(key_.get(), row);
      EXPECT_EQ(zmo::TraceSwitch(), c.after);
      EXPECT_EQ(NewLines(), c.lines);
    }
  }
}

TEST_F(CollectorSettingsTest, EveryDatabaseKindByItsName) {
  for (const zmo::DbKindInfo& row : zmo::kDbKinds) {
    const zmo::DbKind kind = row.kind;
    const char* name = row.name;
    SetConfigText("DB", name);
    zmo::DbKind got = static_cast<zmo::DbKind>(-1);
    EXPECT_EQ(zmo::readDbKind(key_.get(), zmo::DbKindRead{}, &got), 0) << name;
    EXPECT_EQ(got, kind);
    EXPECT_EQ(zmo::DatabaseKind(), kind);
    EXPECT_THAT(NewLines(), ElementsAre("producing output for db <" + std::string(name) + ">"));
  }
}

TEST_F(CollectorSettingsTest, DatabaseKindFailures) {
  const std::string standard = "could not query value <DB> for subkey <" + K + ">";
  struct Case {
    const char* label;
    std::optional<std::string> value;  // nullopt: missing; "<dword>": a number
    zmo::DbKindRead how;
    int rc;
    zmo::DbKind kind_after;  // the process's kind after the read; Corva before it
    std::string line;
  };
  const Case cases[] = {
      {"missing", std::nullopt, {}, 2, zmo::DbKind::kCorva, standard},
      {"missing, cleared first", std::nullopt, {true, false}, 2, zmo::DbKind::kNone, standard},
      {"missing, store result",
       std::nullopt,
       {false, true},
       2,
       zmo::DbKind::kCorva,
       standard + " returned <> Return Code <2> buffer size <128>"},
      {"127 characters are read",
       std::string(127, 'O'),
       {},
       4,
       zmo::DbKind::kNone,
       "unknown db format <" + std::string(127, 'O') + "> encountered"},
      {"128 are too many",
       std::string(128, 'O'),
       {false, true},
       2,
       zmo::DbKind::kCorva,
       standard + " returned <> Return Code <234> buffer size <128>"},
      {"not text",
       "<dword>",
       {},
       3,
       zmo::DbKind::kCorva,
       "value <DB> for subkey <" + K + "> has not string format"},
      {"not text, cleared first",
       "<dword>",
       {true, true},
       3,
       zmo::DbKind::kNone,
       "value <DB> for subkey <" + K + "> has not string format"},
      {"lower case", "oracle", {}, 4, zmo::DbKind::kNone, "unknown db format <oracle> encountered"},
      {"unknown",
       "Informix",
       {true, true},
       4,
       zmo::DbKind::kNone,
       "unknown db format <Informix> encountered"},
      {"blank after",
       "Oracle ",
       {},
       4,
       zmo::DbKind::kNone,
       "unknown db format <Oracle > encountered"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Store("DB", c.value);
    zmo::setDatabaseKind(zmo::DbKind::kCorva);
    zmo::DbKind kind = static_cast<zmo::DbKind>(-1);
    EXPECT_EQ(zmo::readDbKind(key_.get(), c.how, &kind), c.rc);
    EXPECT_EQ(zmo::DatabaseKind(), c.kind_after);
    EXPECT_EQ(kind, c.rc == 4 ? zmo::DbKind::kNone : static_cast<zmo::DbKind>(-1))
        << "set only when a name was read";
    EXPECT_THAT(NewLines(), ElementsAre(c.line));
  }
}

TEST_F(CollectorSettingsTest, BinDirRules) {
  const zmo::BinDirRule traced = {10, "too long\n", true};
  const zmo::BinDirRule quiet = {8, "dir too long", false};
  struct Case {
    const char* label;
    zmo::BinDirRule rule;
    std::optional<std::string> value;  // nullopt: missing; "<dword>": a number
    int rc;
    std::string dir;  // "(old)": left as it was
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"taken", traced, "/opt/zmo", 0, "/opt/zmo/", {}},
      {"its separator kept", traced, "/opt/zmo/", 0, "/opt/zmo/", {}},
      {"the longest", traced, "/" + std::string(9, 'd'), 0, "/" + std::string(9, 'd') + "/", {}},
      {"one too long", traced, "/" + std::string(10, 'd'), 8, "(old)", {"too long"}},
      {"empty, traced",
       traced,
       "",
       7,
       "(old)",
       {"entry <BinDir> of subkey <" + K + "> has zero length"}},
      {"empty, quiet", quiet, "", 7, "(old)", {}},
      {"missing",
       quiet,
       std::nullopt,
       5,
       "(old)",
       {"could not query value <BinDir> for subkey <" + K + ">"}},
      {"not text",
       quiet,
       "<dword>",
       6,
       "(old)",
       {"value <BinDir> for subkey <" + K + "> has not string format"}},
      // Last: its line has no end of line of its own.
      {"far too long", quiet, "/" + std::string(5000, 'd'), 8, "(old)", {"dir too long"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Store("BinDir", c.value);
    std::string dir = "(old)";
    EXPECT_EQ(zmo::readBinDir(key_.get(), c.rule, &dir), c.rc);
    EXPECT_EQ(dir, c.dir);
    EXPECT_EQ(NewLines(), c.lines);
  }
}

TEST_F(CollectorSettingsTest, TooLongLineIsTracedAsItStands) {
  SetConfigText("BinDir", "/" + std::string(20, 'd'));
  std::string dir;
  EXPECT_EQ(zmo::readBinDir(key_.get(), {4, "100% too long\n", false}, &dir), 8);
  EXPECT_THAT(NewLines(), ElementsAre("100% too long"));
  EXPECT_THAT(dir, IsEmpty());
}

}  // namespace
