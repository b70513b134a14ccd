// Reading the tools' input files and logons.
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/batch.h"
#include "platform/files.h"
#include "tools.h"

namespace zmo::dbtools {

int ReadLines(const std::string& path, std::vector<std::string>* lines) {
  std::string data;
  if (zmo::ReadWholeFile(path, &data) != 0) return -1;
  *lines = zmo::SplitTextLines(data);
  return 0;
}

bool ReadableFile(const std::string& path) {
  return !path.empty() && zmo::FileExists(path.c_str()) && access(path.c_str(), R_OK) == 0;
}

bool ParseLogon(const std::string& text, Logon* out) {
  size_t slash = text.find('/');
  size_t at = text.rfind('@');
  if (slash == std::string::npos || at == std::string::npos || at < slash) return false;
  out->user = text.substr(0, slash);
  out->password = text.substr(slash + 1, at - slash - 1);
  out->source = text.substr(at + 1);
  return !out->user.empty() && !out->password.empty() && !out->source.empty();
}

}  // namespace zmo::dbtools
