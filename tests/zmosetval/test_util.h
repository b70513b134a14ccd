// Helpers of the command-line tools' tests: a temp dir per test, argv from a
// list, environment variables set for one test only, and a registry store of
// the test's own with readers and writers of its values.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/registry.h"
#include "zmo_test/argv.h"
#include "zmo_test/registry.h"
#include "zmo_test/scoped.h"

namespace zmotest {

using zmo_test::Argv;
using zmo_test::GetValue;
using zmo_test::KeyExists;
using zmo_test::PutValue;
using zmo_test::RegValue;
using zmo_test::ScopedEnv;
using zmo_test::SpawnProgram;
using zmo_test::StoreTest;
using zmo_test::Sz;
using zmo_test::TempDir;

}  // namespace zmotest
