// The names of the registry values the code under test reads. A test
// executable records them when it links registry_reads.cpp with the linker
// option --wrap=RegQueryValueExA (zmo_record_registry_reads in the top
// CMakeLists.txt): every read of a value then passes through the recorder,
// which hands it on to the store unchanged.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/config_table.h"
#include "common/metric_switches.h"

namespace zmo_test {

// Records, from construction to destruction, the name of every value read
// in any thread; only one records at a time.
class RegistryReads {
 public:
  RegistryReads();
  RegistryReads(const RegistryReads&) = delete;
  RegistryReads& operator=(const RegistryReads&) = delete;
  ~RegistryReads();

  // Each name read, once, in the order of its first read.
  std::vector<std::string> Names() const;
};

// Expects of the names a whole run read (RegistryReads::Names) that each is
// a row of the program's table or a metric switch of its run, that some
// switch was read, and that each row of the table was read.
void ExpectReadsMatchTable(const std::vector<std::string>& read,
                           std::span<const zmo::ConfigRow> table, zmo::MetricRun run);

}  // namespace zmo_test
