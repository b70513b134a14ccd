// The configurator data layer's test world: a registry store and a BinDir of
// the test's own, the fake clock, fresh module state and a UI seam that
// records what the user would have been shown.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "zmo_test/config_store.h"
#include "zmo_test/files.h"
#include "zmo_test/registry.h"
#include "zmo_test/scoped.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"

namespace zmoconfig_test {

using namespace zmo::config;

// Everything the data layer showed, in order.
class RecordingUi : public ConfigUi {
 public:
  void StatusText(int id) override { status.push_back(id); }
  void MessageOk(const std::string& text) override { messages.push_back(text); }
  void Hourglass(bool on) override { hourglass.push_back(on); }

  std::vector<int> status;
  std::vector<std::string> messages;
  std::vector<bool> hourglass;
};

class DataTest : public zmo_test::StoreTest {
 protected:
  // 2026-03-10 12:00:00 UTC, a Tuesday.
  static constexpr std::int64_t kStartMillis = 1'773'144'000'000;

  DataTest() : tz_("UTC0"), clock_(kStartMillis) {
    std::filesystem::create_directories(BinDir());
    ResetConfigState();
    UnloadCatalog();
    gBinDir = BinDir();
    SetConfigUi(&ui_);
  }
  ~DataTest() override {
    SetConfigUi(nullptr);
    ResetConfigState();
    UnloadCatalog();
  }

  std::string BinDir() const { return dir_ / "bin"; }
  std::string BinFile(const std::string& name) const { return BinDir() + "/" + name; }
  void WriteBin(const std::string& name, const std::string& data) const {
    zmo_test::WriteFile(BinFile(name), data);
  }

  RecordingUi ui_;
  zmo_test::ScopedTz tz_;
  zmo::ScopedFakeClock clock_;
};

}  // namespace zmoconfig_test
