// The seeded record generator: for each hour of the requested interval a
// fixed number of batch-step and normal statistic records with realistic
// mixes of task types, transactions, programs and users. The records of an
// hour depend only on the seed and the hour, so any interval gives the same
// records for the same hours.
#pragma once

#include <string>
#include <vector>

#include "landscape.h"

namespace zmo::rfc {

// Longest interval the generator fills, in hours.
constexpr long long kMaxGeneratedHours = 31 * 24;

// Whole hours since 0000-03-01 of a stamp YYYYMMDDhhmmss; -1 when the
// stamp is not a valid date and time.
long long StampHour(const std::string& stamp);

// The generated records of sys whose end stamp lies in [from, to] (both
// YYYYMMDDhhmmss), sorted by end stamp. The values are named by the field
// names of the release's layouts; a field the layout lacks is left out when
// the record is encoded. Returns 0, or -1 when the interval spans more than
// kMaxGeneratedHours.
int GenerateRecords(const SimSystem& sys, const std::string& from, const std::string& to,
                    std::vector<StatRecord>* out);

}  // namespace zmo::rfc
