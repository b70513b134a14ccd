// The seeded record generator: for each hour of the requested interval a
// fixed number of batch-step and normal statistic records with realistic
// mixes of task types, transactions, programs and users. The records of an
// hour depend only on the seed and the hour, so any interval gives the same
// records for the same hours. Records are written straight into their table
// lines: a generated record never exists as named values.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "landscape.h"

namespace zmo::rfc {

// Longest interval the generator fills, in hours.
constexpr long long kMaxGeneratedHours = 31 * 24;

// Whole hours since 0000-03-01 of a stamp YYYYMMDDhhmmss; -1 when the
// stamp is not a valid date and time.
long long StampHour(const std::string& stamp);

// Takes a generated record: its kind, its end stamp (YYYYMMDDhhmmss) and
// its table line. Returns false to stop the generation.
using LineSink = std::function<bool(bool batch, const std::string& end_stamp, LineBuffer line)>;

// What GenerateLines gives.
constexpr int kGenerateOk = 0;
constexpr int kGenerateTooLong = 1;  // the interval spans more than kMaxGeneratedHours
constexpr int kGenerateFault = 2;    // a value does not encode (*fault says which)
constexpr int kGenerateStopped = 3;  // the sink said stop

struct GenerateFault {
  bool batch = false;
  std::string why;  // "field <name>: ..."
};

// Generates the records of sys whose end stamp lies in [from, to] (both
// YYYYMMDDhhmmss) hour by hour, each straight into a line of the table
// layout of its kind (nullptr: that kind is not wanted), and hands each
// line to the sink as it is made, in end-stamp order within each kind.
// Which fields a record has and the form of their values come from the
// release's 1-byte layouts. Nothing of an answer is kept here: the memory
// the generator holds does not grow with the interval.
int GenerateLines(const SimSystem& sys, const std::string& from, const std::string& to,
                  const sap::StructLayout* batch_table, const sap::StructLayout* normal_table,
                  const LineSink& sink, GenerateFault* fault);

}  // namespace zmo::rfc
