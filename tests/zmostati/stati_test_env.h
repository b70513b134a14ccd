// A private world for one zmostati test (ProgramTestEnv): its own temp
// directory as program directory and registry store, the common runtime and
// zmostati's state reset, and the registry values of a run set and read back.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/console_program.h"
#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmo_test/config_store.h"
#include "zmo_test/program_env.h"
#include "zmostati/state.h"

using namespace zmo::stati;

class StatiTestEnv : public zmo_test::ProgramTestEnv {
 public:
  StatiTestEnv() : ProgramTestEnv("zmostati", zmo::StatiProgramConfig(), statiResetState) {}

  // Deletes a value of the configuration key, which must be there.
  static void Delete(const char* name) {
    ASSERT_EQ(zmo_test::DeleteConfigValue(name), ERROR_SUCCESS);
  }
  // The StatiLast* values of a collected interval.
  static void SetLast(const char* sd, const char* st, const char* ed, const char* et,
                      const std::string& endCount) {
    Set("StatiLastStartDate", sd);
    Set("StatiLastStartTime", st);
    Set("StatiLastEndDate", ed);
    Set("StatiLastEndTime", et);
    Set("StatiLastQueryIntervalEnd", endCount);
  }
  static void Fill(StatiInterval* i, const char* sd, const char* st, const char* ed,
                   const char* et) {
    i->startDate = sd;
    i->startTime = st;
    i->endDate = ed;
    i->endTime = et;
  }
  // Creates the configuration key with no values in it.
  static void CreateKey() { zmo_test::CreateConfigKey(); }
  // The text of a value, or "<missing>".
  static std::string Get(const char* name) { return zmo_test::ConfigText(name); }
};
