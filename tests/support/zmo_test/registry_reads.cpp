#include "zmo_test/registry_reads.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>

#include "platform/registry.h"

namespace {

std::mutex g_mu;
bool g_recording = false;
std::vector<std::string> g_names;

}  // namespace

extern "C" LONG __real_RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD data_size);

extern "C" LONG __wrap_RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD data_size) {
  {
    std::lock_guard<std::mutex> lock(g_mu);
    const std::string name = value_name != nullptr ? value_name : "";
    if (g_recording && std::find(g_names.begin(), g_names.end(), name) == g_names.end()) {
      g_names.push_back(name);
    }
  }
  return __real_RegQueryValueExA(key, value_name, reserved, type, data, data_size);
}

namespace zmo_test {

RegistryReads::RegistryReads() {
  std::lock_guard<std::mutex> lock(g_mu);
  g_names.clear();
  g_recording = true;
}

RegistryReads::~RegistryReads() {
  std::lock_guard<std::mutex> lock(g_mu);
  g_recording = false;
  g_names.clear();
}

std::vector<std::string> RegistryReads::Names() const {
  std::lock_guard<std::mutex> lock(g_mu);
  return g_names;
}

void ExpectReadsMatchTable(const std::vector<std::string>& read,
                           std::span<const zmo::ConfigRow> table, zmo::MetricRun run) {
  int switches = 0;
  for (const std::string& name : read) {
    if (zmo::findConfigRow(table, name.c_str()) != nullptr) continue;
    EXPECT_TRUE(zmo::metricRunReads(run, name.c_str())) << name << " is read but not in the table";
    ++switches;
  }
  EXPECT_GT(switches, 0) << "no metric switch was read";
  for (const zmo::ConfigRow& row : table) {
    EXPECT_THAT(read, testing::Contains(row.name)) << row.name << " is in the table but not read";
  }
}

}  // namespace zmo_test
