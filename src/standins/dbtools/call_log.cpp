// The record of each call, and the failure a test asks for.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/batch.h"
#include "platform/command_line.h"
#include "tools.h"

namespace zmo::dbtools {

int RecordCall(const std::string& tool, const std::vector<std::string>& args) {
  const char* path = std::getenv(kCallLogEnv);
  if (!path || !*path) return 0;
  std::string line = tool;
  for (const std::string& a : args) line += " " + zmo::QuoteCommandLineArgument(a);
  // The log is shown to people (the main job prints it): no clear password.
  line = zmo::MaskSecrets(line) + "\n";
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  // One write, so the lines of tools that run at once do not mix.
  ssize_t n = write(fd, line.data(), line.size());
  int saved = errno;
  close(fd);
  if (n != static_cast<ssize_t>(line.size())) {
    errno = n < 0 ? saved : EIO;
    return -1;
  }
  return 0;
}

bool FailRequested(const std::string& tool, int* code) {
  const char* list = std::getenv(kFailEnv);
  if (!list) return false;
  std::string text = list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string entry = text.substr(start, comma - start);
    start = comma + 1;
    size_t colon = entry.find(':');
    if (entry.substr(0, colon) != tool) continue;
    *code = kToolFailed;
    if (colon != std::string::npos) {
      char* end = nullptr;
      long n = std::strtol(entry.c_str() + colon + 1, &end, 10);
      // A code that is no failure, or none at all, still fails.
      if (*end == '\0' && n > 0 && n <= 255) *code = static_cast<int>(n);
    }
    return true;
  }
  return false;
}

}  // namespace zmo::dbtools
