// Time-zone helpers of the zmostati tests: TZ for one scope, local moments.
#pragma once

#include "zmo_test/scoped.h"
#include "zmo_test/time.h"

using zmo_test::LocalTime;
using zmo_test::ScopedTz;

// Central European time with its daylight-saving rule, needing no tz files.
constexpr const char* kCentralEurope = zmo_test::kTzCentralEurope;
