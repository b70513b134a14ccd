// The due-interval rule: which interval between two schedule times is the
// next to collect, and whether it was collected already.

#include "platform/clock.h"
#include "zmostati/format.h"
#include "zmostati/schedule.h"

namespace zmo::stati {

namespace {

struct LocalDate {
  int year;
  int month;  // 1-12
  int day;
};

// The local date days_back calendar days before now. Steps by calendar day
// (mktime at noon with the daylight-saving hint left open), so a
// daylight-saving change never yields the wrong date.
LocalDate DaysBack(std::time_t now, int days_back) {
  std::tm tm = zmo::ClockLocalTime(now);
  tm.tm_mday -= days_back;
  tm.tm_hour = 12;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  std::mktime(&tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string DateText(const LocalDate& d) {
  return statiFormat("%.4i%.2i%.2i", d.year, d.month, d.day);
}

// Fills one end of the interval: date text, time text and minute count.
void SetEnd(std::time_t now, int days_back, int border, const char* seconds, std::string* date,
            std::string* time, long long* count) {
  LocalDate d = DaysBack(now, days_back);
  *date = DateText(d);
  *time = statiFormat("%.2i%.2i%s", border / 60, border % 60, seconds);
  *count = statiMinuteCount(d.year, d.month, d.day) + border;
}

}  // namespace

long long statiMinuteCount(int year, int month, int day) {
  return ((static_cast<long long>(year) - 2000) * 372 + month * 31 + day) * kStatiMinutesPerDay;
}

int statiDecideInterval(const StatiBorderTable& table, int delay, const StatiInterval& last,
                        std::time_t now, StatiInterval* current, bool* due,
                        std::vector<std::string>* trace) {
  *due = false;
  const std::tm local = zmo::ClockLocalTime(now);
  const int minute_of_day = local.tm_hour * 60 + local.tm_min;
  int r = minute_of_day - delay;
  if (r + kStatiMinutesPerDay < 0) {
    trace->push_back(
        statiFormat("internal error 1: tr+1440 < 0 . tr is <%i> delay is <%i>\n", r, delay));
    return kStatiIntervalError1;
  }
  // Before the delay has passed since midnight the comparison is made
  // against yesterday's clock.
  const bool wrapped = r < 0;
  if (wrapped) r += kStatiMinutesPerDay;

  const int n = table.count;
  const int* t = table.minutes.data();
  if (n < 1) {  // never decided without a parsed schedule
    trace->push_back("no valid scheduling time found.\n");
    return kStatiIntervalError1;
  }
  int start_border, end_border, start_back, end_back;
  if (n == 1) {
    int d = t[0] < r ? 0 : 1;
    if (wrapped) d += 1;
    start_border = end_border = t[0];
    end_back = d;
    start_back = d + 1;
  } else {
    int j = -1;
    for (int i = 0; i < n; ++i) {
      if (t[i] < r) j = i;
    }
    if (wrapped) {
      if (j < 1) {
        trace->push_back(statiFormat("internal error 2 : j <= 0. j is <%i>\n", j));
        return kStatiIntervalError2;
      }
      start_border = t[j - 1];
      end_border = t[j];
      start_back = end_back = 1;
    } else if (j == 0) {
      start_border = t[n - 1];
      end_border = t[0];
      start_back = 1;
      end_back = 0;
    } else if (j >= 1) {
      start_border = t[j - 1];
      end_border = t[j];
      start_back = end_back = 0;
    } else {
      start_border = t[n - 2];
      end_border = t[n - 1];
      start_back = end_back = 1;
    }
  }

  StatiInterval cur;
  SetEnd(now, start_back, start_border, "01", &cur.startDate, &cur.startTime, &cur.startCount);
  SetEnd(now, end_back, end_border, "00", &cur.endDate, &cur.endTime, &cur.endCount);
  if (n == 1) {
    trace->push_back(
        statiFormat("statiServiceAdmin.currentQueryIntervalEnd=%lli\n", cur.endCount - end_border));
  }
  trace->push_back(statiFormat("determined possible interval: from %.8s %.6s to %.8s %.6s\n",
                               cur.startDate.c_str(), cur.startTime.c_str(), cur.endDate.c_str(),
                               cur.endTime.c_str()));
  *current = cur;

  bool same = cur.startDate == last.startDate && cur.endDate == last.endDate;
  if (n > 1) same = same && cur.endTime == last.endTime && cur.startTime == last.startTime;
  const char* const kConnecting = "not connected for this interval. connecting now.\n";
  if (same) {
    trace->push_back("already connected for this interval\n");
  } else if (cur.startCount < last.endCount) {
    trace->push_back(
        "query interval overlap. scheduling times may have changed. wait for non overlap.\n");
  } else if (cur.startCount == last.endCount) {
    if (n == 1) trace->push_back("queryIntervalStart == statiServiceAdmin.lastQueryIntervalEnd.\n");
    trace->push_back(kConnecting);
    *due = true;
  } else {
    trace->push_back(last.endCount != 0
                         ? "warning: current interval follows not smoothly previous one(maybe due "
                           "to manual scheduling parameter changes). statistic data may be lost.\n"
                         : kConnecting);
    *due = true;
  }
  return 0;
}

}  // namespace zmo::stati
