// The statistics schedule and the due-interval rule. Both are pure functions
// of their inputs (and, for the rule, of the time it is given): the callers
// in params.h read the registry and write the trace lines these return.
#pragma once

#include <array>
#include <ctime>
#include <string>
#include <vector>

namespace zmo::stati {

constexpr int kStatiMaxBorderTimes = 100;
constexpr int kStatiMinutesPerDay = 1440;
// Smallest gap between two schedule times, in minutes.
constexpr int kStatiMinBorderGap = 6;

// The parsed schedule: minutes of the day, ascending, no two equal.
struct StatiBorderTable {
  int count = -1;  // -1 until a schedule was parsed
  std::array<int, kStatiMaxBorderTimes> minutes{};
};

// One collection interval. Dates are YYYYMMDD, times hhmmss; a start time
// ends in "01" seconds, an end time in "00". The counts are minute counts
// (statiMinuteCount) of the start and end, used only for comparisons.
struct StatiInterval {
  std::string startDate;
  std::string endDate;
  std::string startTime;
  std::string endTime;
  long long startCount = 0;
  long long endCount = 0;
};

// Minute count of a date: every month counted as 31 days, every year as 372,
// so that counts grow with the date without calendar knowledge.
long long statiMinuteCount(int year, int month, int day);

// Parses the joined schedule text (the six registry pieces in order) and
// checks it against the delay (minutes). keyPath names the registry key in
// the messages. Returns 0 with the table filled, or the schedule error 6-21:
// 6-16 those of one entry (common/schedule_text.h), then these of the whole.
// *trace receives the one trace line, success or error, with its line feed.
constexpr int kStatiNoBorderTime = 17;       // no valid entry at all
constexpr int kStatiDelayOutOfRange = 18;    // one entry, delay outside a day
constexpr int kStatiEqualBorderTimes = 19;   // two entries the same
constexpr int kStatiBorderGapTooSmall = 20;  // two entries closer than kStatiMinBorderGap
constexpr int kStatiDelayTooLong = 21;       // delay above the smallest gap, or negative
int statiParseSchedule(const std::string& text, int delay, const char* keyPath,
                       StatiBorderTable* table, std::string* trace);

// The due-interval rule: from the schedule, the delay and the local time of
// now, works out the interval between the last two schedule times that lie
// at least delay minutes back, and compares it with the last interval
// collected. Returns 0 with *current and *due set (true: collect now), or the
// internal errors 1 and 2. Every trace line, with its line feed, is appended
// to *trace in order.
constexpr int kStatiIntervalError1 = 1;  // the delay reaches back more than a day
constexpr int kStatiIntervalError2 = 2;  // no schedule time before now on a wrapped day
int statiDecideInterval(const StatiBorderTable& table, int delay, const StatiInterval& last,
                        std::time_t now, StatiInterval* current, bool* due,
                        std::vector<std::string>* trace);

}  // namespace zmo::stati
