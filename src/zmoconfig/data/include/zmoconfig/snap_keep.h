// The rules behind frmSnapConfig (collection weekdays and interval) and
// frmKeepDays (the retention period with its minus sign).
#pragma once

#include <array>
#include <string>

namespace zmo::config {

// ---- Weekdays and interval ----

constexpr int kWeekDays = 7;  // Monday (weight 1) to Sunday (weight 64)
using WeekDays = std::array<bool, kWeekDays>;

// Results of SnapDaysShown besides 0.
constexpr int kSnapDaysMissing = 1;  // no SnapRunDays stored
constexpr int kSnapDaysInvalid = 2;  // not a whole number from 0 to 127

// The boxes a stored SnapRunDays ticks. A missing or invalid value ticks
// none, so no box stays ticked from before.
int SnapDaysShown(const std::string& stored, WeekDays* days);

// SnapRunDays of the ticked boxes: the sum of their weights, "0" for none.
std::string SnapDaysText(const WeekDays& days);

// The interval box as the page formats it ("####": a whole number, a
// fraction rounded to the nearest, 0 becomes empty). Returns 0 and
// *seconds, 1414 when the text is no number or formats empty, or 1413
// outside 1 to 1800.
int CheckSnapInterval(const std::string& typed, std::string* seconds);

// frmSnapConfig's OK: the interval's check, then SnapSleepTime and
// SnapRunDays in that order, stopping at the first failure, which is shown
// with status 1453 and gives 1453. Returns 0 or the id.
int SaveSnapConfig(const std::string& interval, const WeekDays& days);

// ---- Retention ----

constexpr int kRetentionMissing = 1;  // no DetailKeepDays stored: status 1456

// The days a stored DetailKeepDays shows: without its minus sign, and a
// value stored without one as it is. Returns 0, or kRetentionMissing with
// *days untouched (the box keeps its text).
int RetentionShown(const std::string& stored, std::string* days);

// The days box: 1420 when it reads as no number, 1418 for any character but
// a digit, 1419 outside 15 to 365. Returns 0 and *value ("-" and the days
// without zeros in front: "030" -> "-30").
int CheckRetention(const std::string& typed, std::string* value);

// frmKeepDays's OK: the check, then DetailKeepDays; a failed write is shown
// with status 1453 and gives 1453. Returns 0 or the id.
int SaveRetention(const std::string& typed);

}  // namespace zmo::config
