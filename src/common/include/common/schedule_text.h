// The grammar of the statistics schedule text, shared by the collector that
// reads the schedule and the configurator that writes it: entries "H:MM" or
// "HH:MM" (hour 0-23, minute 00-59) separated by blanks, blanks anywhere
// between entries. The configurator stores each entry as "HH:MM" and one
// blank, 6 characters, in the six 90-character registry pieces.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zmo {

// Syntax results of scanScheduleText, numbered as the collector reports them.
constexpr int kScheduleOk = 0;
constexpr int kScheduleNotDigit = 6;        // an entry starts with no digit
constexpr int kScheduleEndAfterDigit = 7;   // ends after the first hour digit
constexpr int kScheduleNoColon = 8;         // no colon after the hour
constexpr int kScheduleEndBeforeColon = 9;  // ends after two hour digits
constexpr int kScheduleEndInMinute = 10;    // fewer than two minute digits left
constexpr int kScheduleMinuteDigit1 = 11;   // first minute character no digit
constexpr int kScheduleMinuteDigit2 = 12;   // second minute character no digit
constexpr int kScheduleNoSeparator = 13;    // the entry is followed by no blank
constexpr int kScheduleBadHour = 14;        // hour above 23
constexpr int kScheduleBadMinute = 15;      // minute above 59
constexpr int kScheduleTooMany = 16;        // more entries than allowed

// What a scan found: the entries as minutes of the day in text order, and
// for a failure where and what.
struct ScheduleScan {
  std::vector<int> minutes;
  int code = kScheduleOk;
  size_t pos = 0;             // the offending character, or the entry's start (14, 15)
  const char* expected = "";  // what the grammar wanted there (6-13)
  int value = 0;              // the hour (14) or minute (15) read
};

// Scans text by the grammar, at most max_entries entries. Returns the code
// also stored in scan->code; on a failure scan->minutes holds the entries
// read before it.
int scanScheduleText(const std::string& text, size_t max_entries, ScheduleScan* scan);

// An entry as the configurator stores it: "HH:MM" of minutes of the day.
std::string scheduleEntryText(int minutes);

}  // namespace zmo
