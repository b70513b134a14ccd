// The setting of the warehouse's whole-road tests: a BinDir with the real
// zmoloader, zmomsg, zmogdlib.so and catalog, a registry store of the
// test's own with the loader's values for the Oracle kind and a database of
// the test's own as its data source, the tool stand-ins first on PATH.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/metric_switches.h"
#include "platform/batch.h"
#include "platform/registry.h"
#include "warehouse_test_util.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmo_test/scoped.h"
#include "zmogdlib/config_key.h"

namespace warehouse_test {

// "secret" as the configurator scrambles it into Access.
constexpr const char* kScrambledSecret = "llEY0JBejVCSTJzQ_1G";

using zmo_test::Pad;

inline std::string RTrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// YYYYMMDD as the warehouse shows a date.
inline std::string IsoDate(const std::string& yyyymmdd) {
  return yyyymmdd.substr(0, 4) + "-" + yyyymmdd.substr(4, 2) + "-" + yyyymmdd.substr(6, 2);
}

inline Rows Sorted(Rows rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

class LoaderWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Port().empty()) GTEST_SKIP() << "no PostgreSQL cluster";
    ASSERT_TRUE(tmp_.ok());
    db_ = std::make_unique<TestDatabase>();
    ASSERT_TRUE(db_->ok()) << db_->error();
    std::filesystem::create_directories(bin_ + "ArchiveData");
    std::filesystem::create_directories(tmp_.File("registry"));
    for (const char* name : {"zmogdlib.so", "zmocatENU.cat", "zmomsg", "zmoloader", "zmosetval"}) {
      std::filesystem::create_symlink(std::string(ZMO_TEST_BIN_DIR) + "/" + name, bin_ + name);
    }
  }
  void TearDown() override { db_.reset(); }

  static void Set(const char* name, const std::string& value) {
    zmo_test::PutConfigText(name, value);
  }

  // The loader's values for the Oracle kind on the test's database; every
  // metric switch on but those named.
  void SetLoaderRegistry(std::initializer_list<int> switched_off) {
    namespace cfg = zmo::cfg;
    Set(cfg::kBinDir, bin_);
    Set(cfg::kDB, "Oracle");
    Set(cfg::kOracle, "81");
    Set(cfg::kSnapDebug, "True");
    Set(cfg::kINST, "zmoinst");
    Set(cfg::kUser, kUser);
    Set(cfg::kAccess, kScrambledSecret);
    Set(cfg::kDSN, db_->Dsn());
    Set(cfg::kStatiOutPut, bin_ + "zmostati.dat");
    Set(cfg::kLoaderLogSize, "1024");
    Set(cfg::kTrendKeepDays, "30");
    // The records are of 2024; the loader keeps them by today's date.
    Set(cfg::kDetailKeepDays, "-9999");
    Set(cfg::kArchiveKeepDays, "-7");
    Set(cfg::kProcessQRBData, "False");
    for (int sw = 0; sw < zmo::kMetricSwitchCount; ++sw) {
      bool off = std::find(switched_off.begin(), switched_off.end(), sw) != switched_off.end();
      Set(zmo::metricSwitchName(sw), off ? "False" : "True");
    }
  }

  // The archived files, oldest first (their names carry the time).
  std::vector<std::string> ArchiveFiles() {
    std::vector<std::string> files;
    for (const std::string& name : zmo_test::SortedFileNames(bin_ + "ArchiveData")) {
      files.push_back(bin_ + "ArchiveData/" + name);
    }
    return files;
  }

  // The lines of a summary log that are among wanted, without their time
  // stamps, in order.
  std::vector<std::string> Progress(const std::string& log,
                                    const std::vector<std::string>& wanted) {
    std::vector<std::string> texts;
    for (std::string line : zmo::SplitTextLines(dbtools_test::Read(bin_ + log))) {
      bool tab = !line.empty() && line[0] == '\t';
      if (tab) line.erase(0, 1);
      line = (tab ? "\t" : "") + (line.size() > 21 ? line.substr(21) : line);
      if (std::find(wanted.begin(), wanted.end(), line) != wanted.end()) texts.push_back(line);
    }
    return texts;
  }

  // Tables left in the database besides the warehouse's.
  std::string OtherTables() {
    return db_->Value(
        "select count(*) from pg_tables where schemaname = 'public' and "
        "tablename not like 'r3\\_%'");
  }

  zmo_test::TempDir tmp_{"zmo_warehouse"};
  const std::string bin_ = tmp_.File("bin") + "/";
  std::unique_ptr<TestDatabase> db_;
  zmo_test::ScopedEnv registry_{"ZMO_REGISTRY", tmp_.File("registry")};
  zmo_test::ScopedEnv path_{
      "PATH", std::string(ZMO_TEST_BIN_DIR) +
                  "/dbtools:" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")};
  zmo_test::ScopedEnv calls_{"ZMO_DBTOOLS_LOG", tmp_.File("calls.log")};
  zmo_test::ScopedEnv fail_{"ZMO_DBTOOLS_FAIL", std::nullopt};
  zmo_test::ScopedEnv lang_{"LC_ALL", std::string("C")};
  zmo_test::ScopedTz tz_{"UTC0"};
};

}  // namespace warehouse_test
