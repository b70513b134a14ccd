#include "common/log_line.h"

#include <cstdio>
#include <ctime>

#include "platform/clock.h"

namespace zmo {

std::string textModeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string stampedLogText(std::string_view text, std::string_view lead) {
  const std::tm tm = ClockLocalTime(ClockNow());
  char stamp[64];
  const int n =
      std::snprintf(stamp, sizeof stamp, "%.4i/%.2i/%.2i %.2i.%.2i.%.2i: ", tm.tm_year + 1900,
                    tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::string out(lead);
  if (n > 0) out.append(stamp, static_cast<size_t>(n) < sizeof stamp ? n : sizeof stamp - 1);
  return out + textModeText(text);
}

}  // namespace zmo
