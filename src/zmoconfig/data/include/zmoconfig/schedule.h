// The rules behind frmSchStati and frmAddStatSch: the schedule entries by
// the collector's own grammar (common/schedule_text.h), the six registry
// pieces of 90 characters, and their writer.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zmo::config {

constexpr size_t kScheduleMaxEntries = 90;
constexpr size_t kSchedulePieceCount = 6;
constexpr size_t kSchedulePieceLength = 90;
// The collector reads up to 100 entries; a stored text of more is shown as
// far as the grammar reads it.
constexpr size_t kScheduleReadMaxEntries = 100;

// The list row of an entry: "HH:MM", a blank and catalog text 1484.
std::string ScheduleRowText(const std::string& entry);

// A typed time as the entry "HH:MM": exactly one entry of the grammar
// ("7:05" -> "07:05"), or one with its seconds, which are dropped without
// rounding ("19:30:45" -> "19:30"); blanks around it allowed. Returns 0, or
// 1416 for anything else (a date, 24:00, seconds 60, an empty text).
int ParseScheduleTime(const std::string& typed, std::string* entry);

// frmAddStatSch's OK against the page's entries (the edited one included):
// 1417 when 90 or more are listed (also when editing), 1416 for a text that
// is no time, 1415 for a time already listed. Returns 0 and *entry.
int CheckScheduleEntry(const std::string& typed, const std::vector<std::string>& entries,
                       std::string* entry);

// Reads and joins StatiSchedule .. StatiSchedule6 and reads the entries, in
// ascending order, each once, as "HH:MM". Returns 0, or the grammar's code
// (6-16) with the entries read before the fault.
int LoadScheduleEntries(std::vector<std::string>* entries);

// The six registry values of entries (each "HH:MM"): every entry and a
// blank, cut into 90-character pieces; the pieces past the text are "".
std::array<std::string, kSchedulePieceCount> SchedulePieces(
    const std::vector<std::string>& entries);

// The page's OK and a confirmed Delete: entries sorted; refused with 1417
// for more than 90, 1416 when one is not "HH:MM" by the grammar, 1415 for
// two equal ones. Then writes all six values in order, stopping at the first
// failure, which is shown with status 1453 and gives 1453. Returns 0 or the
// id.
int SaveSchedule(const std::vector<std::string>& entries);

}  // namespace zmo::config
