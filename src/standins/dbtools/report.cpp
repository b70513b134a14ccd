// Where a tool's report goes, and how its failures are told.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "tools.h"

namespace zmo::dbtools {

namespace {

void WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace

int OpenReport(ToolRun* run, const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Refuse(run, "cannot create the log " + path + ": " + std::strerror(errno));
  CloseReport(run);
  run->out_fd = fd;
  run->own_out = true;
  return 0;
}

void CloseReport(ToolRun* run) {
  if (run->own_out) close(run->out_fd);
  run->out_fd = 1;
  run->own_out = false;
}

void Say(ToolRun* run, const std::string& line) { WriteAll(run->out_fd, line + "\r\n"); }

int Refuse(ToolRun* run, const std::string& why) {
  std::string line = run->tool + ": " + why;
  Say(run, line);
  // Standard error too, unless the report went there already.
  if (run->out_fd != 2) WriteAll(2, line + "\n");
  return kToolFailed;
}

void Reject(ToolRun* run, const std::string& why) {
  Say(run, run->tool + ": " + why);
  run->result = kToolRejected;
}

}  // namespace zmo::dbtools
