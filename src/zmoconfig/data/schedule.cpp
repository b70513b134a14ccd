#include "zmoconfig/schedule.h"

#include <algorithm>

#include "common/schedule_text.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

// The one entry of text, or -1.
int OneEntry(const std::string& text) {
  zmo::ScheduleScan scan;
  if (zmo::scanScheduleText(text, 1, &scan) != zmo::kScheduleOk || scan.minutes.size() != 1) {
    return -1;
  }
  return scan.minutes[0];
}

// A time typed with its seconds, "H:MM:SS" or "HH:MM:SS" (seconds 00-59),
// without them: the entry is the minute the time lies in, never rounded up.
// Any other text is returned as it is.
std::string WithoutSeconds(const std::string& typed) {
  const size_t first = typed.find_first_not_of(' ');
  const size_t last = typed.find_last_not_of(' ');
  if (first == std::string::npos) return typed;
  const std::string t = typed.substr(first, last - first + 1);
  const size_t colon = t.find(':');
  if (colon == std::string::npos || t.size() != colon + 6 || t[colon + 3] != ':') return typed;
  const char tens = t[colon + 4];
  const char ones = t[colon + 5];
  if (tens < '0' || tens > '5' || ones < '0' || ones > '9') return typed;
  return t.substr(0, colon + 3);
}

}  // namespace

std::string ScheduleRowText(const std::string& entry) {
  return entry + " " + LoadResString(kTextScheduledRun);
}

int ParseScheduleTime(const std::string& typed, std::string* entry) {
  const int minutes = OneEntry(WithoutSeconds(typed));
  if (minutes < 0) return kTextTimeInvalid;
  *entry = zmo::scheduleEntryText(minutes);
  return 0;
}

int CheckScheduleEntry(const std::string& typed, const std::vector<std::string>& entries,
                       std::string* entry) {
  if (entries.size() >= kScheduleMaxEntries) return kTextTooManyEntries;
  std::string time;
  if (ParseScheduleTime(typed, &time) != 0) return kTextTimeInvalid;
  for (const std::string& e : entries) {
    if (e.substr(0, 5) == time) return kTextDuplicateTime;
  }
  *entry = time;
  return 0;
}

int LoadScheduleEntries(std::vector<std::string>* entries) {
  entries->clear();
  std::string text;
  for (const char* name : zmo::cfg::kStatiSchedulePieces) text += GetRegValue(name);
  zmo::ScheduleScan scan;
  const int rc = zmo::scanScheduleText(text, kScheduleReadMaxEntries, &scan);
  std::vector<int> minutes = scan.minutes;
  std::sort(minutes.begin(), minutes.end());
  minutes.erase(std::unique(minutes.begin(), minutes.end()), minutes.end());
  for (int m : minutes) entries->push_back(zmo::scheduleEntryText(m));
  return rc;
}

std::array<std::string, kSchedulePieceCount> SchedulePieces(
    const std::vector<std::string>& entries) {
  std::string text;
  for (const std::string& e : entries) text += e + " ";
  std::array<std::string, kSchedulePieceCount> pieces;
  for (size_t i = 0; i < kSchedulePieceCount; ++i) {
    const size_t start = i * kSchedulePieceLength;
    if (start < text.size()) pieces[i] = text.substr(start, kSchedulePieceLength);
  }
  return pieces;
}

int SaveSchedule(const std::vector<std::string>& entries) {
  if (entries.size() > kScheduleMaxEntries) return kTextTooManyEntries;
  std::vector<std::string> sorted;
  for (const std::string& e : entries) {
    std::string entry;
    if (ParseScheduleTime(e, &entry) != 0 || entry != e) return kTextTimeInvalid;
    sorted.push_back(entry);
  }
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return kTextDuplicateTime;
  const auto pieces = SchedulePieces(sorted);
  for (size_t i = 0; i < kSchedulePieceCount; ++i) {
    if (SetRegValue(zmo::cfg::kStatiSchedulePieces[i], pieces[i]) != kRegOk) {
      configUi().StatusText(kTextActionFailed);
      return kTextActionFailed;
    }
  }
  return 0;
}

}  // namespace zmo::config
