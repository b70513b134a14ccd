// Day numbers of the proleptic Gregorian calendar, for the date arithmetic
// that must not depend on the C library's time zone handling.
#pragma once

#include <cstdint>

namespace zmo {

// Days from 1970-01-01 to the date y-m-d (month 1-12, day as given: a day
// past the month's end counts on into the next). Any year, before 1970
// giving negative numbers.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d);

// The date of a day number of DaysFromCivil: month 1-12, day 1-31.
void CivilFromDays(std::int64_t days, std::int64_t* y, int* m, int* d);

}  // namespace zmo
