#include "zmoloader/archive.h"

#include <ctime>

#include "common/pipeline.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "zmoloader/state.h"
#include "zmoloader/text_ops.h"

namespace zmo::loader {

namespace {

// Longest day count an ArchiveKeepDays text may give.
constexpr size_t kKeepDaysDigitsMax = 5;
// The date form of the archives' names.
constexpr const char* kArchiveDateFormat = "%Y%m%d";
// Suffixes tried before a stamp is taken as it is.
constexpr int kStampSuffixMax = 1000;

std::string Format(const std::tm& tm, const char* format) {
  char text[64];
  size_t n = std::strftime(text, sizeof(text), format, &tm);
  return std::string(text, n);
}

// Today plus days in format.
std::string DayPlus(int days, const char* format) {
  std::tm tm = zmo::ClockLocalTime(zmo::ClockNow());
  // Noon of the day, moved by whole calendar days: a day of 23 or 25 hours
  // cannot carry the date past its neighbour.
  tm.tm_mday += days;
  tm.tm_hour = 12;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  std::mktime(&tm);
  return upperCaseCopy(Format(tm, format));
}

}  // namespace

std::string getDateForDb(int days, zmo::DbKind kind) {
  const zmo::DbKindInfo* k = zmo::dbKindInfo(kind);
  return DayPlus(days, k == nullptr ? kArchiveDateFormat : k->dateFormat);
}

std::string getTimeStamp() { return Format(zmo::ClockLocalTime(zmo::ClockNow()), "%Y%m%d%H%M%S"); }

std::string archiveStamp(const std::vector<std::string>& prefixes) {
  const std::string& dir = loaderState().archive_dir;
  const std::string base = getTimeStamp();
  for (int n = 0; n < kStampSuffixMax; ++n) {
    std::string stamp = n == 0 ? base : base + "_" + std::to_string(n);
    bool taken = false;
    for (const std::string& prefix : prefixes) {
      std::string path = zmo::JoinPath(dir, zmo::archiveFileName(prefix, stamp));
      taken = taken || zmo::FileExists(path.c_str());
    }
    if (!taken) return stamp;
  }
  // Even then the move never replaces an archive; it fails instead.
  return base;
}

std::vector<std::string> retentionDates(int keep_days) {
  std::vector<std::string> dates;
  for (int k = 0; k < 3; ++k) dates.push_back(DayPlus(keep_days - k, kArchiveDateFormat));
  return dates;
}

int parseArchiveKeepDays(const std::string& text, int* days) {
  std::string digits = text;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.erase(0, 1);
  if (digits.empty() || digits.size() > kKeepDaysDigitsMax || !isNumeric(digits)) return 1;
  *days = -parseIntText(digits);
  return 0;
}

}  // namespace zmo::loader
