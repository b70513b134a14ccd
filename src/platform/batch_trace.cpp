// What the interpreter tells: failures on standard error, and everything it
// does in the trace file, so a stop can be found line by line.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "batch_internal.h"
#include "platform/clock.h"

namespace zmo::batch {

namespace {

// "file:line: " of the current batch line ("file: " before the first line).
std::string Where(const Run* run) {
  std::string where = run->file;
  if (run->line_no > 0) where += ":" + std::to_string(run->line_no);
  return where + ": ";
}

}  // namespace

int WriteOut(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

void Trace(Run* run, const std::string& text) {
  if (run->trace_fd < 0) return;
  std::tm tm = ClockLocalTime(ClockNow());
  char stamp[64];
  std::snprintf(stamp, sizeof(stamp), "%04d-%02d-%02d %02d:%02d:%02d [%d] ", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                static_cast<int>(getpid()));
  // One write per line, so that the lines of nested batches do not mix.
  WriteOut(run->trace_fd, stamp + Where(run) + text + "\n");
}

void Fail(Run* run, const std::string& text) {
  if (run->err_fd >= 0) WriteOut(run->err_fd, "zmobatch: " + Where(run) + text + "\n");
  Trace(run, "failed: " + text);
}

}  // namespace zmo::batch
