// The status file that every run leaves in the TEMP directory, so that a
// calling script can read the outcome.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "zmosetval/zmosetval.h"

namespace zmo::setval {

namespace {

// Where the status file goes when TEMP is not set.
constexpr const char* kDefaultTempDir = "/tmp";

bool isDirectory(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int mkdirOnce(const char* path) {
  if (mkdir(path, 0777) == 0) return 0;
  return errno == EEXIST && isDirectory(path) ? 0 : -1;
}

}  // namespace

std::string getTempDir() {
  const char* temp = std::getenv("TEMP");
  return temp != nullptr && temp[0] != '\0' ? temp : kDefaultTempDir;
}

int makeParentDirs(const char* path) {
  std::string p(path);
  for (std::size_t i = 1; i < p.size(); i++) {
    if (p[i] != zmo::kPathSep) continue;
    mkdirOnce(p.substr(0, i).c_str());  // a parent that fails shows up in the final mkdir
  }
  return 0;
}

int makeDir(const char* path) {
  if (mkdirOnce(path) == 0) return 0;
  makeParentDirs(path);
  return mkdirOnce(path);
}

int writeExitStatus(int status) {
  std::string dir = getTempDir();
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) {
    if (makeDir(dir.c_str()) != 0) return status;
  } else if (!S_ISDIR(st.st_mode)) {
    return status;
  }
  std::string path = zmo::JoinPath(dir, kSetvalStatusFile);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return status;
  char line[64];
  std::snprintf(line, sizeof line, "%s %d", kSetvalStatusText, status);
  zmo::WriteLineCrlf(f, line);  // text mode: the line ends in CR LF
  std::fclose(f);
  return status;
}

}  // namespace zmo::setval
