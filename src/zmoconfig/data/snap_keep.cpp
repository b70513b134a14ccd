#include "zmoconfig/snap_keep.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "zmoconfig/config_ui.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmoconfig/text_ids.h"
#include "zmoconfig/text_rules.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

constexpr int kMaskMax = 127;
constexpr int kIntervalMin = 1;
constexpr int kIntervalMax = 1800;
constexpr int kKeepDaysMin = 15;
constexpr int kKeepDaysMax = 365;

int WriteFailed() {
  configUi().StatusText(kTextActionFailed);
  return kTextActionFailed;
}

}  // namespace

int SnapDaysShown(const std::string& stored, WeekDays* days) {
  days->fill(false);
  const std::string text = Trimmed(stored);
  if (text.empty()) return kSnapDaysMissing;
  if (!AllDigits(text) || text.size() > 3) return kSnapDaysInvalid;
  const int mask = std::atoi(text.c_str());
  if (mask > kMaskMax) return kSnapDaysInvalid;
  for (int d = 0; d < kWeekDays; ++d) (*days)[d] = (mask & (1 << d)) != 0;
  return 0;
}

std::string SnapDaysText(const WeekDays& days) {
  int mask = 0;
  for (int d = 0; d < kWeekDays; ++d) {
    if (days[d]) mask += 1 << d;
  }
  return std::to_string(mask);
}

int CheckSnapInterval(const std::string& typed, std::string* seconds) {
  if (!LooksNumeric(typed)) return kTextIntervalIncorrect;
  const double value = std::strtod(Trimmed(typed).c_str(), nullptr);
  // Past the range the exact value no longer matters.
  if (!(std::fabs(value) < 1e9)) return kTextSleepRange;
  const long long whole = std::llround(value);
  if (whole == 0) return kTextIntervalIncorrect;  // "####" formats 0 as nothing
  if (whole < kIntervalMin || whole > kIntervalMax) return kTextSleepRange;
  *seconds = std::to_string(whole);
  return 0;
}

int SaveSnapConfig(const std::string& interval, const WeekDays& days) {
  std::string seconds;
  const int rc = CheckSnapInterval(interval, &seconds);
  if (rc != 0) return rc;
  if (SetRegValue(zmo::cfg::kSnapSleepTime, seconds) != kRegOk) return WriteFailed();
  if (SetRegValue(zmo::cfg::kSnapRunDays, SnapDaysText(days)) != kRegOk) return WriteFailed();
  return 0;
}

int RetentionShown(const std::string& stored, std::string* days) {
  if (stored.empty()) return kRetentionMissing;
  *days = stored[0] == '-' ? stored.substr(1) : stored;
  return 0;
}

int CheckRetention(const std::string& typed, std::string* value) {
  if (!LooksNumeric(typed)) return kTextKeepDaysNumeric;
  if (!AllDigits(typed)) return kTextWholeNumbers;
  const std::string digits = typed.substr(std::min(typed.find_first_not_of('0'), typed.size()));
  if (digits.size() > 3) return kTextKeepDaysRange;
  const int days = std::atoi(digits.c_str());
  if (days < kKeepDaysMin || days > kKeepDaysMax) return kTextKeepDaysRange;
  *value = "-" + std::to_string(days);
  return 0;
}

int SaveRetention(const std::string& typed) {
  std::string value;
  const int rc = CheckRetention(typed, &value);
  if (rc != 0) return rc;
  if (SetRegValue(zmo::cfg::kDetailKeepDays, value) != kRegOk) return WriteFailed();
  return 0;
}

}  // namespace zmo::config
